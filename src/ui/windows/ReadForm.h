#pragma once

#include "Form.h"
#include "WindowDrag.h"

#include <QString>

class TImage;
class TLabel;
class TMainF;
class TRichEdit;
class TVeltraneBtn;
class TVeltraneImage;

// The reader: a text document of the disc, plain or rich text, in a read-only view inside a skinned
// captionless window dressed like the main window (its title bar picture and icon, whose menu acts
// on the main window). Created once and shown modally for each document; Escape, F10, Ctrl+X and the
// close button end a display.
class TReadF : public TForm
{
    Q_OBJECT

public:
    // MainF lends the title bar picture, the icon and the icon's menu; null: a bare title bar.
    explicit TReadF(TMainF* MainF = nullptr, QWidget* Parent = nullptr);

    TVeltraneImage* TopImg = nullptr;
    TImage* IcoImg = nullptr;

    TRichEdit* TextView() const { return FTextView; }
    TVeltraneBtn* CloseBtn() const { return FCloseBtn; }
    // Shown beside the close button while the document is cut at the view's limits.
    TLabel* CutNote() const { return FCutNote; }

    // The document FileName (a file-system path) into the view: a file that starts as rich text keeps
    // its formatting, any other is plain text, each in the view's own style to begin with. A file
    // beyond the view's limits (TControlStrings::MaxFileSize, MaxLines) shows its beginning, and
    // CutNote says that the rest is not shown. False, with the view emptied and Error saying why,
    // when the file cannot be read.
    bool LoadDocument(const QString& FileName, QString* Error = nullptr);
    // Loads FileName and shows the reader modally; a file that cannot be read is reported in a
    // message instead.
    void ShowDocument(const QString& FileName);

protected:
    void FormShow() override;

private:
    void FormCreate(TMainF* MainF);
    void FormKeyDown(QObject* Sender, quint16& Key, TShiftState Shift);

    TRichEdit* FTextView = nullptr;
    TVeltraneBtn* FCloseBtn = nullptr;
    TLabel* FCutNote = nullptr;
    TWindowDrag FDrag;
};
