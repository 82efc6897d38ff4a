#include "BrowseForm.h"

#include "ComboBox.h"
#include "DirectoryListBox.h"
#include "Edit.h"
#include "Graphic.h"
#include "Image.h"
#include "ImageList.h"
#include "Keys.h"
#include "Label.h"
#include "MessageService.h"
#include "PopupMenu.h"
#include "ShellService.h"
#include "SystemLanguage.h"
#include "VeltraneBtn.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "model/Project.h"
#include "text/LoadMessages.h"
#include "text/Paths.h"

#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPainter>
#include <QProgressDialog>
#include <QScreen>
#include <QThread>

using namespace Qt::StringLiterals;

TBrowseF* BrowseF = nullptr;

namespace {

// Milliseconds between two progress reports of a running copy.
constexpr int CopyReportInterval = 50;
// Failed files named in the copy's error message; the rest are counted.
constexpr int MaxErrorLines = 20;

TOverwriteQuestion& InstalledQuestion()
{
    static TOverwriteQuestion Question;
    return Question;
}

TOverwriteAnswer AskOverwrite(const QString& Target, QWidget* Parent)
{
    const bool Russian = GetSystemDefaultLangID() == LangRussian;
    const QString Text = Russian ? u"Папка уже содержит файл \"%1\".\nЗаменить его?"_s
                                 : u"The folder already contains the file \"%1\".\nReplace it?"_s;
    QMessageBox Box(QMessageBox::Question, ProductName.toString(), Text.arg(QDir::toNativeSeparators(Target)),
                    QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::NoToAll |
                        QMessageBox::Cancel,
                    Parent);
    Box.setDefaultButton(QMessageBox::Yes);
    switch (Box.exec()) {
    case QMessageBox::Yes:
        return oaYes;
    case QMessageBox::YesToAll:
        return oaYesToAll;
    case QMessageBox::No:
        return oaNo;
    case QMessageBox::NoToAll:
        return oaNoToAll;
    default:
        return oaCancel;
    }
}

void ReportCopyErrors(const QStringList& Errors)
{
    const bool Russian = GetSystemDefaultLangID() == LangRussian;
    QString Text = Russian ? u"Не удалось скопировать:"_s : u"These files could not be copied:"_s;
    Text += u'\n';
    const qsizetype Shown = std::min<qsizetype>(Errors.size(), MaxErrorLines);
    for (qsizetype I = 0; I < Shown; ++I) {
        Text += u'\n' + Errors[I];
    }
    if (Errors.size() > Shown) {
        Text += u"\n"_s + (Russian ? u"и ещё %1"_s : u"and %1 more"_s).arg(Errors.size() - Shown);
    }
    Messages().MessageBox(Text, ProductName.toString(), mbErrorFlags);
}

// The 24 x 24 picture beside the volume list: a hard disk. Its bottom-left colour is transparent.
QImage HardDiskPicture()
{
    QImage Image(24, 24, QImage::Format_RGB32);
    Image.fill(QColor(0xFF, 0x00, 0xFF));
    QPainter P(&Image);
    P.setPen(QColor(0x40, 0x40, 0x40));
    P.setBrush(QColor(0xC0, 0xC0, 0xC0));
    P.drawRect(2, 7, 19, 10);
    P.fillRect(3, 8, 18, 3, QColor(0xE8, 0xE8, 0xE8));
    P.fillRect(16, 13, 3, 2, QColor(0x00, 0xC0, 0x00));
    P.setPen(QColor(0x80, 0x80, 0x80));
    P.drawLine(4, 14, 12, 14);
    return Image;
}

// How a volume is listed: its folder, and its label in lower case in brackets when it has one.
QString VolumeText(const TVolume& Volume)
{
    QString Root = QDir::toNativeSeparators(Volume.RootPath);
    // A drive's root is listed as its letter and colon.
    if (Root.size() == 3 && Root[1] == u':' && (Root[2] == u'\\' || Root[2] == u'/')) {
        Root = Root.left(2).toUpper();
    }
    return Volume.Label.isEmpty() ? Root : Root + u" ("_s + Volume.Label.toLower() + u')';
}

} // namespace

void SetOverwriteQuestion(TOverwriteQuestion Question)
{
    InstalledQuestion() = std::move(Question);
}

