#include "ListForm.h"

#include "Colors.h"
#include "IconFile.h"
#include "ImageList.h"
#include "Keys.h"
#include "ListBox.h"
#include "MainForm.h"
#include "Panel.h"
#include "VeltraneBtn.h"
#include "VeltraneImage.h"
#include "VeltraneText.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "model/Project.h"
#include "text/Paths.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {

constexpr int IconSize = 32;
constexpr int MinEntryHeight = 40;

QRect ScreenRect()
{
    const QScreen* Primary = QGuiApplication::primaryScreen();
    return Primary ? Primary->geometry() : QRect(0, 0, 800, 600);
}

} // namespace

TListF::TListF(TMainF* MainF, QWidget* Parent) : TForm(Parent, u"ListF"_s)
{
    if (DesignSettings.Options.ShowStandardTitle) {
        setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowCloseButtonHint);
    } else {
        // A pop-up without a dialog frame: the title picture stands in for the caption.
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    }
    SetWidth(590);
    SetHeight(150);
    SetColor(clBtnFace);
    Font()->SetName(u"MS Sans Serif"_s);
    Font()->SetHeight(-10);
    SetKeyPreview(true);
    OnKeyDown = [this](QObject* Sender, quint16& Key, TShiftState Shift) { FormKeyDown(Sender, Key, Shift); };

    TitleImg = new TVeltraneImage(this, u"TitleImg"_s);
    TitleImg->SetAlign(alTop);
    TitleImg->SetHeight(18);
    TitleImg->SetOpacity(1);
    FDrag.Attach(TitleImg, this);

    TopPanel = new TPanel(this, u"TopPanel"_s);
    TopPanel->SetAlign(alTop);
    TopPanel->SetHeight(12);
    TopPanel->SetBevelOuter(TPanel::bvNone);

    if (MainF) {
        CurrentItem = [MainF] { return MainF->CurrentItem(); };
    }
    FileIcon = [](const QString& FileName) { return QFileIconProvider().icon(QFileInfo(FileName)); };
    FormCreate(MainF);
}

void TListF::FormCreate(TMainF* MainF)
{
    const QRect Screen = ScreenRect();
    setMinimumHeight(110);
    setMaximumHeight(qRound(Screen.height() * 0.85));
    // Only the height can change.
    setFixedWidth(Width());
    SetCaption(strChooseAction);
    move(Screen.x() + (Screen.width() - Width()) / 2, Screen.y() + (Screen.height() - Height()) / 2);
    SetColor(qint32(DesignSettings.Colors.Windows));
    TopPanel->SetColor(qint32(DesignSettings.Colors.Windows));

    if (MainF) {
        TitleImg->AssignPicture(MainF->TopImg->Picture());
    }
    TitleImg->SetStretch(true);
    TitleImg->SetVisible(!DesignSettings.Options.ShowStandardTitle);
    if (DesignSettings.Options.ShowStandardTitle) {
        TitleImg->SetHeight(0);
    }

    Icons = new TImageList(this, u"Icons"_s);
    Icons->SetWidth(IconSize);
    Icons->SetHeight(IconSize);
    if (Project) {
        for (int P = 0; P < Project->Pictures.Count(); ++P) {
            Icons->Add(RenderIconAtSize(Project->Pictures.Items(P).Icon.Data, QSize(IconSize, IconSize)));
        }
    }
    FProjectIcons = Icons->Count();

    RightPanel = new TPanel(this, u"RightPanel"_s);
    RightPanel->SetAlign(alRight);
    RightPanel->SetWidth(120);
    RightPanel->SetBevelOuter(TPanel::bvNone);
    RightPanel->SetColor(qint32(DesignSettings.Colors.Windows));

    ClientPanel = new TPanel(this, u"ClientPanel"_s);
    ClientPanel->SetAlign(alClient);
    ClientPanel->SetBevelOuter(TPanel::bvNone);
    ClientPanel->SetColor(qint32(DesignSettings.Colors.Windows));

    ActionList = new TListBox(ClientPanel, u"ActionList"_s);
    ActionList->SetAlign(alClient);
    ActionList->Font()->SetSize(9);
    ActionList->SetItemHeight(MinEntryHeight);
    ActionList->SetStyle(TListBox::lbOwnerDrawVariable);
    ActionList->OnMeasureItem = [this](TControl*, int Index, int& Height) { MeasureEntry(Index, Height); };
    ActionList->OnDrawItem = [this](TControl*, int Index, const QRect& Rect, TOwnerDrawState State) {
        DrawEntry(Index, Rect, State);
    };
    ActionList->OnDblClick = [this](QObject* Sender) { OkBtnClick(Sender); };
    ActionList->OnKeyDown = [this](QObject*, quint16& Key, TShiftState) {
        if (Key == VK_RETURN || Key == VK_SPACE) {
            ListOkBtn->Click();
        }
    };

    ListOkBtn = new TVeltraneBtn(RightPanel, u"ListOkBtn"_s);
    ListOkBtn->SetCaption(strChooseOk);
    ListOkBtn->SetBounds(4, 0, 110, 28);
    ListOkBtn->OnClick = [this](QObject* Sender) { OkBtnClick(Sender); };

    ListCloseBtn = new TVeltraneBtn(RightPanel, u"ListCloseBtn"_s);
    ListCloseBtn->SetCaption(strChooseClose);
    ListCloseBtn->SetBounds(4, 0, 110, 28);
    ListCloseBtn->SetFormCloser(true);
}

