// The main window's commands: the toolbar, the text buttons, the tree's double click and Enter, the
// text area's popup, and what showing and closing the window do.

#include "MainForm.h"

#include "CategoryChooser.h"
#include "CursorSlots.h"
#include "Keys.h"
#include "Label.h"
#include "MainSelection.h"
#include "MessageService.h"
#include "MusicPlayer.h"
#include "Pause.h"
#include "PhotoForm.h"
#include "Picture.h"
#include "PopupMenu.h"
#include "ShellService.h"
#include "Thumbnails.h"
#include "TreeView.h"
#include "VeltraneImage.h"
#include "VeltraneText.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "model/Project.h"
#include "text/LoadMessages.h"
#include "text/Paths.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>

using namespace MainSelection;

namespace {

// The run command keeps the busy cursor this long after an action, while what it started comes up.
constexpr int RunPause = 1500;

} // namespace

void TMainF::PlayIntroMusic()
{
    FMusic->PlayIntroMusic(Project->Folder, DesignSettings);
}

void TMainF::ReportNoSoundDevice()
{
    Messages().MessageBox(strNoSoundDevice, ProductName.toString(), mbNoticeFlags);
}

// --- Showing and closing ----------------------------------------------------------------------

void TMainF::FormShow()
{
    FIntroShown = true;
    PlayIntroMusic();
    DrawBtnCaption(Btn2, qint32(DesignSettings.Buttons.OptionsBtn_TxtColor), strOptions);
    DrawBtnCaption(Btn3, qint32(DesignSettings.Buttons.ExitBtn_TxtColor), strExit);
    // The toolbar buttons that can be enabled at this point.
    ApplyBtnOpacity(Btn4);
    ApplyBtnOpacity(Btn5);
    ApplyBtnOpacity(Btn6);
}

void TMainF::FormClose(TCloseAction& Action)
{
    Q_UNUSED(Action);
    FMusic->Close();
    FPaintBitmap = QImage();
    FWallpaperPicture->Clear();
    FWallpaperFileName.clear();
}

// --- Text buttons and title bar buttons -------------------------------------------------------

void TMainF::Btn2Click(QObject* Sender)
{
    Q_UNUSED(Sender);
    if (OnShowOptions) {
        OnShowOptions();
    }
}

void TMainF::Btn3Click(QObject* Sender)
{
    Q_UNUSED(Sender);
    Close();
}

void TMainF::MinimizeBtnClick(QObject* Sender)
{
    Q_UNUSED(Sender);
    showMinimized();
}

// --- Toolbar ----------------------------------------------------------------------------------

void TMainF::Btn4Click(QObject* Sender)
{
    Q_UNUSED(Sender);
    const TUserInfo& Creator = Project->Creator;
    if (IsBlank(Creator.Email)) {
        Messages().MessageBox(strNoAuthorEmail, strNoEmail, mbNoticeFlags);
        return;
    }
    if (OnSendMail) {
        OnSendMail(Creator.Name, Creator.Email);
    }
}

void TMainF::Btn5Click(QObject* Sender)
{
    Q_UNUSED(Sender);
    FIntroShown = true;
    PlayIntroMusic();
    SetWallpaper(ImagesFolder() + DesignSettings.Images.Wallpaper);
    IntroCaption();
    Tabs->SetVisible(false);
    ImageGallery->SetVisible(false);
    ScreenshotsGallery->SetVisible(false);
    PreviewImg1->SetVisible(false);
    PreviewImg2->SetVisible(false);
    TextField->SetVisible(true);
    TextField->SetCaption(Project->Creator.AuthorWords);
}

void TMainF::Btn6Click(QObject* Sender)
{
    Q_UNUSED(Sender);
    const TTreeNode* Node = ProjectTree->Selected();
    const QString Path = BrowseFolderFor(Project->Folder, ProgramFolder, Node != nullptr,
                                         Node ? Node->StateIndex() : 0, FCurrentSection, FCurrentItem);
    ShellService().Explore(SystemPath(Path));
}

void TMainF::Btn8Click(QObject* Sender)
{
    Q_UNUSED(Sender);
    if (!FCurrentItem || FCurrentItem->ItemActions.Count() == 0) {
        return;
    }
    if (FCurrentItem->ItemActions.Count() > 1) {
        if (OnChooseAction) {
            OnChooseAction();
        }
        return;
    }
    const TScreenCursor Busy(CursorBusy);
    const TItemAction& Action = FCurrentItem->ItemActions.Items(0);
    if (IsImageAction(Action)) {
        if (ImageActionList.Count() == 0) {
            CollectImageActions(Action, ImageActionList);
        }
        // The first run of a picture item shows its pictures here; once they show, it runs the action.
        if (ImageActionList.Count() > 0 && Tabs->CatList()->Count() == 2 && !ImageGallery->Visible()) {
            ShowImageGallery(ImageActionList);
            return;
        }
    }
    if (OnExecuteItemAction) {
        OnExecuteItemAction(Action);
    }
    PauseAfterStart(RunPause);
}

void TMainF::Btn9Click(QObject* Sender)
{
    Q_UNUSED(Sender);
    FMusic->PlayCommand([this] { Btn8Click(); }, [this] { ReportNoSoundDevice(); });
}

void TMainF::Btn10Click(QObject* Sender)
{
    Q_UNUSED(Sender);
    if (FCurrentItem && OnCopyFiles) {
        OnCopyFiles(*FCurrentItem);
    }
}

void TMainF::Btn8MouseMove(QObject* Sender, TShiftState Shift, int X, int Y)
{
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    auto* Button = qobject_cast<TVeltraneImage*>(Sender);
    if (!Button || !FCurrentItem || FCurrentItem->ItemActions.Count() < 1) {
        return;
    }
    const TTreeNode* Node = ProjectTree->Selected();
    Button->SetHint(
        RunButtonHint(*FCurrentItem, Button == Btn8, Node ? Node->Text() : QString(), strExecute, strBrowse));
}

// --- Tree -------------------------------------------------------------------------------------

void TMainF::ProjectTreeDblClick(QObject* Sender)
{
    Q_UNUSED(Sender);
    if (!ProjectTree->Selected() || !FCurrentItem || FCurrentItem->ItemActions.Count() < 1) {
        return;
    }
    if (Btn9->Enabled()) {
        Btn9Click();
    } else if (Btn8->Enabled() || Btn7->Enabled()) {
        Btn8Click();
    }
}

void TMainF::ProjectTreeKeyDown(QObject* Sender, quint16& Key, TShiftState Shift)
{
    Q_UNUSED(Shift);
    if (Key == VK_RETURN && ProjectTree->Selected()) {
        ProjectTreeDblClick(Sender);
    }
}

// --- Text area --------------------------------------------------------------------------------

void TMainF::TextFieldMouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    Q_UNUSED(Sender);
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    if (Button == mbRight) {
        const QPoint At = QCursor::pos();
        PMenu->Popup(At.x(), At.y());
    }
}

void TMainF::CopyItemClick(QObject* Sender)
{
    Q_UNUSED(Sender);
    if (QClipboard* Clipboard = QGuiApplication::clipboard()) {
        Clipboard->setText(TextField->Caption());
    }
}
