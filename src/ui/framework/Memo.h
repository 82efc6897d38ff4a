#pragma once

#include "ControlStrings.h"
#include "WrappedControl.h"

#include <memory>

class QTextDocument;
class QTextEdit;
class TCustomMemo;

// The lines of a text control; loading a file hands its bytes to the control.
class TMemoLines : public TControlStrings
{
public:
    explicit TMemoLines(TCustomMemo& Owner) : FOwner(Owner) {}
    void LoadFromBytes(QByteArrayView Bytes) override;
    // Replaces the lines as a load does.
    void LoadLines(const QStringList& Lines, bool Truncated);
    // Reads the bytes as text (the plain load).
    void LoadPlainBytes(QByteArrayView Bytes) { TControlStrings::LoadFromBytes(Bytes); }

private:
    TCustomMemo& FOwner;
};

// A multi-line text field whose text is also its Lines. OnChange follows every change of the text.
class TCustomMemo : public TWrappedControl
{
    Q_OBJECT
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(TScrollStyle ScrollBars READ ScrollBars WRITE SetScrollBars)

public:
    enum TScrollStyle
    {
        ssNone,
        ssHorizontal,
        ssVertical,
        ssBoth
    };
    Q_ENUM(TScrollStyle)

    ~TCustomMemo() override;

    TControlStrings& Lines();
    // The lines joined by CR LF.
    QString Text() const;
    void SetText(const QString& Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // The scroll bars shown whether or not the text needs them.
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    // The caret position in characters; setting it also scrolls the caret into view (0: the top).
    int SelStart() const;
    void SetSelStart(int Value);
    QTextEdit* TextEdit() const { return FEditor; }

    TNotifyEvent OnChange;

protected:
    TCustomMemo(QWidget* Parent, const QString& Name);
    // Takes the bytes of a file loaded into Lines; plain text here.
    virtual void LoadBytes(QByteArrayView Bytes);
    // Runs Fill on a new document, shows it, then takes the lines from it. A document the editor
    // shows is laid out again after every insertion (minutes for a large rich text); a new one is
    // laid out once shown, from its first page on.
    template <class F> void FillDocument(F Fill)
    {
        QTextDocument* Document = NewDocument();
        Fill(*Document);
        ShowDocument(Document);
        LinesFromEditor();
        Changed();
    }

private:
    friend class TMemoLines;
    // An empty document in the editor's default font and margin, not yet shown.
    QTextDocument* NewDocument() const;
    // Shows Document in place of the editor's, which is deleted when it was ours.
    void ShowDocument(QTextDocument* Document);
    void LinesFromEditor();
    void EditorFromLines();
    void Changed();

    QTextEdit* FEditor = nullptr;
    std::unique_ptr<TMemoLines> FLines;
    bool FReadOnly = false;
    bool FWordWrap = true;
    TScrollStyle FScrollBars = ssNone;
    bool FSyncing = false;
};

// A plain multi-line text field.
class TMemo : public TCustomMemo
{
    Q_OBJECT

public:
    explicit TMemo(QWidget* Parent = nullptr, const QString& Name = {});
};
