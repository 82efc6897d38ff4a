#pragma once

#include "Label.h"

#include <QPointer>
#include <QScrollBar>
#include <QString>
#include <QStringList>

#include <functional>

class QFont;

// The width of a text in pixels, as the canvas would draw it.
using TTextWidthFunc = std::function<int(const QString& Text)>;

// Breaks Text into Lines (cleared first) no wider than MaxWidth. A carriage return ends a line (an
// empty one too); line feeds are ignored; a line breaks at its last blank before the character that
// would overflow, and that blank is dropped. A word wider than MaxWidth on its own is broken at the
// last character that fits. A line's width is the sum of its characters' widths, as the platform's
// text extent adds them up: each character is measured once, so the time is linear in the text's
// length. TextWidth is asked for one character (or surrogate pair) at a time.
void WrapText(const TTextWidthFunc& TextWidth, const QString& Text, int MaxWidth, QStringList& Lines);
// The same, measured with a font.
void WrapText(const QFont& Font, const QString& Text, int MaxWidth, QStringList& Lines);

// The text of a list of lines: every line followed by a carriage return and a line feed.
QString StringsText(const QStringList& Lines);

// How many whole lines of LineHeight fit into Height; never below 0.
int VisibleLineCountFor(int Height, int LineHeight);

// The description field: a word-wrapped text in a fixed rectangle, scrolled line by line with a vertical
// scroll bar of its own (a sibling along the right edge, above every other sibling, shown only when the
// text does not fit) or the mouse wheel. Caption is the full text; the label shows the wrapped lines
// from TopLine on.
class TVeltraneText : public TLabel
{
    Q_OBJECT
    // Redeclared: Caption is the full text, and Cursor also applies to the scroll bar.
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Cursor READ Cursor WRITE SetCursor)

public:
    explicit TVeltraneText(QWidget* Parent = nullptr, const QString& Name = {});
    ~TVeltraneText() override;

    // The full text as given, before wrapping.
    QString Caption() const { return FCaption; }
    // Stores the text, rewraps it to the label's width and shows it from the first line.
    void SetCaption(const QString& Value) override;
    // What the label shows: the visible lines, each followed by CR LF.
    QString DisplayedCaption() const { return StringsText(VisibleLines()); }
    // Reads a text file (Windows-1251, or UTF-8/UTF-16LE after a byte-order mark; at most
    // MaxTextFileSize bytes) and makes its lines the caption. False, with the caption left alone, when
    // the file cannot be read.
    bool LoadFromFile(const QString& FileName);
    static constexpr qint64 MaxTextFileSize = 16 * 1024 * 1024;

    // Whole lines that fit into the label's height.
    int VisibleLineCount() const;
    // The height of one line in the label's font.
    int LineHeight() const;
    // Below 1: up by -Delta lines; otherwise down by Delta lines.
    void ScrollLines(int Delta);

    void SetCursor(int Value);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    QScrollBar* ScrollBar() const { return FScrollBar; }
    const QStringList& Lines() const { return FLines; }
    // The lines from TopLine on: what the label shows.
    QStringList VisibleLines() const { return FLines.mid(FTopLine); }
    int TopLine() const { return FTopLine; }

protected:
    void Paint(QPainter& Painter) override;
    QSize AutoSizeExtent() const override;
    void FontChanged() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool event(QEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;

private:
    void Rewrap();
    void GeometryChanged();
    void PlaceScrollBar();
    void StackScrollBar();
    void WatchParent();
    void UpdateScrollBarVisible();
    bool ScrollBarShown() const;
    void ScrollDown(int Count);
    void ScrollUp(int Count);
    void ScrollBarAction();

    QString FCaption;
    QPointer<QScrollBar> FScrollBar;
    QPointer<QWidget> FWatchedParent;
    QStringList FLines;
    int FTopLine = 0;
    bool FRewrapping = false;
    bool FRestacking = false;
    bool FSettingBounds = false;
};
