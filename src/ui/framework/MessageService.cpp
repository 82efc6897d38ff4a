#include "MessageService.h"

#include <QApplication>
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
    QMessageBox Box(Icon, Caption, Text, QMessageBox::Ok);
    // Task-modal: the box blocks every window of the program until it is answered.
    Box.setWindowModality((Flags & 0x2000) ? Qt::ApplicationModal : Qt::WindowModal);
    Box.exec();
    return 1;
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
