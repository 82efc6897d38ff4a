#include "ReadForm.h"

#include "Image.h"
#include "Keys.h"
#include "Label.h"
#include "MainForm.h"
#include "MessageService.h"
#include "RichEdit.h"
#include "SystemLanguage.h"
#include "VeltraneBtn.h"
#include "VeltraneImage.h"
#include "config/DesignSettings.h"
#include "lang/LangStrs.h"
#include "text/LoadMessages.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

using namespace Qt::StringLiterals;

TReadF::TReadF(TMainF* MainF, QWidget* Parent) : TForm(Parent, u"ReadF"_s)
{
    // A thin border and no caption bar.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    SetClientWidth(430);
    SetClientHeight(287);
    SetKeyPreview(true);
    OnKeyDown = [this](QObject* Sender, quint16& Key, TShiftState Shift) { FormKeyDown(Sender, Key, Shift); };

    TopImg = new TVeltraneImage(this, u"TopImg"_s);
    TopImg->SetAlign(alTop);
    TopImg->SetHeight(25);
    TopImg->SetTransparent(true);
    FDrag.Attach(TopImg, this);

    IcoImg = new TImage(this, u"IcoImg"_s);
    IcoImg->SetBounds(2, 0, 22, 22);
    IcoImg->SetStretch(true);
    IcoImg->SetTransparent(true);

    FormCreate(MainF);
}

void TReadF::FormCreate(TMainF* MainF)
{
    QRect Screen(0, 0, 800, 600);
    if (const QScreen* Primary = QGuiApplication::primaryScreen()) {
        Screen = Primary->geometry();
    }
    SetWidth(qRound(Screen.width() * 0.7));
    SetHeight(qRound(Screen.height() * 0.7));
    move(Screen.x() + (Screen.width() - Width()) / 2, Screen.y() + (Screen.height() - Height()) / 2);
    SetColor(qint32(DesignSettings.Colors.Windows));

    TopImg->SetWidth(ClientWidth());
    if (MainF) {
        TopImg->AssignPicture(MainF->TopImg->Picture());
        IcoImg->Picture().Assign(MainF->IcoImg->Picture());
        // The icon's menu acts on the main window, as the main window's own icon does.
        IcoImg->OnMouseDown = MainF->IcoImg->OnMouseDown;
    }
    IcoImg->BringToFront();

    FTextView = new TRichEdit(this, u"TextView"_s);
    FTextView->SetBounds(6, TopImg->Top() + TopImg->Height() + 10, ClientWidth() - 12, ClientHeight() - 80);
    FTextView->SetReadOnly(true);
    FTextView->SetScrollBars(TRichEdit::ssVertical);
    FTextView->SetColor(qint32(DesignSettings.Colors.Text));

    FCloseBtn = new TVeltraneBtn(this, u"CloseBtn"_s);
    FCloseBtn->SetFormCloser(true);

    // Beside the close button, where it is seen without scrolling to the end of the text.
    FCutNote = new TLabel(this, u"CutNote"_s);
    FCutNote->SetAutoSize(false);
    FCutNote->SetWordWrap(true);
    FCutNote->SetShowAccelChar(false);
    FCutNote->SetLayout(TLabel::tlCenter);
    FCutNote->SetTransparent(true);
    FCutNote->SetVisible(false);
}

bool TReadF::LoadDocument(const QString& FileName, QString* Error)
{
    TControlStrings& Lines = FTextView->Lines();
    FCutNote->SetVisible(false);
    QString Reason;
    if (Lines.LoadFromFile(FileName, &Reason)) {
        return true;
    }
    if (Lines.Truncated()) {
        FCutNote->SetCaption(TextForLanguage(
            GetSystemDefaultLangID(),
            u"The rest of this document is not shown: the reader shows at most the first 16 MB "
            u"and 500,000 lines of a document."_s,
            u"Остальная часть документа не показана: программа показывает не более первых 16 МБ "
            u"и 500 000 строк документа."_s));
        FCutNote->SetVisible(true);
        return true;
    }
    Lines.Clear();
    if (Error) {
        *Error = Reason;
    }
    return false;
}

void TReadF::ShowDocument(const QString& FileName)
{
    if (QString Reason; !LoadDocument(FileName, &Reason)) {
        const QString Shown = QDir::toNativeSeparators(FileName);
        Messages().MessageBox(TextForLanguage(GetSystemDefaultLangID(),
                                              u"Cannot read the document %1:\n%2"_s.arg(Shown, Reason),
                                              u"Не удалось прочитать документ %1:\n%2"_s.arg(Shown, Reason)),
                              ProductName.toString(), mbErrorFlags);
        return;
    }
    ShowModal();
}

void TReadF::FormShow()
{
    // Every display starts at the top of the document.
    FTextView->SetSelStart(0);
    FCloseBtn->SetBounds(FTextView->Left() + FTextView->Width() - 100,
                         FTextView->Top() + FTextView->Height() + 10, 100, 32);
    FCloseBtn->SetCaption(strReaderClose);
    FCutNote->SetBounds(FTextView->Left(), FCloseBtn->Top(),
                        std::max(0, FCloseBtn->Left() - 10 - FTextView->Left()), FCloseBtn->Height());
}

void TReadF::FormKeyDown(QObject* Sender, quint16& Key, TShiftState Shift)
{
    Q_UNUSED(Sender);
    if (Key == VK_ESCAPE || Key == VK_F10 || (Key == quint16('X') && Shift.testFlag(ssCtrl))) {
        Close();
    }
}
