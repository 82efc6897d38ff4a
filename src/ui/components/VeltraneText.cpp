#include "VeltraneText.h"

#include "Colors.h"
#include "config/IniFile.h"
#include "text/CodePage.h"
#include "text/DiscFile.h"
#include "text/Paths.h"

#include <QChildEvent>
#include <QEvent>
#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <QHash>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

// The walk of WrapText over Text with Advance(Characters) giving the width of one character (a
// surrogate pair counts as one). Line, the line as it was at its last blank and the word being built
// are ranges of Text with their widths summed as they grow, so every character is measured once and
// the walk is linear in the text's length; line feeds inside a range are dropped when it is emitted.
template <class TAdvance>
void WrapBy(TAdvance&& Advance, const QString& Text, int MaxWidth, QStringList& Lines)
{
    Lines.clear();
    // The rounded total must not exceed MaxWidth, as a whole line's measured width would not.
    const double Limit = MaxWidth + 0.5;
    const QChar* Chars = Text.constData();
    const qsizetype Size = Text.size();
    auto Emit = [&](qsizetype From, qsizetype To) {
        QString Line = Text.sliced(From, To - From);
        if (Line.contains(u'\n')) {
            Line.remove(u'\n');
        }
        Lines.append(std::move(Line));
    };
    qsizetype LineStart = 0;
    qsizetype BreakAt = 0;   // where the line ends when it breaks at its last blank
    qsizetype WordStart = 0; // the first character after the last blank
    double LineWidth = 0;
    double WordWidth = 0;
    bool LineHasChars = false;
    bool WordHasChars = false;
    // Whether Line holds a blank to break at; without one an overflowing word is cut where it overflows
    // instead of repeating the last break.
    bool HasBreak = false;
    for (qsizetype I = 0; I < Size;) {
        const QChar C = Chars[I];
        if (C == u'\n') {
            ++I;
            continue;
        }
        if (C == u'\r') {
            Emit(LineStart, I);
            LineStart = WordStart = I + 1;
            LineWidth = WordWidth = 0;
            LineHasChars = WordHasChars = HasBreak = false;
            ++I;
            continue;
        }
        const qsizetype Length = C.isHighSurrogate() && I + 1 < Size && Chars[I + 1].isLowSurrogate() ? 2 : 1;
        const double Width = Advance(QStringView(Chars + I, Length));
        if (C == u' ') {
            BreakAt = I;
            WordStart = I + 1;
            WordWidth = 0;
            WordHasChars = false;
            HasBreak = true;
        } else {
            WordWidth += Width;
            WordHasChars = true;
        }
        if (LineWidth + Width < Limit) {
            LineWidth += Width;
            LineHasChars = true;
        } else if (HasBreak) {
            // The line ends at its last blank; the word since then (an overflowing blank: nothing)
            // begins the next one.
            Emit(LineStart, BreakAt);
            LineStart = WordStart;
            LineWidth = WordWidth;
            LineHasChars = WordHasChars;
            HasBreak = false;
        } else if (!LineHasChars) {
            // A character wider than the whole line stands alone.
            LineWidth += Width;
            LineHasChars = true;
        } else {
            Emit(LineStart, I);
            LineStart = WordStart = I;
            LineWidth = WordWidth = Width;
            LineHasChars = WordHasChars = true;
        }
        I += Length;
    }
    if (LineHasChars) {
        Emit(LineStart, Size);
    }
}

} // namespace

void WrapText(const TTextWidthFunc& TextWidth, const QString& Text, int MaxWidth, QStringList& Lines)
{
    WrapBy([&TextWidth](QStringView Character) { return double(TextWidth(Character.toString())); }, Text,
           MaxWidth, Lines);
}

