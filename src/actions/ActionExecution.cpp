#include "ActionExecution.h"

#include "BrowseForm.h"
#include "CursorSlots.h"
#include "MessageService.h"
#include "Pause.h"
#include "PhotoForm.h"
#include "ShellService.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "text/LoadMessages.h"
#include "text/Paths.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// How long a command waits after starting a program, with the busy cursor, while its window comes up.
constexpr int StartPause = 1500;

QString ProjectFolder()
{
    return Project ? Project->Folder : QString();
}

// The texts below exist only in Russian in the design; other languages get an English wording.
bool RussianChosen()
{
    if (CurrentOffset < 0) {
        return false;
    }
    for (int K = 0; K < LanguageCount; ++K) {
        if (LanguageOffsets[K] == CurrentOffset) {
            return (LanguageIds[K] & 0x3FF) == 0x19;
        }
    }
    return false;
}

QString NoStepsText()
{
    return RussianChosen() ? u"Функции отсутствуют"_s : u"This item has nothing to run"_s;
}

QString PrecopyQuestion(const QString& ItemName)
{
    return RussianChosen()
               ? ItemName +
                     u" необходимо предварительно скопировать на жесткий диск. Провести операцию копирования?"_s
               : ItemName + u" must be copied to the hard disk first. Copy it now?"_s;
}

QString CannotRunText(const QString& Program)
{
    return RussianChosen() ? u"Программа\n"_s + Program + u"\nне может работать в этой системе."_s
                           : u"The program\n"_s + Program + u"\ncannot run on this system."_s;
}

void ReportMissingFile(const QString& FullPath, quint32 Icon)
{
    Messages().MessageBox(FormatS(strCannotFindFile, {u"\n", SystemPath(FullPath)}), ProductName.toString(),
                          Icon | mbTaskModal);
}

bool FolderExists(const QString& Path)
{
    return QFileInfo(NativePath(Path)).isDir();
}

bool IsPictureStep(const TShellAction& Step)
{
    return Step.ShellActionType == atOpenObject && Step.ObjectType == otImage;
}

void OpenObject(const TShellAction& Step)
{
    const QString FullPath = ProjectFolder() + Step.OpenObject;
    if (Step.ObjectType == otFolder) {
        if (FolderExists(FullPath)) {
            RunFile(FullPath, QString());
        }
        return;
    }
    if (!FileExists(FullPath)) {
        ReportMissingFile(FullPath, mbIconInformation);
        return;
    }
    const TActionEnvironment& Env = ActionEnvironment();
    switch (Step.ObjectType) {
    case otExecutable:
        RunFile(FullPath, QString(), saProgram);
        break;
    case otMusic:
        if (Env.PlayMusic) {
            Env.PlayMusic(FullPath);
        }
        break;
    case otText:
        if (Env.ShowText) {
            Env.ShowText(FullPath);
        }
        break;
    case otFile:
        // A document nothing is registered for: its folder opens instead.
        if (RunFile(FullPath, QString()) == srNoAssociation) {
            RunFile(ExtractFilePath(FullPath), QString());
        }
        break;
    case otImage:
    case otFolder:
        break;
    }
}

void RunProgram(const TShellAction& Step)
{
    const QString FullPath = ProjectFolder() + Step.OpenObject;
    if (!FileExists(FullPath)) {
        ReportMissingFile(FullPath, mbIconExclamation);
        return;
    }
    if (Step.CheckAssociation && RunFile(FullPath, QString(), saProgram) != srNoAssociation) {
        return;
    }
    // The program gets the path it can open, not the project's notation.
    RunFile(ProjectFolder() + Step.AppFile, ApplicationParams(Step.AppParams, SystemPath(FullPath)), saProgram);
}

void CopyThenOpen(const TShellAction& Step)
{
    const TActionEnvironment& Env = ActionEnvironment();
    const bool Legacy = Project && Project->LegacyFlag;
    if (Legacy || Step.Msg.Text.isEmpty()) {
        const TItem* Item = Env.CurrentItem ? Env.CurrentItem() : nullptr;
        const QString Name = Item ? Item->Name : QString();
        if (Messages().MessageBox(PrecopyQuestion(Name), strCopying, mbYesNo | mbIconQuestion) != idYes) {
            return;
        }
    }
    QString Folder;
    if (!Env.ExecuteCopy || Env.ExecuteCopy(Step.PrecopyFiles, Folder) != 1) {
        return;
    }
    const QString Copied = CopiedObjectPath(Folder, Step.OpenObject);
    // Its copy rules may have left the object out: that is said, not passed over.
    if (!QFileInfo::exists(NativePath(Copied))) {
        ReportMissingFile(Copied, mbIconInformation);
        return;
    }
    RunFile(Copied, QString(), Step.ObjectType == otExecutable ? saProgram : saDocument);
}

} // namespace

