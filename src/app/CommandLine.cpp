#include "Startup.h"

#include "MessageService.h"
#include "ShellService.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "text/CodePage.h"
#include "text/DiscFile.h"
#include "text/LoadMessages.h"
#include "text/Paths.h"

#include <QFile>
#include <QList>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

// "params.txt" shown whole, its lines joined by line breaks; read as the INI files are.
void ShowParameters()
{
    QFile File;
    if (!OpenDiscFile(File, ShellFolder() + u"params.txt"_s))
        return;
    QString Text = DecodeMarkedText(File.read(1 << 20));
    Text.replace(u"\r\n"_s, u"\n"_s);
    Text.replace(u'\r', u'\n');
    if (Text.endsWith(u'\n'))
        Text.chop(1);
    Messages().MessageBox(Text, FormatS(strParameters, {ProductName}), mbNoticeFlags);
}

// The line lower-cased, and for each of its characters the index in the line of the character it
// came from (one more entry for the end). Lower-casing may lengthen a text ("\u0130" becomes "i" and a
// combining dot), so positions in the lower-cased line are not positions in the line.
struct TLoweredLine
{
    QString Text;
    QList<qsizetype> Origin;
};

TLoweredLine LowerWithOrigin(const QString& Line)
{
    TLoweredLine R;
    R.Text.reserve(Line.size());
    R.Origin.reserve(Line.size() + 1);
    qsizetype I = 0;
    while (I < Line.size()) {
        // Case mapping knows no context, so lowering each character alone gives the same text.
        const bool Pair = Line[I].isHighSurrogate() && I + 1 < Line.size() && Line[I + 1].isLowSurrogate();
        const qsizetype Width = Pair ? 2 : 1;
        const QString Lower = Line.mid(I, Width).toLower();
        R.Text += Lower;
        R.Origin.insert(R.Origin.size(), Lower.size(), I);
        I += Width;
    }
    R.Origin.append(Line.size());
    return R;
}

} // namespace

QString SnapshotFileName;

int ParseCommandLine(const QString& CommandLine)
{
    StartFlags = sfShowSplash | sfAnimatedCursors | sfBackgroundMusic;
    // Options are recognised anywhere in the lower-cased line, even inside the program's path.
    const TLoweredLine Lowered = LowerWithOrigin(CommandLine);
    const QString& Line = Lowered.Text;

    if (Line.contains(u"-?"_s) || Line.contains(u"/?"_s))
        ShowParameters();

    if (Line.contains(u"htmfile"_s)) {
        const bool InRoot = FileExists(ProgramFolder + u"index.htm"_s);
        const QString Folder = InRoot ? ProgramFolder : ShellFolder();
        ShellService().Open(SystemPath(Folder + u"index.htm"_s), QString(), SystemPath(Folder));
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
        // Right behind the "=", which lower-casing leaves one character.
        QString Value = CommandLine.mid(Lowered.Origin[At + 8] + 1);
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