QString TListF::EntryText(const TItemAction& Action)
{
    if (!IsBlank(Action.Description)) {
        return Action.Description;
    }
    if (Action.ShellActions.Count() == 0) {
        return QString();
    }
    const TShellAction& First = Action.ShellActions.Items(0);
    return IsBlank(First.ActionName) ? First.OpenObject : First.ActionName;
}

void TListF::FormShow()
{
    while (Icons->Count() > FProjectIcons) {
        Icons->Delete(Icons->Count() - 1);
    }
    ActionList->Clear();
    const TItem* Item = CurrentItem ? CurrentItem() : nullptr;
    if (Item) {
        for (int I = 0; I < Item->ItemActions.Count(); ++I) {
            const TItemAction& Action = Item->ItemActions.Items(I);
            FAdding = &Action;
            ActionList->Items().AddObject(QString(), const_cast<TItemAction*>(&Action));
        }
        FAdding = nullptr;
    }
    // Each entry's icon is looked up once here, not at every paint; the system's file icons join
    // the image list until the next show.
    FEntryIcons.clear();
    for (int I = 0; I < ActionList->Count(); ++I) {
        const auto* Action = ActionList->Items().ObjectAs<const TItemAction>(I);
        const QImage Icon = Action ? EntryIcon(*Action) : QImage();
        FEntryIcons.append(Icon.isNull() ? -1 : Icons->Add(Icon));
    }
    if (ActionList->Count() > 0) {
        ActionList->SetItemIndex(0);
        const QRect Last = ActionList->ItemRect(ActionList->Count() - 1);
        // Every entry fits, within the height limits.
        const int Wanted = TitleImg->Height() + TopPanel->Height() + Last.bottom() + 1 + 4;
        SetClientHeight(qBound(minimumHeight() - (Height() - ClientHeight()), Wanted,
                               maximumHeight() - (Height() - ClientHeight())));
        LayOutButtons();
    }
}

void TListF::resizeEvent(QResizeEvent* Event)
{
    TForm::resizeEvent(Event);
    if (isVisible()) {
        LayOutButtons();
    }
}

void TListF::LayOutButtons()
{
    ListCloseBtn->SetTop(RightPanel->Height() - ListCloseBtn->Height() - 4);
    ListOkBtn->SetTop(ListCloseBtn->Top() - ListOkBtn->Height() - 6);
}

void TListF::changeEvent(QEvent* Event)
{
    TForm::changeEvent(Event);
    if (Event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow()) {
        FormDeactivate();
    }
}

