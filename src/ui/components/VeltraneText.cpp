#include "VeltraneText.h"

#include "Colors.h"
#include "config/IniFile.h"
#include "text/CodePage.h"
#include "text/Paths.h"

#include <QEvent>
#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <limits>

void WrapText(const TTextWidthFunc& TextWidth, const QString& Text, int MaxWidth, QStringList& Lines)
{
    Lines.clear();
    QString Line;
    QString AtSpace;
    QString Word;
    // Whether Line holds a blank to break at; without one an overflowing word is cut where it overflows
    // instead of repeating the last break.
    bool HasBreak = false;
    for (const QChar C : Text) {
        if (C == u'\n') {
            continue;
        }
        if (C == u'\r') {
            Lines.append(Line);
            AtSpace.clear();
            Line.clear();
            Word.clear();
            HasBreak = false;
            continue;
        }
        if (C == u' ') {
            AtSpace = Line;
            Word.clear();
            HasBreak = true;
        } else {
            Word.append(C);
        }
        QString Candidate = Line + C;
        if (TextWidth(Candidate) <= MaxWidth) {
            Line = std::move(Candidate);
        } else if (HasBreak) {
            Lines.append(AtSpace);
            Line = Word;
            HasBreak = false;
        } else if (Line.isEmpty()) {
            // A character wider than the whole line stands alone.
            Line = std::move(Candidate);
        } else {
            Lines.append(Line);
            Line = QString(C);
            Word = Line;
        }
    }
    if (!Line.isEmpty()) {
        Lines.append(Line);
    }
}

void WrapText(const QFontMetrics& Canvas, const QString& Text, int MaxWidth, QStringList& Lines)
{
    WrapText([&Canvas](const QString& S) { return Canvas.horizontalAdvance(S); }, Text, MaxWidth, Lines);
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
}

TVeltraneText::~TVeltraneText()
{
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
    WrapText(QFontMetrics(font()), FCaption, Width() - ScrollWidth - 2, FLines);
    FVisibleLines = FLines;
    TLabel::SetCaption(StringsText(FLines));
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
    QFile File(NativePath(FileName));
    if (!File.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray Bytes = File.read(MaxTextFileSize);
    if (File.error() != QFileDevice::NoError) {
        return false;
    }
    // Lines end in CR LF, LF or CR, as the platform's string lists read them.
    QString Text = DecodeTextFile(Bytes, !File.atEnd());
    QStringList FileLines;
    qsizetype Start = 0;
    for (qsizetype I = 0; I < Text.size(); ++I) {
        const QChar C = Text.at(I);
        if (C == u'\r' || C == u'\n') {
            FileLines.append(Text.mid(Start, I - Start));
            if (C == u'\r' && I + 1 < Text.size() && Text.at(I + 1) == u'\n') {
                ++I;
            }
            Start = I + 1;
        }
    }
    if (Start < Text.size()) {
        FileLines.append(Text.mid(Start));
    }
    SetCaption(StringsText(FileLines));
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
    if (FVisibleLines.isEmpty()) {
        return;
    }
    const int Limit = VisibleLineCount() - 2;
    // Also stops at an empty list: a label lower than two lines would otherwise run out of lines.
    for (int I = 0; I < Count && FVisibleLines.size() > Limit && !FVisibleLines.isEmpty(); ++I) {
        FVisibleLines.removeFirst();
        ++FTopLine;
    }
    ShowVisibleLines();
}

void TVeltraneText::ScrollUp(int Count)
{
    if (FTopLine == 0) {
        return;
    }
    for (int I = 0; I < Count && FTopLine > 0; ++I) {
        if (FTopLine > FLines.size()) {
            break;
        }
        FVisibleLines.prepend(FLines.at(FTopLine - 1));
        --FTopLine;
    }
    ShowVisibleLines();
}

void TVeltraneText::ShowVisibleLines()
{
    TLabel::SetCaption(StringsText(FVisibleLines));
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
    // Directly above the label, as a windowed control stands over a graphic one.
    if (!FScrollBar || FRestacking || !parentWidget() || FScrollBar->parentWidget() != parentWidget()) {
        return;
    }
    FRestacking = true;
    FScrollBar->stackUnder(this);
    stackUnder(FScrollBar);
    FRestacking = false;
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
    if (LH <= 0 || FVisibleLines.isEmpty()) {
        return;
    }
    Painter.setFont(font());
    Painter.setPen(Enabled() ? ColorToRGB(Font()->Color()) : ColorToRGB(clGrayText));
    const int Total = int(std::min<qsizetype>(FVisibleLines.size(), Height() / LH + 1)) * LH;
    int Y = 0;
    if (Layout() == tlCenter) {
        Y = (Height() - Total) / 2;
    } else if (Layout() == tlBottom) {
        Y = Height() - Total;
    }
    const int Flags = (TextFlags() & Qt::AlignHorizontal_Mask) | Qt::AlignTop | Qt::TextSingleLine |
                      (ShowAccelChar() ? Qt::TextShowMnemonic : 0);
    for (const QString& Line : FVisibleLines) {
        if (Y >= Height()) {
            break;
        }
        if (Y + LH > 0) {
            Painter.drawText(QRect(0, Y, Width(), LH), Flags, Line);
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