void WrapText(const QFont& Font, const QString& Text, int MaxWidth, QStringList& Lines)
{
    // Each character's width is asked of the font once: a table for the Latin, Greek and Cyrillic
    // letters that most texts are made of, a hash for the rest.
    const QFontMetricsF Metrics(Font);
    constexpr char32_t TableSize = 0x530;
    std::vector<double> Table(TableSize, -1.0);
    QHash<char32_t, double> Others;
    auto Advance = [&](QStringView Character) {
        const char32_t Code = Character.size() == 2 ? QChar::surrogateToUcs4(Character[0], Character[1])
                                                    : char32_t(Character[0].unicode());
        if (Code < TableSize) {
            double& Width = Table[Code];
            if (Width < 0) {
                Width = Metrics.horizontalAdvance(Character.toString());
            }
            return Width;
        }
        const auto Found = Others.constFind(Code);
        if (Found != Others.cend()) {
            return *Found;
        }
        return *Others.insert(Code, Metrics.horizontalAdvance(Character.toString()));
    };
    WrapBy(Advance, Text, MaxWidth, Lines);
}

QString StringsText(const QStringList& Lines)
{
    QString Result;
    for (const QString& Line : Lines) {
        Result += Line + QLatin1String("\r\n");
    }
    return Result;
}

int VisibleLineCountFor(int Height, int LineHeight)
{
    if (LineHeight <= 0) {
        return 0;
    }
    return std::max(0, Height / LineHeight);
}

TVeltraneText::TVeltraneText(QWidget* Parent, const QString& Name) : TLabel(Parent, Name)
{
    SetAutoSize(false);
    SetWordWrap(true);
    // The text is prose, not a caption with an accelerator: "&" is shown as it is.
    SetShowAccelChar(false);
    FScrollBar = new QScrollBar(Qt::Vertical, parentWidget());
    FScrollBar->setFocusPolicy(Qt::ClickFocus);
    FScrollBar->setSingleStep(1);
    FScrollBar->setPageStep(1);
    FScrollBar->hide();
    const int Extent = FScrollBar->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, FScrollBar);
    FScrollBar->resize(Extent > 0 ? Extent : 16, FScrollBar->height());
    connect(FScrollBar, &QAbstractSlider::actionTriggered, this, [this] { ScrollBarAction(); });
    PlaceScrollBar();
    WatchParent();
}

TVeltraneText::~TVeltraneText()
{
    if (FWatchedParent) {
        FWatchedParent->removeEventFilter(this);
    }
    // The scroll bar is the parent's child; it must not outlive the label it serves.
    delete FScrollBar.data();
}

void TVeltraneText::SetCaption(const QString& Value)
{
    FCaption = Value;
    Rewrap();
}

void TVeltraneText::Rewrap()
{
    FRewrapping = true;
    FTopLine = 0;
    const int ScrollWidth = FScrollBar ? FScrollBar->width() : 0;
    WrapText(font(), FCaption, Width() - ScrollWidth - 2, FLines);
    // The shown lines are FLines from FTopLine on; painting reads them there, so neither a new text
    // nor a scroll copies the lines.
    UpdateScrollBarVisible();
    if (ScrollBarShown()) {
        FScrollBar->setRange(0, std::max(0, int(FLines.size()) - VisibleLineCount() + 2));
        FScrollBar->setValue(0);
    }
    update();
    FRewrapping = false;
    AdjustAutoSize();
}