void TListF::FormDeactivate()
{
    Close();
}

void TListF::FormKeyDown(QObject* Sender, quint16& Key, TShiftState Shift)
{
    Q_UNUSED(Sender);
    if (Key == VK_ESCAPE || Key == VK_F10 || (Key == quint16('X') && Shift.testFlag(ssCtrl))) {
        Close();
    }
}

void TListF::OkBtnClick(QObject* Sender)
{
    Q_UNUSED(Sender);
    if (ActionList->ItemIndex() < 0) {
        if (ActionList->Count() == 0) {
            return;
        }
        ActionList->SetItemIndex(0);
    }
    const auto* Action = ActionList->Items().ObjectAs<const TItemAction>(ActionList->ItemIndex());
    if (Action && OnExecuteAction) {
        OnExecuteAction(*Action);
    }
}

void TListF::MeasureEntry(int Index, int& Height)
{
    const TItemAction* Action = FAdding ? FAdding : ActionList->Items().ObjectAs<const TItemAction>(Index);
    if (!Action) {
        return;
    }
    QStringList Lines;
    const QFont Font = ActionList->Font()->ToQFont();
    WrapText(Font, EntryText(*Action), ActionList->ClientWidth() - 16 - IconSize, Lines);
    const QFontMetrics Metrics(Font);
    Height = std::max(MinEntryHeight, int(Lines.size()) * Metrics.height() + 8);
}

QImage TListF::EntryIcon(const TItemAction& Action) const
{
    if (Action.ImageIndex >= 0) {
        return Action.ImageIndex < FProjectIcons ? Icons->Image(Action.ImageIndex) : QImage();
    }
    const QString Folder = Project ? Project->Folder : QString();
    for (int I = 0; I < Action.ShellActions.Count(); ++I) {
        const TShellAction& Step = Action.ShellActions.Items(I);
        if (Step.ShellActionType == atShowMessage || Step.ShellActionType == atPrecopyFiles || !FileIcon) {
            continue;
        }
        const QIcon Icon = FileIcon(NativePath(Folder + Step.OpenObject));
        if (!Icon.isNull()) {
            return Icon.pixmap(IconSize, IconSize).toImage();
        }
    }
    return QImage();
}

void TListF::DrawEntry(int Index, const QRect& Rect, TOwnerDrawState State)
{
    QPainter* Canvas = ActionList->Canvas();
    const auto* Action = ActionList->Items().ObjectAs<const TItemAction>(Index);
    if (!Canvas || !Action) {
        return;
    }
    const QColor Pen = ColorToRGB(qint32(DesignSettings.Colors.Windows));
    const bool Selected = State.testFlag(odSelected);
    const QColor Brush = Selected ? ColorToRGB(qint32(DesignSettings.Colors.Text)) : Canvas->brush().color();
    Canvas->fillRect(Rect, Brush);

    if (const int Icon = FEntryIcons.value(Index, -1); Icon >= 0) {
        Canvas->drawImage(QRect(Rect.left() + 4, Rect.top() + 4, IconSize, IconSize), Icons->Image(Icon));
    }

    // The selection's light fill would swallow the system's highlight text colour.
    Canvas->setPen(ColorToRGB(ActionList->Font()->Color()));
    QRect Area = Rect.adjusted(4 + IconSize + 8, 4, -4, -4);
    QStringList Lines;
    const QFontMetrics Metrics(Canvas->font());
    WrapText(Canvas->font(), EntryText(*Action), Area.width(), Lines);
    const int LineHeight = Metrics.height();
    Area.setTop(Area.top() + (Area.height() - int(Lines.size()) * LineHeight) / 2);
    for (const QString& Line : Lines) {
        Canvas->drawText(QRect(Area.left(), Area.top(), Area.width(), LineHeight),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Line);
        Area.setTop(Area.top() + LineHeight);
    }
    if (!Selected) {
        Canvas->setPen(Pen);
        Canvas->drawLine(0, Rect.bottom(), Rect.right(), Rect.bottom());
    }
}