int CopyFiles(const TCopyList& List, const QString& Root, QWidget* Parent)
{
    if (List.IsEmpty()) {
        Messages().MessageBox(u"There are no files to copy"_s, ProductName.toString(), mbNoticeFlags);
        return 5;
    }
    const QList<TCopyItem> Items = CopyItemsOf(List);
    const QString NativeRoot = QDir::cleanPath(NativePath(Root));

    QProgressDialog Progress(Parent);
    Progress.setWindowTitle(strCopying);
    Progress.setCancelButtonText(strCancel.isEmpty() ? u"Cancel"_s : strCancel);
    Progress.setRange(0, 1000);
    Progress.setMinimumDuration(0);
    Progress.setAutoClose(false);
    Progress.setAutoReset(false);
    Progress.setWindowModality(Qt::ApplicationModal);
    // Declared after the dialog, so it goes first and drops any report still queued for the dialog.
    QObject Relay;

    TFileCopier Copier;
    QObject::connect(&Progress, &QProgressDialog::canceled, &Relay, [&Copier] { Copier.Cancel(); });
    QElapsedTimer SinceReport;
    SinceReport.start();
    Copier.OnProgress = [&](qint64 Done, qint64 Total, const QString& Current) {
        // Runs on the worker: reports go to the dialog a few times a second.
        if (SinceReport.elapsed() < CopyReportInterval && Done < Total) {
            return;
        }
        SinceReport.restart();
        const int Value = Total > 0 ? static_cast<int>(std::min<qint64>(1000, Done * 1000 / Total)) : 0;
        QMetaObject::invokeMethod(
            &Relay,
            [&Progress, Value, Current] {
                Progress.setLabelText(QDir::toNativeSeparators(Current));
                Progress.setValue(Value);
            },
            Qt::QueuedConnection);
    };
    Copier.OnOverwrite = [&](const QString& Target) {
        // The worker waits for the user's answer, which is asked on the user-interface thread.
        TOverwriteAnswer Answer = oaCancel;
        QMetaObject::invokeMethod(
            &Relay,
            [&Progress, &Target]() -> TOverwriteAnswer {
                const TOverwriteQuestion& Question = InstalledQuestion();
                return Question ? Question(Target) : AskOverwrite(Target, &Progress);
            },
            Qt::BlockingQueuedConnection, &Answer);
        return Answer;
    };

    TCopyReport Report;
    QThread* Worker = QThread::create([&] { Report = Copier.Run(Items, NativeRoot); });
    QEventLoop Loop;
    QObject::connect(Worker, &QThread::finished, &Loop, &QEventLoop::quit);
    Progress.show();
    Worker->start();
    Loop.exec();
    Worker->wait();
    delete Worker;
    Progress.hide();

    if (!Report.Errors.isEmpty()) {
        ReportCopyErrors(Report.Errors);
    }
    return Report.Result;
}

// --- TBrowseF ----------------------------------------------------------------------------------

TBrowseF::TBrowseF(const TEnvironment& Environment, QWidget* Parent)
    : TForm(Parent, u"BrowseF"_s), FEnvironment(Environment)
{
    FLangId = Environment.LangId != 0 ? Environment.LangId : GetSystemDefaultLangID();
    FormCreate();
    BrowseF = this;
}

TBrowseF::~TBrowseF()
{
    if (BrowseF == this) {
        BrowseF = nullptr;
    }
    StopSizeCount();
    // A counter that has not ended yet is waited for: it must not outlive the program.
    for (const QPointer<TGetObjectsSize>& Counter : std::as_const(FStoppedCounters)) {
        delete Counter.data();
    }
}

