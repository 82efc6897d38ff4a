#pragma once

#include "Control.h"

class QEventLoop;

// Modal results.
inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrAbort = 3;
inline constexpr int mrRetry = 4;
inline constexpr int mrIgnore = 5;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;

// A window: a top-level control with a modal result, key preview and the framework's show and close
// events. Windows derive from it and override the Form* events.
class TForm : public TControl
{
    Q_OBJECT
    Q_PROPERTY(bool KeyPreview READ KeyPreview WRITE SetKeyPreview)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)

public:
    enum TCloseAction
    {
        caNone,
        caHide,
        caFree,
        caMinimize
    };
    Q_ENUM(TCloseAction)

    explicit TForm(QWidget* Parent = nullptr, const QString& Name = {});
    ~TForm() override;

    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value);
    int ModalResult() const { return FModalResult; }
    // A non-zero result ends a running ShowModal.
    void SetModalResult(int Value);
    bool Modal() const { return FModalLoop != nullptr; }

    // Shows the window and waits, handling events, until ModalResult is set or the window closes;
    // closing without a result gives mrCancel.
    int ShowModal();
    // Asks the window to close (FormCloseQuery, then FormClose decides what happens).
    void Close();

protected:
    // Called each time the window is shown.
    virtual void FormShow() {}
    // May refuse a close request.
    virtual void FormCloseQuery(bool& CanClose) { Q_UNUSED(CanClose); }
    // Decides what closing does; caHide by default (caFree deletes the window later).
    virtual void FormClose(TCloseAction& Action) { Q_UNUSED(Action); }

    void showEvent(QShowEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    bool FKeyPreview = false;
    int FModalResult = mrNone;
    QEventLoop* FModalLoop = nullptr;
};
