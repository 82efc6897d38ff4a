#include "Memo.h"

#include <QPointer>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFormat>

#include <algorithm>

void TMemoLines::LoadFromBytes(QByteArrayView Bytes)
{
    FOwner.LoadBytes(Bytes);
}

void TMemoLines::LoadLines(const QStringList& Lines, bool Truncated)
{
    ReplaceAll(Lines);
    SetTruncated(Truncated);
}

TCustomMemo::TCustomMemo(QWidget* Parent, const QString& Name) : TWrappedControl(Parent, Name)
{
    FLines = std::make_unique<TMemoLines>(*this);
    FLines->OnChange = [this] {
        if (!FSyncing) {
            EditorFromLines();
            Changed();
        }
    };
    FEditor = new QTextEdit(this);
    FEditor->setAcceptRichText(false);
    FEditor->setLineWrapMode(QTextEdit::WidgetWidth);
    FEditor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FEditor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(FEditor, &QTextEdit::textChanged, this, [this] {
        if (!FSyncing) {
            LinesFromEditor();
            Changed();
        }
    });
    SetInnerWidget(FEditor);
    SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo()
{
    FLines->OnChange = nullptr;
}

TControlStrings& TCustomMemo::Lines()
{
    return *FLines;
}

QString TCustomMemo::Text() const
{
    return FLines->ToStringList().join(QStringLiteral("\r\n"));
}

void TCustomMemo::SetText(const QString& Value)
{
    FLines->SetText(Value);
}

void TCustomMemo::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    FEditor->setReadOnly(Value);
    if (Value) {
        // Read-only text can still be selected and scrolled from the keyboard.
        FEditor->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
}

void TCustomMemo::SetWordWrap(bool Value)
{
    FWordWrap = Value;
    FEditor->setLineWrapMode(Value ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

void TCustomMemo::SetScrollBars(TScrollStyle Value)
{
    FScrollBars = Value;
    const bool Horizontal = Value == ssHorizontal || Value == ssBoth;
    const bool Vertical = Value == ssVertical || Value == ssBoth;
    FEditor->setHorizontalScrollBarPolicy(Horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    FEditor->setVerticalScrollBarPolicy(Vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

int TCustomMemo::SelStart() const
{
    return FEditor->textCursor().position();
}

void TCustomMemo::SetSelStart(int Value)
{
    QTextCursor Cursor = FEditor->textCursor();
    const int Last = std::max(0, FEditor->document()->characterCount() - 1);
    Cursor.setPosition(std::clamp(Value, 0, Last));
    FEditor->setTextCursor(Cursor);
    FEditor->ensureCursorVisible();
    if (Cursor.position() == 0) {
        FEditor->verticalScrollBar()->setValue(FEditor->verticalScrollBar()->minimum());
        FEditor->horizontalScrollBar()->setValue(FEditor->horizontalScrollBar()->minimum());
    }
}

void TCustomMemo::LoadBytes(QByteArrayView Bytes)
{
    FLines->LoadPlainBytes(Bytes);
}

QTextDocument* TCustomMemo::NewDocument() const
{
    const QTextDocument* Shown = FEditor->document();
    auto* Document = new QTextDocument(FEditor);
    Document->setDefaultFont(Shown->defaultFont());
    Document->setDocumentMargin(Shown->documentMargin());
    Document->setUndoRedoEnabled(false);
    return Document;
}

void TCustomMemo::ShowDocument(QTextDocument* Document)
{
    const QPointer<QTextDocument> Old = FEditor->document();
    const bool Undo = Old->isUndoRedoEnabled();
    const bool WasSyncing = FSyncing;
    FSyncing = true;
    FEditor->setDocument(Document);
    // Typing starts in the view's own style, not in the one the caret stood in before.
    FEditor->setCurrentCharFormat(QTextCharFormat());
    FSyncing = WasSyncing;
    Document->setUndoRedoEnabled(Undo);
    if (Old && Old->parent() == FEditor) {
        delete Old.data();
    }
}

void TCustomMemo::LinesFromEditor()
{
    bool Cut = false;
    const QStringList Lines = TControlStrings::SplitLines(FEditor->toPlainText(), &Cut);
    FSyncing = true;
    FLines->LoadLines(Lines, Cut);
    FSyncing = false;
}

void TCustomMemo::EditorFromLines()
{
    // A new document, so that the text starts in the view's own style: the editor's plain-text
    // load takes the character format the caret stood in, which a rich text leaves behind.
    QTextDocument* Document = NewDocument();
    Document->setPlainText(FLines->ToStringList().join(u'\n'));
    ShowDocument(Document);
}

void TCustomMemo::Changed()
{
    if (OnChange) {
        OnChange(this);
    }
}

TMemo::TMemo(QWidget* Parent, const QString& Name) : TCustomMemo(Parent, Name) {}