TActionEnvironment& ActionEnvironment()
{
    static TActionEnvironment Environment;
    return Environment;
}

void ExecuteItemAction(const TItemAction& Action)
{
    ImageActionList.Clear();
    const TShellActions& Steps = Action.ShellActions;
    if (Steps.Count() == 0) {
        Messages().MessageBox(NoStepsText(), ProductName.toString(), mbNoticeFlags);
        return;
    }
    const TActionEnvironment& Env = ActionEnvironment();
    int RunStart = 0;
    auto ShowPictureRun = [&] {
        if (ImageActionList.Count() > RunStart && Env.ShowImageList) {
            Env.ShowImageList(ImageActionList, RunStart);
        }
        RunStart = ImageActionList.Count();
    };
    for (int I = 0; I < Steps.Count(); ++I) {
        const TShellAction& Step = Steps.Items(I);
        if (IsPictureStep(Step)) {
            const QString FullPath = ProjectFolder() + Step.OpenObject;
            if (FileExists(FullPath)) {
                ImageActionList.Add().Assign(Step);
            } else if (!Step.OpenObject.isEmpty()) {
                ReportMissingFile(FullPath, mbIconInformation);
            }
            continue;
        }
        ShowPictureRun();
        ExecuteShellAction(Step);
    }
    ShowPictureRun();
}

void ExecuteShellAction(const TShellAction& Step)
{
    switch (Step.ShellActionType) {
    case atShowMessage:
        ShowActionMessage(Step.Msg);
        break;
    case atOpenObject:
        OpenObject(Step);
        break;
    case atExecute:
    case atInstall:
        RunProgram(Step);
        break;
    case atPrecopyFiles:
        CopyThenOpen(Step);
        break;
    }
}

int RunFile(const QString& FileName, const QString& Params, TStartAs As)
{
    const TScreenCursor Busy(CursorBusy);
    const QString File = SystemPath(FileName);
    // The started program runs in the file's folder; the program's own current folder stays.
    const QString WorkDir = SystemPath(ExtractFilePath(FileName));
    IShellService& Shell = ShellService();
    const int Result = As == saProgram ? Shell.Run(File, Params, WorkDir) : Shell.Open(File, Params, WorkDir);
    if (As == saProgram && Result == srBadFormat) {
        Messages().MessageBox(CannotRunText(File), ProductName.toString(), mbIconExclamation | mbTaskModal);
        return Result;
    }
    PauseAfterStart(StartPause);
    return Result;
}

int ShowActionMessage(const TActionMsg& Msg)
{
    return Messages().MessageBox(Msg.Text, ProductName.toString(), quint32(Msg.IconIndex) | mbTaskModal);
}

QString ApplicationParams(const QString& AppParams, const QString& FullPath)
{
    const QString Lower = AppParams.toLower();
    for (const QString& Placeholder : {u"[$filename]"_s, u"$filename"_s, u"%1"_s}) {
        const qsizetype At = Lower.indexOf(Placeholder);
        if (At < 0) {
            continue;
        }
        // A path with blanks would reach the program as several arguments.
        const bool Quoted = At > 0 && AppParams[At - 1] == u'"';
        const QString Path = Quoted ? FullPath : QuoteCommandLineArgument(FullPath);
        QString Params = AppParams;
        Params.replace(At, Placeholder.size(), Path);
        return u' ' + Params;
    }
    return AppParams;
}

QString CopiedObjectPath(const QString& ChosenFolder, const QString& OpenObject)
{
    const QString Rest = OpenObject.mid(3);
    return PathJoin({ChosenFolder, ExtractFilePath(Rest)}) + ExtractFileName(Rest);
}

int CopyThroughWindow(TBrowseF& Window, const TCopyRules& Rules, QString& Folder)
{
    int Result = Window.ExecuteCopy(Rules);
    // A copy that failed or was cancelled leaves nothing to open.
    if (Result == mrOk && Window.LastCopyResult() != cpDone) {
        Result = mrCancel;
    }
    Folder = Window.Folder();
    return Result;
}
