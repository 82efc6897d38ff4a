#pragma once

#include <QString>
#include <QtGlobal>

class TUserInfo;

// A letter to the disc's author or to the program's developer: the program composes a "mailto:"
// address and hands it to the shell, which opens the user's mail program with a new letter. It never
// sends mail itself.

struct TLetter
{
    QString Name;    // recipient's name
    QString Address; // recipient's e-mail address
    QString Subject; // may be empty
    QString Body;    // may be empty; line breaks are kept
    quint32 Flags = 0;
};

// The address handed to the mail program: "mailto:Name<Address>?Subject=...&body=...". Every part is
// percent-encoded, so that "&", "?", "#" or "%" in a disc's texts cannot add fields to the address.
// Name, address and subject are one line each (line breaks and other control characters become
// blanks); the body keeps its line breaks as %0D / %0A.
QString MailToUrl(const TLetter& Letter);

// The letter to the disc's author: the creator's name and address, no subject, no body.
TLetter AuthorLetter(const TUserInfo& Creator);

// The letter to the program's developer: the fixed subject and the greeting of the chosen language
// with the program's name and version, the greeting on a line of its own.
TLetter DeveloperLetter(const QString& DeveloperName, const QString& DeveloperAddress,
                        const QString& VersionText);

// Hands one letter to the shell. The work runs on the caller's thread: the shell service returns at
// once (it looks the mail program up and starts it detached, never waiting for it), so the caller is
// not held up, and no worker can outlive the program or race with a test's shell service.
class TSendMailThread
{
public:
    explicit TSendMailThread(const TLetter& Letter);

    // Composes the address and opens it; the shell's result is not examined.
    void Execute();

    // Creates the hand-over for Letter and runs it at once.
    static void Create(const TLetter& Letter);

private:
    TLetter FLetter;
};