bool TVeltraneText::LoadFromFile(const QString& FileName)
{
    QFile File;
    if (!OpenDiscFile(File, FileName)) {
        return false;
    }
    const QByteArray Bytes = File.read(MaxTextFileSize);
    if (File.error() != QFileDevice::NoError) {
        return false;
    }
    // Lines end in CR LF, LF or CR, as the platform's string lists read them; the caption is those
    // lines, each followed by CR LF. One pass over runs of the text, without a list of lines.
    const QString Text = DecodeTextFile(Bytes, !File.atEnd());
    QString Joined;
    Joined.reserve(Text.size() + Text.size() / 16 + 2);
    qsizetype Start = 0;
    for (qsizetype I = 0; I < Text.size(); ++I) {
        const QChar C = Text.at(I);
        if (C == u'\r' || C == u'\n') {
            Joined.append(QStringView(Text).sliced(Start, I - Start)).append(u"\r\n");
            if (C == u'\r' && I + 1 < Text.size() && Text.at(I + 1) == u'\n') {
                ++I;
            }
            Start = I + 1;
        }
    }
    if (Start < Text.size()) {
        Joined.append(QStringView(Text).sliced(Start)).append(u"\r\n");
    }
    SetCaption(Joined);
    return true;
}

int TVeltraneText::LineHeight() const
{
    return QFontMetrics(font()).height();
}

int TVeltraneText::VisibleLineCount() const
{
    return VisibleLineCountFor(Height(), LineHeight());
}

void TVeltraneText::ScrollLines(int Delta)
{
    if (Delta < 1) {
        ScrollUp(Delta == std::numeric_limits<int>::min() ? std::numeric_limits<int>::max() : -Delta);
    } else {
        ScrollDown(Delta);
    }
}

void TVeltraneText::ScrollDown(int Count)
{
    // One line at a time while more than VisibleLineCount - 2 lines are shown (and any at all): the
    // last position leaves two empty line places under the last line.
    const qsizetype Shown = FLines.size() - FTopLine;
    const qsizetype Movable = Shown - std::max(VisibleLineCount() - 2, 0);
    if (Shown <= 0 || Movable <= 0 || Count <= 0) {
        return;
    }
    FTopLine += int(std::min<qsizetype>(Count, Movable));
    update();
}

void TVeltraneText::ScrollUp(int Count)
{
    if (FTopLine == 0 || Count <= 0) {
        return;
    }
    FTopLine -= std::min(Count, FTopLine);
    update();
}

void TVeltraneText::ScrollBarAction()
{
    if (FScrollBar) {
        ScrollLines(FScrollBar->sliderPosition() - FScrollBar->value());
    }
}

void TVeltraneText::SetCursor(int Value)
{
    if (Value != Cursor()) {
        TLabel::SetCursor(Value);
    }
}

void TVeltraneText::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    // A label not on screen gets its move and resize events only when shown, so the work is done here
    // rather than in them.
    const QRect Old = geometry();
    FSettingBounds = true;
    TLabel::SetBounds(ALeft, ATop, AWidth, AHeight);
    FSettingBounds = false;
    if (geometry() != Old) {
        GeometryChanged();
    }
}

void TVeltraneText::GeometryChanged()
{
    PlaceScrollBar();
    if (parentWidget() && !FRewrapping) {
        Rewrap();
    }
}

bool TVeltraneText::ScrollBarShown() const
{
    return FScrollBar && FScrollBar->parentWidget() && !FScrollBar->isHidden();
}

void TVeltraneText::PlaceScrollBar()
{
    if (!FScrollBar) {
        return;
    }
    FScrollBar->setGeometry(Left() + Width() - FScrollBar->width(), Top(), FScrollBar->width(), Height());
}

void TVeltraneText::StackScrollBar()
{
    // Above every painted control of the parent, as a windowed control stands over graphic ones:
    // whatever is laid over the text (a gallery, a picture) must not cover its scroll bar.
    if (!FScrollBar || FRestacking || !parentWidget() || FScrollBar->parentWidget() != parentWidget()) {
        return;
    }
    FRestacking = true;
    FScrollBar->raise();
    FRestacking = false;
}

void TVeltraneText::WatchParent()
{
    // Controls the parent gets later are stacked above the scroll bar when made: the parent's new
    // children are watched to lift it again.
    QWidget* Parent = parentWidget();
    if (FWatchedParent == Parent) {
        return;
    }
    if (FWatchedParent) {
        FWatchedParent->removeEventFilter(this);
    }
    FWatchedParent = Parent;
    if (Parent) {
        Parent->installEventFilter(this);
    }
}

