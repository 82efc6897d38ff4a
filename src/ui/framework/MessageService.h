#pragma once

#include <QString>

#include <memory>

// Every message box of the program goes through here, so that tests can answer boxes without
// showing them. Flags are the platform's message-box style bits: an icon (16 stop, 32 question,
// 48 exclamation, 64 information) plus 0x2000 for task-modal.

// Button sets (the low four bits of the flags) and the answers MessageBox returns.
inline constexpr unsigned mbOk = 0;
inline constexpr unsigned mbOkCancel = 1;
inline constexpr unsigned mbAbortRetryIgnore = 2;
inline constexpr unsigned mbYesNoCancel = 3;
inline constexpr unsigned mbYesNo = 4;
inline constexpr unsigned mbRetryCancel = 5;
inline constexpr unsigned mbIconQuestion = 0x20;
inline constexpr int idOk = 1;
inline constexpr int idCancel = 2;
inline constexpr int idAbort = 3;
inline constexpr int idRetry = 4;
inline constexpr int idIgnore = 5;
inline constexpr int idYes = 6;
inline constexpr int idNo = 7;

class IMessageService
{
public:
    virtual ~IMessageService() = default;
    // Shows Text with Caption and returns the button pressed (idOk, idYes, ...).
    virtual int MessageBox(const QString& Text, const QString& Caption, unsigned Flags) = 0;
};

// The program's service: a QMessageBox with the caption, icon and modality asked for.
class TMessageBoxService : public IMessageService
{
public:
    int MessageBox(const QString& Text, const QString& Caption, unsigned Flags) override;
};

// The service in use; the program's own unless a test installed another.
IMessageService& Messages();
// Installs Service (nullptr restores the program's own); the caller keeps ownership.
void SetMessageService(IMessageService* Service);
