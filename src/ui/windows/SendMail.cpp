#include "SendMail.h"

#include "ShellService.h"
#include "lang/LangStrs.h"
#include "model/Project.h"
#include "text/LoadMessages.h"

#include <QByteArray>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// Delimiters a mail program reads as text inside a field; everything else that is not a letter,
// digit or "-._~" is written as %XX. "&", "?", "#", "%", "=" and "+" are always encoded.
constexpr QByteArrayView KeptDelimiters = "!$'()*,;:@/";

QString Encode(const QString& Text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(Text, KeptDelimiters.toByteArray()));
}

// A header field is one line: a line break there would start another header in the mail program.
QString OneLine(QString Text)
{
    for (QChar& C : Text) {
        if (C.unicode() < 0x20 || C.unicode() == 0x7F) {
            C = u' ';
        }
    }
    return Text;
}

} // namespace

QString MailToUrl(const TLetter& Letter)
{
    return u"mailto:"_s + Encode(OneLine(Letter.Name)) + u'<' + Encode(OneLine(Letter.Address)) +
           u">?Subject="_s + Encode(OneLine(Letter.Subject)) + u"&body="_s + Encode(Letter.Body);
}

TLetter AuthorLetter(const TUserInfo& Creator)
{
    TLetter Letter;
    Letter.Name = Creator.Name;
    Letter.Address = Creator.Email;
    return Letter;
}

TLetter DeveloperLetter(const QString& DeveloperName, const QString& DeveloperAddress,
                        const QString& VersionText)
{
    TLetter Letter;
    Letter.Name = DeveloperName;
    Letter.Address = DeveloperAddress;
    Letter.Subject = ProductName + u" e-mail letter"_s;
    // Two carriage returns end the greeting's line; they reach the mail program as %0D%0D.
    Letter.Body = FormatS(strLetterGreeting, {ProductName, u" \r\r", ProductName, VersionText});
    return Letter;
}

TSendMailThread::TSendMailThread(const TLetter& Letter) : FLetter(Letter) {}

void TSendMailThread::Execute()
{
    // Every "%" in the text starts a valid escape, so the tolerant parser changes only "<" and ">".
    ShellService().OpenUrl(QUrl(MailToUrl(FLetter), QUrl::TolerantMode));
}

void TSendMailThread::Create(const TLetter& Letter)
{
    TSendMailThread Thread(Letter);
    Thread.Execute();
}