bool TVeltraneText::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == FWatchedParent && Event->type() == QEvent::ChildAdded) {
        const QObject* Child = static_cast<QChildEvent*>(Event)->child();
        if (Child != FScrollBar && Child->isWidgetType()) {
            StackScrollBar();
        }
    }
    return TLabel::eventFilter(Watched, Event);
}

void TVeltraneText::UpdateScrollBarVisible()
{
    if (!FScrollBar) {
        return;
    }
    // A scroll bar without a parent would become a window of its own.
    const bool Show = FLines.size() > VisibleLineCount() && Visible() && FScrollBar->parentWidget();
    FScrollBar->setVisible(Show);
}

void TVeltraneText::Paint(QPainter& Painter)
{
    const int LH = LineHeight();
    if (LH <= 0) {
        return;
    }
    Painter.setFont(font());
    Painter.setPen(Enabled() ? ColorToRGB(Font()->Color()) : ColorToRGB(clGrayText));
    const qsizetype Shown = FLines.size() - FTopLine;
    if (Shown <= 0) {
        return;
    }
    const int Total = int(std::min<qsizetype>(Shown, Height() / LH + 1)) * LH;
    int Y = 0;
    if (Layout() == tlCenter) {
        Y = (Height() - Total) / 2;
    } else if (Layout() == tlBottom) {
        Y = Height() - Total;
    }
    const int Flags = (TextFlags() & Qt::AlignHorizontal_Mask) | Qt::AlignTop | Qt::TextSingleLine |
                      (ShowAccelChar() ? Qt::TextShowMnemonic : 0);
    for (qsizetype I = FTopLine; I < FLines.size() && Y < Height(); ++I) {
        if (Y + LH > 0) {
            Painter.drawText(QRect(0, Y, Width(), LH), Flags, FLines.at(I));
        }
        Y += LH;
    }
}

QSize TVeltraneText::AutoSizeExtent() const
{
    // The whole text, at the label's width.
    return {Width(), int(std::min<qsizetype>(FLines.size(), 100000)) * LineHeight()};
}

void TVeltraneText::FontChanged()
{
    TLabel::FontChanged();
    if (parentWidget()) {
        SetCaption(FCaption);
    }
}

void TVeltraneText::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && ScrollBarShown()) {
        FScrollBar->setFocus(Qt::MouseFocusReason);
    }
    TLabel::MouseDown(Button, Shift, X, Y);
}

bool TVeltraneText::event(QEvent* Event)
{
    switch (Event->type()) {
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        UpdateScrollBarVisible();
        break;
    case QEvent::Move:
    case QEvent::Resize: {
        const bool Result = TLabel::event(Event);
        if (!FSettingBounds) {
            GeometryChanged();
        }
        return Result;
    }
    case QEvent::ParentChange:
        if (FScrollBar) {
            FScrollBar->setParent(parentWidget());
            PlaceScrollBar();
            StackScrollBar();
            UpdateScrollBarVisible();
        }
        WatchParent();
        break;
    case QEvent::ZOrderChange:
        StackScrollBar();
        break;
    case QEvent::CursorChange:
        if (FScrollBar) {
            FScrollBar->setCursor(cursor());
        }
        break;
    default:
        break;
    }
    return TLabel::event(Event);
}

void TVeltraneText::wheelEvent(QWheelEvent* Event)
{
    const QPoint Angle = Event->angleDelta();
    const bool Vertical = Angle.y() != 0 || Angle.x() == 0;
    if (Vertical && ScrollBarShown()) {
        const int D = Angle.y() <= 0 ? 1 : -1;
        FScrollBar->setValue(FScrollBar->value() + D);
        ScrollLines(D);
        Event->accept();
        return;
    }
    TLabel::wheelEvent(Event);
}
