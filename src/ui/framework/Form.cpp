#include "Form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>

TForm::TForm(QWidget* Parent, const QString& Name) : TControl(Parent, Name)
{
    setWindowFlag(Qt::Window, true);
    SetColor(static_cast<int>(0x8000000Fu));
}

TForm::~TForm()
{
    if (FModalLoop) {
        FModalLoop->exit(mrCancel);
    }
}

void TForm::SetKeyPreview(bool Value)
{
    if (FKeyPreview == Value) {
        return;
    }
    FKeyPreview = Value;
    // Key events go to the focused control; the form sees them first through an application filter.
    if (Value) {
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
    }
}

bool TForm::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::KeyPress && Watched != this) {
        auto* Widget = qobject_cast<QWidget*>(Watched);
        if (Widget && Widget->window() == this && Widget->hasFocus()) {
            if (DispatchKeyDown(*static_cast<QKeyEvent*>(Event))) {
                return true;
            }
        }
    }
    return TControl::eventFilter(Watched, Event);
}

void TForm::SetModalResult(int Value)
{
    FModalResult = Value;
    if (Value != mrNone && FModalLoop) {
        FModalLoop->exit(Value);
    }
}

int TForm::ShowModal()
{
    FModalResult = mrNone;
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop Loop;
    FModalLoop = &Loop;
    if (FModalResult == mrNone && isVisible()) {
        Loop.exec();
    }
    FModalLoop = nullptr;
    hide();
    setWindowModality(Qt::NonModal);
    if (FModalResult == mrNone) {
        FModalResult = mrCancel;
    }
    return FModalResult;
}

void TForm::Close()
{
    close();
}

void TForm::keyPressEvent(QKeyEvent* Event)
{
    // A key a control left unhandled travels up to the form; with key preview the form has seen it.
    QWidget* Focus = focusWidget();
    if (FKeyPreview && Focus && Focus != this) {
        QWidget::keyPressEvent(Event);
        return;
    }
    TControl::keyPressEvent(Event);
}

void TForm::showEvent(QShowEvent* Event)
{
    TControl::showEvent(Event);
    FormShow();
}

void TForm::closeEvent(QCloseEvent* Event)
{
    bool CanClose = true;
    FormCloseQuery(CanClose);
    if (!CanClose) {
        Event->ignore();
        return;
    }
    TCloseAction Action = caHide;
    FormClose(Action);
    if (Action == caNone || Action == caMinimize) {
        Event->ignore();
        if (Action == caMinimize) {
            showMinimized();
        }
        return;
    }
    Event->accept();
    if (FModalLoop) {
        if (FModalResult == mrNone) {
            FModalResult = mrCancel;
        }
        FModalLoop->exit(FModalResult);
    }
    if (Action == caFree) {
        deleteLater();
    }
}
