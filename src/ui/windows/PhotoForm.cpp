#include "PhotoForm.h"

#include "Colors.h"
#include "CursorSlots.h"
#include "Image.h"
#include "Keys.h"
#include "MessageService.h"
#include "config/ProgramPaths.h"
#include "text/LoadMessages.h"
#include "text/Paths.h"

#include <QGuiApplication>
#include <QScreen>

TShellActions ImageActionList;
int PhotoIndex = 0;
bool ShowingScreenshots = false;
TPhotoF* PhotoF = nullptr;

namespace {

QString ProjectFolder()
{
    return Project ? Project->Folder : QString();
}

} // namespace

void CollectImageActions(const TItemAction& ItemAction, TShellActions& List)
{
    const TShellActions& Steps = ItemAction.ShellActions;
    for (int I = 0; I < Steps.Count(); ++I) {
        const TShellAction& Step = Steps.Items(I);
        if (Step.ShellActionType != atOpenObject || Step.ObjectType != otImage) {
            List.Clear();
            return;
        }
        if (FileExists(ProjectFolder() + Step.OpenObject)) {
            List.Add().Assign(Step);
        }
    }
}

TPhotoF::TPhotoF(QWidget* Parent) : TForm(Parent, QStringLiteral("PhotoF"))
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFocusPolicy(Qt::StrongFocus);
    SetColor(clBlack);
    OnKeyDown = [this](QObject* Sender, quint16& Key, TShiftState Shift) { FormKeyDown(Sender, Key, Shift); };
    OnMouseDown = [this](QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        FormMouseDown(Sender, Button, Shift, X, Y);
    };
    FormCreate();
    PhotoF = this;
}

TPhotoF::~TPhotoF()
{
    if (PhotoF == this) {
        PhotoF = nullptr;
    }
}

void TPhotoF::FormCreate()
{
    QRect Screen(0, 0, 800, 600);
    if (const QScreen* Primary = QGuiApplication::primaryScreen()) {
        Screen = Primary->geometry();
    }
    SetBounds(Screen.x(), Screen.y(), Screen.width(), Screen.height());
    SetKeyPreview(true);

    FImage = new TImage(this);
    // The black window shows around a smaller picture.
    FImage->SetParentColor(true);
    FImage->Constraints()->SetMaxWidth(ClientWidth());
    FImage->Constraints()->SetMaxHeight(ClientHeight());
    FImage->SetAlign(alClient);
    FImage->SetCenter(true);
    FImage->SetProportional(true);
    FImage->OnClick = [this](QObject* Sender) { ImageClick(Sender); };
    FImage->OnMouseDown = [this](QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        FormMouseDown(Sender, Button, Shift, X, Y);
    };

    RegisterCursorClient(this, [this](bool Enabled) {
        SetCursor(Enabled ? CursorDefault : crDefault);
        FImage->SetCursor(Enabled ? CursorHand : crHandPoint);
    });
}

bool TPhotoF::ShowImageList(const TShellActions& List, int StartIndex)
{
    FImages = &List;
    Screenshots = nullptr;
    ShowingScreenshots = false;
    return ShowFirst(StartIndex);
}

bool TPhotoF::ShowScreenshotList(const TScreenshots& AScreenshots, int StartIndex)
{
    Screenshots = &AScreenshots;
    FImages = nullptr;
    ShowingScreenshots = true;
    return ShowFirst(StartIndex);
}

bool TPhotoF::ShowFirst(int StartIndex)
{
    if (StartIndex < 0 || StartIndex >= CurrentCount()) {
        ResetList();
        return false;
    }
    PhotoIndex = StartIndex;
    if (!ShowListPicture(PhotoIndex)) {
        // As when the loader's error ends the entry: the window does not open.
        ResetList();
        return false;
    }
    ShowModal();
    return true;
}

bool TPhotoF::ShowPicture(const QString& Path)
{
    FShownFile = Path;
    QString Error;
    // Read by the path it has outside the program, which a failure then names to the user.
    if (!FImage->Picture().LoadFromFile(SystemPath(Path), &Error)) {
        FImage->Picture().Clear();
        Messages().MessageBox(Error, ProductName.toString(), mbErrorFlags);
        return false;
    }
    const TPicture& Picture = FImage->Picture();
    FImage->SetStretch(Picture.Width() > ClientWidth() || Picture.Height() > ClientHeight());
    FImage->SetTransparent(Picture.Graphic() && Picture.Graphic()->IsIcon());
    return true;
}

bool TPhotoF::ShowListPicture(int Index)
{
    return ShowPicture(PicturePath(Index));
}

int TPhotoF::CurrentCount() const
{
    if (ShowingScreenshots) {
        return Screenshots ? Screenshots->Count() : 0;
    }
    return FImages ? FImages->Count() : 0;
}

QString TPhotoF::PicturePath(int Index) const
{
    if (ShowingScreenshots) {
        return ProjectFolder() + Screenshots->Items(Index).FileName;
    }
    return ProjectFolder() + FImages->Items(Index).OpenObject;
}

void TPhotoF::NextPicture()
{
    if (PhotoIndex < 0) {
        return;
    }
    ++PhotoIndex;
    if (PhotoIndex < CurrentCount()) {
        ShowListPicture(PhotoIndex);
    } else {
        Close();
    }
}

void TPhotoF::PreviousPicture()
{
    if (PhotoIndex <= 0 || PhotoIndex > CurrentCount()) {
        Close();
        return;
    }
    --PhotoIndex;
    ShowListPicture(PhotoIndex);
}

void TPhotoF::FormKeyDown(QObject* Sender, quint16& Key, TShiftState Shift)
{
    Q_UNUSED(Sender);
    Q_UNUSED(Shift);
    switch (Key) {
    case VK_RIGHT:
    case VK_RETURN:
    case VK_SPACE:
        Key = 0;
        NextPicture();
        break;
    case VK_LEFT:
        Key = 0;
        PreviousPicture();
        break;
    case VK_ESCAPE:
        Key = 0;
        Close();
        break;
    default:
        break;
    }
}

void TPhotoF::FormMouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    Q_UNUSED(Sender);
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    if (Button == mbRight) {
        Close();
    }
}

void TPhotoF::ImageClick(QObject* Sender)
{
    Q_UNUSED(Sender);
    NextPicture();
}

void TPhotoF::FormClose(TCloseAction& Action)
{
    Q_UNUSED(Action);
    ResetList();
}

void TPhotoF::ResetList()
{
    Screenshots = nullptr;
    FImages = nullptr;
    PhotoIndex = -1;
    ShowingScreenshots = false;
}

bool ShowImageList(const TShellActions& List, int StartIndex)
{
    return PhotoF && PhotoF->ShowImageList(List, StartIndex);
}

bool ShowScreenshotList(const TScreenshots& Screenshots, int StartIndex)
{
    return PhotoF && PhotoF->ShowScreenshotList(Screenshots, StartIndex);
}
