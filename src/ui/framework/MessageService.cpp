#include "MessageService.h"

#include <QApplication>
#include <QList>
#include <QMessageBox>

namespace {
IMessageService* Installed = nullptr;
} // namespace

int TMessageBoxService::MessageBox(const QString& Text, const QString& Caption, unsigned Flags)
{
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    switch (Flags & 0xF0) {
    case 0x10:
        Icon = QMessageBox::Critical;
        break;
    case 0x20:
        Icon = QMessageBox::Question;
        break;
    case 0x30:
        Icon = QMessageBox::Warning;
        break;
    case 0x40:
        Icon = QMessageBox::Information;
        break;
    default:
        break;
    }
    // The button set (the low four bits) and the answer each button gives.
    struct TButton
    {
        QMessageBox::StandardButton Button;
        int Result;
    };
    QList<TButton> Buttons;
    switch (Flags & 0x0F) {
    case mbOkCancel:
        Buttons = {{QMessageBox::Ok, idOk}, {QMessageBox::Cancel, idCancel}};
        break;
    case mbAbortRetryIgnore:
        Buttons = {
            {QMessageBox::Abort, idAbort}, {QMessageBox::Retry, idRetry}, {QMessageBox::Ignore, idIgnore}};
        break;
    case mbYesNoCancel:
        Buttons = {{QMessageBox::Yes, idYes}, {QMessageBox::No, idNo}, {QMessageBox::Cancel, idCancel}};
        break;
    case mbYesNo:
        Buttons = {{QMessageBox::Yes, idYes}, {QMessageBox::No, idNo}};
        break;
    case mbRetryCancel:
        Buttons = {{QMessageBox::Retry, idRetry}, {QMessageBox::Cancel, idCancel}};
        break;
    default:
        Buttons = {{QMessageBox::Ok, idOk}};
        break;
    }
    QMessageBox::StandardButtons Set;
    for (const TButton& B : Buttons) {
        Set |= B.Button;
    }
    QMessageBox Box(Icon, Caption, Text, Set);
    // Task-modal: the box blocks every window of the program until it is answered.
    Box.setWindowModality((Flags & 0x2000) ? Qt::ApplicationModal : Qt::WindowModal);
    const auto Pressed = QMessageBox::StandardButton(Box.exec());
    for (const TButton& B : Buttons) {
        if (B.Button == Pressed) {
            return B.Result;
        }
    }
    // Closed without a button: the box's cancel answer, or the only one.
    return Buttons.size() == 1 ? Buttons[0].Result : (Set & QMessageBox::Cancel ? idCancel : idNo);
}

IMessageService& Messages()
{
    static TMessageBoxService Program;
    return Installed ? *Installed : Program;
}

void SetMessageService(IMessageService* Service)
{
    Installed = Service;
}
