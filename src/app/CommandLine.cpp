#include "Startup.h"

#include "MessageService.h"
#include "ShellService.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "text/CodePage.h"
#include "text/LoadMessages.h"
#include "text/DiscFile.h"
#include "text/Paths.h"

#include <QFile>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

// "params.txt" shown whole, its lines joined by line breaks.
void ShowParameters()
{
    QFile File;
    if (!OpenDiscFile(File, ShellFolder() + u"params.txt"_s))
        return;
    QString Text = DecodeAnsi(File.read(1 << 20));
    Text.replace(u"\r\n"_s, u"\n"_s);
    Text.replace(u'\r', u'\n');
    if (Text.endsWith(u'\n'))
        Text.chop(1);
    Messages().MessageBox(Text, FormatS(strParameters, {ProductName}), mbNoticeFlags);
}

} // namespace

QString SnapshotFileName;

int ParseCommandLine(const QString& CommandLine)
{
    StartFlags = sfShowSplash | sfAnimatedCursors | sfBackgroundMusic;
    // Options are recognised anywhere in the lower-cased line, even inside the program's path.
    const QString Line = CommandLine.toLower();

    if (Line.contains(u"-?"_s) || Line.contains(u"/?"_s))
        ShowParameters();

    if (Line.contains(u"htmfile"_s)) {
        const bool InRoot = FileExists(ProgramFolder + u"index.htm"_s);
        ShellService().Open(u"index.htm"_s, QString(), InRoot ? ProgramFolder : ShellFolder());
        return 1;
    }

    if (Line.contains(u"nosplash"_s))
        StartFlags &= ~sfShowSplash;
    if (Line.contains(u"noanimcur"_s))
        StartFlags &= ~sfAnimatedCursors;
    if (Line.contains(u"nobackmusic"_s))
        StartFlags &= ~sfBackgroundMusic;

    qsizetype Start = -1;
    if (const qsizetype At = Line.indexOf(u"filename="_s); At >= 0)
        Start = At + 9;
    else if (const qsizetype At2 = Line.indexOf(u"loadstruct "_s); At2 >= 0)
        Start = At2 + 11;
    if (Start >= 0) {
        QString Value = Line.mid(Start);
        if (const qsizetype End = Value.indexOf(u';'); End >= 0)
            Value.truncate(End);
        Value.replace(u'?', u' ');
        // The value is lower-cased; the case-insensitive lookup of NativePath finds the file.
        if (FileExists(Value))
            ProjectFilePath = Value;
    }

    // "snapshot=FILE": the value is taken from the line as written, so the file keeps its letter case.
    SnapshotFileName.clear();
    if (const qsizetype At = Line.indexOf(u"snapshot="_s); At >= 0) {
        QString Value = CommandLine.mid(At + 9);
        const qsizetype End = Value.indexOf(QRegularExpression(u"[;\\s]"_s));
        if (End >= 0)
            Value.truncate(End);
        Value.replace(u'?', u' ');
        if (!Value.isEmpty()) {
            SnapshotFileName = Value;
            // A picture of the window as it comes up: no splash hold, no sound.
            StartFlags &= ~(sfShowSplash | sfBackgroundMusic);
        }
    }
    return -1;
}