void TBrowseF::FormCreate()
{
    // 1. The window.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    Font()->SetName(u"MS Sans Serif"_s);
    Font()->SetHeight(-10);
    SetBounds(Left(), Top(), 315, 327);
    SetCaption(strSelectFolder);
    setWindowTitle(strSelectFolder);
    SetKeyPreview(true);
    OnKeyDown = [this](QObject* Sender, quint16& Key, TShiftState Shift) { FormKeyDown(Sender, Key, Shift); };

    DirEdit = new TEdit(this, u"DirEdit"_s);
    DirEdit->SetBounds(6, 273, 280, DirEdit->Height());
    DirEdit->OnKeyDown = [this](QObject* Sender, quint16& Key, TShiftState Shift) {
        DirEditKeyDown(Sender, Key, Shift);
    };
    FreeL = new TLabel(this, u"FreeL"_s);
    FreeL->SetBounds(163, 16, FreeL->Width(), FreeL->Height());
    DriveList = new TComboBox(this, u"DriveList"_s);
    DriveList->SetStyle(TComboBox::csOwnerDrawFixed);
    DriveList->SetItemHeight(18);
    DriveList->SetBounds(6, 13, 157, 24);
    DriveList->OnChange = [this](QObject* Sender) { DriveListChange(Sender); };
    DriveList->OnDrawItem = [this](TControl* Control, int Index, const QRect& Rect, TOwnerDrawState State) {
        DriveListDrawItem(Control, Index, Rect, State);
    };
    PMenu = new TPopupMenu(this, u"PMenu"_s);
    OpenDirItem = new TMenuItem(PMenu, u"OpenDirItem"_s);
    OpenDirItem->SetCaption(TextForLanguage(FLangId, u"&Open"_s, u"&Открыть"_s));
    OpenDirItem->OnClick = [this](QObject* Sender) { OpenDirItemClick(Sender); };
    PMenu->Add(OpenDirItem);
    ObjectsSizeL = new TLabel(this, u"ObjectsSizeL"_s);
    ObjectsSizeL->SetBounds(56, 216, ObjectsSizeL->Width(), ObjectsSizeL->Height());
    InfoImg = new TImage(this, u"InfoImg"_s);
    InfoImg->SetBounds(8, 200, 24, 24);
    InfoImg->Picture().SetBitmap(HardDiskPicture());

    // 2. The volumes.
    DriveIcons = new TImageList(this, u"DriveIcons"_s);
    FillDriveList();

    // 3. Layout.
    InfoImg->SetBounds(DriveList->BoundsRight() + 6, DriveList->Top(), 24, 24);
    InfoImg->SetTransparent(true);
    FreeL->SetLeft(InfoImg->BoundsRight() + 3);
    FreeL->SetTop(InfoImg->Top() - 3);
    ObjectsSizeL->SetLeft(FreeL->Left());
    ObjectsSizeL->SetTop(InfoImg->BoundsBottom() - ObjectsSizeL->Height());

    DirList = new TDirectoryListBox(this, u"DirList"_s);
    const int ListTop = InfoImg->BoundsBottom() + 10;
    DirList->SetBounds(DriveList->Left(), ListTop, ClientWidth() - 2 * DriveList->Left(),
                       DirEdit->Top() - 10 - ListTop);
    DirList->SetColor(static_cast<int>(DesignSettings.Colors.Text));
    DirList->OnChange = [this](QObject* Sender) { DirListChange(Sender); };
    DirList->OnKeyDown = [this](QObject* Sender, quint16& Key, TShiftState Shift) {
        DirEditKeyDown(Sender, Key, Shift);
    };
    DirList->OnMouseDown = [this](QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        DirListMouseDown(Sender, Button, Shift, X, Y);
    };
    DriveListChange();
    DirEdit->SetBounds(DirList->Left(), DirEdit->Top(), DirList->Width(), DirEdit->Height());
    DirEdit->SetColor(static_cast<int>(DesignSettings.Colors.Text));

    // 4. The buttons and colours.
    CopyBtn = new TVeltraneBtn(this, u"CopyBtn"_s);
    CopyBtn->SetBounds(DirEdit->BoundsRight() - 130 - 110, DirEdit->BoundsBottom() + 8, 130, 32);
    CopyBtn->SetModalResult(mrOk);
    if (!FEnvironment.CopyGlyph.isNull()) {
        CopyBtn->Glyph().SetBitmap(FEnvironment.CopyGlyph);
    }
    CopyBtn->SetCaption(strCopy);
    CopyBtn->OnClick = [this](QObject* Sender) { CopyBtnClick(Sender); };
    CancelBtn = new TVeltraneBtn(this, u"CancelBtn"_s);
    CancelBtn->SetFormCloser(true);
    SetClientHeight(CopyBtn->BoundsBottom() + 10);
    SetColor(static_cast<int>(DesignSettings.Colors.Windows));
    DriveList->SetColor(static_cast<int>(DesignSettings.Colors.Text));
    // A single border: the user cannot size the window.
    setFixedSize(size());
    // Placed in the middle of the screen rather than wherever the system puts a new window.
    if (const QScreen* Screen = QGuiApplication::primaryScreen()) {
        const QRect Area = Screen->availableGeometry();
        move(Area.x() + (Area.width() - width()) / 2, Area.y() + (Area.height() - height()) / 2);
    }

    // 5. The icon.
    const QString IconFile = FEnvironment.ImagesFolder + u"copy.ico"_s;
    if (!FEnvironment.ImagesFolder.isEmpty() && FileExists(IconFile)) {
        const TGraphicLoad Load = LoadGraphic(IconFile);
        if (const auto* Raster = dynamic_cast<const TRasterGraphic*>(Load.Graphic.get())) {
            setWindowIcon(QIcon(QPixmap::fromImage(Raster->Image())));
        }
    }
}

