// The main window under real input, in a private X server: xdotool moves, clicks and turns the mouse
// at the shown window, and the test checks which control the input reached. An empty screenshot
// gallery left over the text area must not take the text's wheel, scroll bar or popup; a skin without
// a toolbar picture must leave every button clickable; hovering the text buttons must not thicken
// their captions. Off the X server (the offscreen platform) every case skips.

#include "MainFormFixture.h"

#include "CategoryChooser.h"
#include "PopupMenu.h"
#include "Thumbnails.h"
#include "VeltraneImage.h"
#include "VeltraneText.h"

#include <QGuiApplication>
#include <QMenu>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

bool XDo(const QStringList& Arguments)
{
    QProcess P;
    P.start(u"xdotool"_s, Arguments);
    return P.waitForFinished(10000) && P.exitStatus() == QProcess::NormalExit && P.exitCode() == 0;
}

// Moves the pointer to At in Control's coordinates.
bool MoveTo(const QWidget* Control, QPoint At)
{
    const QPoint G = Control->mapToGlobal(At);
    return XDo({u"mousemove"_s, QString::number(G.x()), QString::number(G.y())});
}

// Moves the pointer to At in Control's coordinates and presses and releases Button there: 1 left,
// 3 right, 4 and 5 the wheel turned away from and towards the user.
bool ClickAt(const QWidget* Control, QPoint At, int Button = 1)
{
    const QPoint G = Control->mapToGlobal(At);
    // No waiting for the move (the pointer may be there already): the server takes the move and the
    // press in order.
    return XDo({u"mousemove"_s, QString::number(G.x()), QString::number(G.y()), u"click"_s,
                QString::number(Button)});
}

QImage Shown(const TVeltraneImage* Button)
{
    return Button->Picture().BitmapImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestMainInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void textAreaUnderEmptyGallery();
    void buttonsWithoutToolbarPicture();
    void hoveringKeepsCaptions();
};

void TestMainInput::initTestCase()
{
    if (QGuiApplication::platformName() != u"xcb"_s) {
        QSKIP("needs a real X server (windows_tst_maininput_xvfb)");
    }
    if (QStandardPaths::findExecutable(u"xdotool"_s).isEmpty()) {
        QSKIP("xdotool is not installed");
    }
}

void TestMainInput::textAreaUnderEmptyGallery()
{
    TMainFixture Fx;
    Fx.WriteButtons();
    TVeltraneProject P;
    TSection& S = AddSection(P, u"Programs"_s);
    TItem& Shots = AddItem(S, u"Shots"_s, u"Short text"_s);
    AddScreenshots(Shots.Screenshots, {u"Shots\\a.bmp"_s, u"Shots\\b.bmp"_s});
    QStringList Lines;
    for (int I = 1; I <= 80; ++I) {
        Lines << u"Line %1 of a long description"_s.arg(I);
    }
    AddItem(S, u"Long"_s, Lines.join(u"\r\n"_s));
    Fx.SaveProject(P);
    Fx.WriteImage(u"Shots/a.bmp"_s, QSize(40, 30), Qt::darkCyan);
    Fx.WriteImage(u"Shots/b.bmp"_s, QSize(40, 30), Qt::darkCyan);
    auto F = Fx.Create();
    int Popups = 0;
    F->PMenu->OnPopup = [&Popups](QObject*) { ++Popups; };
    F->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.get()));

    // The Screenshots tab on an item with screenshots, then an item with a long text and none: the
    // gallery is left empty where the text is.
    Select(*F, FindNode(*F, u"Shots"_s));
    F->Tabs->SetSelectedCat(1);
    QCOMPARE(F->ScreenshotsGallery->Previews().Count(), 2);
    Select(*F, FindNode(*F, u"Long"_s));
    QVERIFY(F->TextField->Visible());
    QCOMPARE(F->ScreenshotsGallery->Previews().Count(), 0);
    QScrollBar* Bar = F->TextField->ScrollBar();
    QVERIFY(Bar->isVisible());
    QCOMPARE(F->TextField->TopLine(), 0);

    // The wheel over the text scrolls it by a line.
    const QPoint Middle(F->TextField->Width() / 3, F->TextField->Height() / 2);
    QVERIFY(ClickAt(F->TextField, Middle, 5));
    QTRY_COMPARE(F->TextField->TopLine(), 1);
    QVERIFY(ClickAt(F->TextField, Middle, 4));
    QTRY_COMPARE(F->TextField->TopLine(), 0);
    // A press on the lower part of the text's scroll bar scrolls down.
    QVERIFY(ClickAt(Bar, QPoint(Bar->width() / 2, Bar->height() - 2 * Bar->width())));
    QTRY_VERIFY(F->TextField->TopLine() > 0);
    // The right button opens the Copy popup.
    QVERIFY(ClickAt(F->TextField, Middle, 3));
    QTRY_COMPARE(Popups, 1);
    F->PMenu->Menu()->hide();
}

void TestMainInput::buttonsWithoutToolbarPicture()
{
    TMainFixture Fx;
    Fx.WriteButtons();
    auto F = Fx.Create();
    QList<QObject*> Clicked;
    const QList<TVeltraneImage*> Buttons{F->Btn2, F->Btn3, F->Btn4, F->Btn5,
                                         F->Btn6, F->Btn7, F->Btn8, F->Btn10};
    for (TVeltraneImage* B : Buttons) {
        B->SetEnabled(true);
        B->OnClick = [&Clicked](QObject* Sender) { Clicked.append(Sender); };
    }
    F->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.get()));
    // Each button takes a click anywhere on it: in its top row, in its middle and in its bottom row.
    for (TVeltraneImage* B : Buttons) {
        QVERIFY2(B->isVisible(), qPrintable(B->Name()));
        for (const QPoint At : {QPoint(B->Width() / 2, 0), QPoint(B->Width() / 2, B->Height() / 2),
                                QPoint(3, B->Height() - 1)}) {
            Clicked.clear();
            QVERIFY(ClickAt(B, At));
            QTRY_COMPARE_WITH_TIMEOUT(Clicked.size(), 1, 2000);
            QVERIFY2(Clicked.first() == B, qPrintable(B->Name()));
        }
    }
}

void TestMainInput::hoveringKeepsCaptions()
{
    TMainFixture Fx;
    Fx.WriteButtons();
    Fx.WriteImage(u"Shell/Images/toolbar.bmp"_s, QSize(433, 40), QColor(0x40, 0x40, 0xC0));
    DesignSettings.Buttons.OptionsBtn_TxtColor = 0xFFFFFF;
    DesignSettings.Buttons.OptionsBtn_OnFocusTxtColor = 0x00FFFF;
    DesignSettings.Buttons.ExitBtn_TxtColor = 0xFFFFFF;
    DesignSettings.Buttons.ExitBtn_OnFocusTxtColor = 0x00FFFF;
    auto F = Fx.Create();
    F->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.get()));
    const QPoint Away(F->ProjectTree->Width() / 2, F->ProjectTree->Height() - 5);
    QVERIFY(MoveTo(F->ProjectTree, Away));
    for (TVeltraneImage* B : {F->Btn2, F->Btn3}) {
        const QImage Before = Shown(B);
        for (int I = 0; I < 12; ++I) {
            QVERIFY(MoveTo(B, QPoint(B->Width() / 2, B->Height() / 2)));
            QTRY_VERIFY(Shown(B) != Before);
            QVERIFY(MoveTo(F->ProjectTree, Away));
            QTRY_COMPARE_WITH_TIMEOUT(Shown(B), Before, 2000);
        }
    }
}

QTEST_MAIN(TestMainInput)
#include "tst_maininput.moc"
