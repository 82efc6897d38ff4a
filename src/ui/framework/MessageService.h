#pragma once

#include <QString>

#include <memory>

// Every message box of the program goes through here, so that tests can answer boxes without
// showing them. Flags are the platform's message-box style bits: an icon (16 stop, 32 question,
// 48 exclamation, 64 information) plus 0x2000 for task-modal.

class IMessageService
{
public:
    virtual ~IMessageService() = default;
    // Shows Text with Caption and returns the button pressed (1 for OK).
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