void TBrowseF::FillDriveList()
{
    // The volume chosen before stays chosen while it is there.
    const QString PreviousRoot = SelectedRoot();
    DriveList->Items().Clear();
    DriveIcons->Clear();
    FVolumes = VolumeProvider().Volumes();
    const QFileIconProvider Icons;
    int Selected = -1;
    for (int I = 0; I < FVolumes.size(); ++I) {
        const TVolume& Volume = FVolumes[I];
        const QIcon Icon = Icons.icon(QFileInfo(Volume.RootPath));
        DriveIcons->Add(Icon.pixmap(16, 16).toImage());
        DriveList->Items().Add(VolumeText(Volume));
        if (Selected < 0 && Volume.Fixed) {
            Selected = I;
        }
    }
    if (Selected < 0 && !FVolumes.isEmpty()) {
        Selected = 0;
    }
    for (int I = 0; I < FVolumes.size() && !PreviousRoot.isEmpty(); ++I) {
        if (FVolumes[I].RootPath == PreviousRoot) {
            Selected = I;
            break;
        }
    }
    DriveList->SetItemIndex(Selected);
}

int TBrowseF::ExecuteCopy(const TCopyRules& Rules)
{
    FFileList = BuildCopyList(Rules, Project ? Project->Folder : QString());
    FLastCopyResult = -1;
    FChosenFolder.clear();
    StartSizeCount();
    const int Result = ShowModal();
    StopSizeCount();
    return Result;
}

QString TBrowseF::Folder() const
{
    return FChosenFolder;
}

QString TBrowseF::SelectedRoot() const
{
    const int Index = DriveList->ItemIndex();
    return Index >= 0 && Index < FVolumes.size() ? FVolumes[Index].RootPath : QString();
}

const TItem* TBrowseF::CurrentItem() const
{
    return FEnvironment.CurrentItem ? FEnvironment.CurrentItem() : nullptr;
}

void TBrowseF::StartSizeCount()
{
    StopSizeCount();
    ShowObjectsSize(0);
    auto* Counter = new TGetObjectsSize(FFileList.Sources());
    Counter->OnProgress = [this](qint64 Total) { ShowObjectsSize(Total); };
    FSizeCounter = Counter;
    Counter->Start();
}

void TBrowseF::StopSizeCount()
{
    FStoppedCounters.removeAll(nullptr);
    if (FSizeCounter) {
        FSizeCounter->OnProgress = nullptr;
        FSizeCounter->Stop();
        FStoppedCounters.append(FSizeCounter);
        FSizeCounter = nullptr;
    }
}

void TBrowseF::ShowObjectsSize(qint64 Bytes)
{
    ObjectsSizeL->SetCaption(RequiredSizeText(Bytes, FLangId));
}

void TBrowseF::FormShow()
{
    // A stick plugged in since the last use is offered too.
    const QString ShownRoot = SelectedRoot();
    FillDriveList();
    if (SelectedRoot() != ShownRoot) {
        DriveListChange();
    }
    DirList->Update();
    const TItem* Item = CurrentItem();
    if (DesignSettings.Copy.InsertMode != 0 && Item && !Item->CopyRules.DefaultFolder.isEmpty()) {
        QString Drive = ExtractFileDrive(Item->CopyRules.DefaultFolder);
        if (!Drive.isEmpty()) {
            Drive = QDir::fromNativeSeparators(Drive);
            for (int I = 0; I < FVolumes.size(); ++I) {
                if (FVolumes[I].RootPath.left(Drive.size()).compare(Drive, Qt::CaseInsensitive) == 0) {
                    DriveList->SetItemIndex(I);
                    DriveListChange();
                    break;
                }
            }
        }
    }
    SuggestFolder();
    CancelBtn->SetBounds(DirEdit->BoundsRight() - 100, CopyBtn->Top(), 100, 32);
    CancelBtn->SetCaption(strCancel);
}

