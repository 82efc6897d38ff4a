#include "LoadProject.h"

#include "MessageService.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "model/LegacyModel.h"
#include "model/StructureFile.h"
#include "text/LoadMessages.h"
#include "text/Paths.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// Two folder paths name the same folder: compared as the file system sees them, without regard to
// case (the disc may name "Shell" in any case).
bool SameFolder(const QString& A, const QString& B)
{
    auto Norm = [](const QString& P) { return QDir::cleanPath(QFileInfo(NativePath(P)).absoluteFilePath()); };
    return Norm(A).compare(Norm(B), Qt::CaseInsensitive) == 0;
}

void ShowError(const QString& Text)
{
    Messages().MessageBox(Text, ProductName.toString(), mbErrorFlags);
}

} // namespace

QString FindProjectFile()
{
    const QString Shell = ShellFolder();
    const QString Configured = Shell + DesignSettings.Options.ProjectName;
    if (FileExists(Configured))
        return Configured;
    const QString Default = Shell + u"veltrane.vlp"_s;
    if (FileExists(Default))
        return Default;
    return Shell + u"veltrane.apr"_s;
}

void LoadProject(const QString& FileName)
{
    if (!FileExists(FileName)) {
        // No project: the program runs with the empty one, without a splash.
        Project->SplashScreen.ShowTime = 0;
        return;
    }

    if (ExtractFileExt(FileName) == u".apr"_s) {
        Legacy::TVeltrane Legacy;
        bool Opened = false;
        const TStreamReadResult R = ReadLegacyFile(FileName, Legacy, &Opened);
        if (!Opened) {
            // Nothing could be read at all: reported like an inaccessible structure file.
            ShowError(LoadResultMessage(lrNoAccess, 0));
            LoadFailed = true;
        } else {
            if (!R.Ok) {
                ShowError(
                    LegacyReadErrorMessage(strReadError, strReadErrorFormat, strReadErrorVersion, FileName));
                LoadFailed = true;
            }
            // Whatever was read is converted, also after a read error.
            Project->ConvertLegacy(Legacy);
        }
    } else {
        const int Result = Project->LoadFromFile(FileName);
        LoadFailed = Result != lrLoaded;
        const QString Text = LoadResultMessage(Result, Project->FileVersion);
        if (!Text.isEmpty())
            ShowError(Text);
    }

    if (LoadFailed) {
        Project->SplashScreen.ShowTime = 0;
        return;
    }

    Project->Folder = PathJoin({Project->Folder});
    // A structure file in the "Shell" folder takes its paths relative to the disc root.
    if (SameFolder(ShellFolder(), PathJoin({ExtractFilePath(FileName)})))
        Project->Folder = ProgramFolder;
}
