#include "LoadMessages.h"

#include "Paths.h"

using namespace Qt::StringLiterals;

QString FormatS(QStringView Template, std::initializer_list<QStringView> Args)
{
    QString Result;
    Result.reserve(Template.size());
    auto NextArg = Args.begin();
    const qsizetype Size = Template.size();
    for (qsizetype I = 0; I < Size; ++I) {
        const QChar C = Template[I];
        if (C == u'%' && I + 1 < Size) {
            const QChar Kind = Template[I + 1];
            if (Kind == u'%') {
                Result += u'%';
                ++I;
                continue;
            }
            if (Kind == u's' && NextArg != Args.end()) {
                Result += *NextArg++;
                ++I;
                continue;
            }
        }
        Result += C;
    }
    return Result;
}

QString LoadResultMessage(int Result, quint32 FileVersion)
{
    switch (Result) {
    case 256: // the file needs a newer program
        return u"This project demands Veltrane "_s % QString::number((FileVersion >> 24) & 0xFF) % u'.' %
               QString::number((FileVersion >> 16) & 0xFF) % u'.' %
               QString::number((FileVersion >> 8) & 0xFF);
    case 768:
        return u"Incorrect project structure"_s;
    case 1024:
        return u"Wrong project file"_s;
    case 1280:
        return u"Veltrane can not get access to the project's file"_s;
    default:
        return {};
    }
}

QString LegacyReadErrorMessage(const QString& ReadErrorText, const QString& FormatText,
                               const QString& VersionText, const QString& FileName)
{
    const QString Name = ExtractFileName(FileName);
    return FormatS(ReadErrorText, {u"\r"}) % u'\r' % FormatS(FormatText, {Name, ProductName}) % u'\r' %
           VersionText;
}