void TBrowseF::SuggestFolder()
{
    QString Suffix;
    if (const TItem* Item = CurrentItem()) {
        Suffix = SuggestedSuffix(Item->CopyRules.DefaultFolder, Item->Folder);
    }
    DirEdit->SetText(SystemPath(PathJoin({DirList->Directory(), Suffix})));
}

void TBrowseF::DriveListChange(QObject* Sender)
{
    Q_UNUSED(Sender);
    const int Index = DriveList->ItemIndex();
    if (Index < 0 || Index >= FVolumes.size()) {
        return;
    }
    const QString Root = FVolumes[Index].RootPath;
    IVolumeProvider& Provider = VolumeProvider();
    const bool Shown = Provider.IsReady(Root) && DirList->SetDirectory(Root);
    if (!Shown && isVisible()) {
        Messages().MessageBox(FormatS(strDriveNotReady, {QDir::toNativeSeparators(Root)}),
                              u"Диск недоступен"_s, mbErrorFlags);
    }
    FreeL->SetCaption(FreeSpaceText(Provider.FreeBytes(Root)));
}

void TBrowseF::DirListChange(QObject* Sender)
{
    Q_UNUSED(Sender);
    if (DesignSettings.Copy.InsertMode < 2) {
        DirEdit->SetText(SystemPath(PathJoin({DirList->Directory()})));
    } else {
        SuggestFolder();
    }
}

void TBrowseF::DriveListDrawItem(TControl* Control, int Index, const QRect& Rect, TOwnerDrawState State)
{
    Q_UNUSED(Control);
    Q_UNUSED(State);
    QPainter* Canvas = DriveList->Canvas();
    if (!Canvas) {
        return;
    }
    Canvas->fillRect(Rect, Canvas->brush());
    if (Index < 0 || Index >= DriveList->Items().Count()) {
        return;
    }
    const int IconLeft = Rect.left() + 2;
    DriveIcons->Draw(*Canvas, IconLeft, Rect.top() + (Rect.height() - DriveIcons->Height()) / 2, Index);
    const int TextLeft = IconLeft + DriveIcons->Width() + 6;
    Canvas->drawText(QRect(TextLeft, Rect.top(), std::max(0, Rect.right() + 1 - TextLeft), Rect.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     DriveList->Items().Strings(Index));
}

void TBrowseF::DirListMouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    Q_UNUSED(Sender);
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    if (Button == mbRight && DirList->ItemIndex() >= 0) {
        const QPoint At = QCursor::pos();
        PMenu->Popup(At.x() + 4, At.y() + 4);
    }
}

void TBrowseF::OpenDirItemClick(QObject* Sender)
{
    Q_UNUSED(Sender);
    const QString Path = DirList->GetItemPath(DirList->ItemIndex());
    if (!Path.isEmpty()) {
        ShellService().Explore(SystemPath(Path));
    }
}

void TBrowseF::DirEditKeyDown(QObject* Sender, quint16& Key, TShiftState Shift)
{
    Q_UNUSED(Sender);
    Q_UNUSED(Shift);
    // Enter copies, as the Copy button does: ending with the OK result without copying would let a
    // following step open a file that is not there.
    if (Key == VK_RETURN) {
        Key = 0;
        CopyBtn->Click();
    }
}

void TBrowseF::FormKeyDown(QObject* Sender, quint16& Key, TShiftState Shift)
{
    Q_UNUSED(Sender);
    Q_UNUSED(Shift);
    if (Key == VK_ESCAPE) {
        Key = 0;
        Close();
    }
}

void TBrowseF::CopyBtnClick(QObject* Sender)
{
    Q_UNUSED(Sender);
    // The disc is needed for the copy now; the count's answer would come too late to matter.
    StopSizeCount();
    // Decided once: the copy writes below this folder and a pre-copy step opens its object from it.
    FChosenFolder = ResolveChosenFolder(DirEdit->Text(), DirList->Directory());
    FFileList.ResolveDestinations(FChosenFolder);
    FLastCopyResult = CopyFiles(FFileList, FChosenFolder, this);
}
