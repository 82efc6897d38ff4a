#include "ReadForm.h"

#include "Image.h"
#include "Keys.h"
#include "MainForm.h"
#include "RichEdit.h"
#include "VeltraneBtn.h"
#include "VeltraneImage.h"
#include "config/DesignSettings.h"
#include "lang/LangStrs.h"

#include <QGuiApplication>
#include <QScreen>

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
}

bool TReadF::LoadDocument(const QString& FileName)
{
    if (FTextView->Lines().LoadFromFile(FileName)) {
        return true;
    }
    FTextView->Lines().Clear();
    return false;
}

void TReadF::FormShow()
{
    // Every display starts at the top of the document.
    FTextView->SetSelStart(0);
    FCloseBtn->SetBounds(FTextView->Left() + FTextView->Width() - 100,
                         FTextView->Top() + FTextView->Height() + 10, 100, 32);
    FCloseBtn->SetCaption(strReaderClose);
}

void TReadF::FormKeyDown(QObject* Sender, quint16& Key, TShiftState Shift)
{
    Q_UNUSED(Sender);
    if (Key == VK_ESCAPE || Key == VK_F10 || (Key == quint16('X') && Shift.testFlag(ssCtrl))) {
        Close();
    }
}
