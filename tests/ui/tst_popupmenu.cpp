// The popup menu: entries, their click events, popping up at a screen position.

#include "PopupMenu.h"

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestPopupMenu : public QObject
{
    Q_OBJECT

private slots:
    void entriesRunTheirClick();
    void popupShowsAtPosition();
    void menuGoesWithItsWindow();
};

void TestPopupMenu::entriesRunTheirClick()
{
    TPopupMenu Menu(nullptr, u"PMenu"_s);
    auto* Copy = new TMenuItem(nullptr, u"CopyItem"_s);
    Copy->SetCaption(u"&Copy"_s);
    QStringList Clicks;
    Copy->OnClick = [&Clicks](QObject* Sender) { Clicks << Sender->objectName(); };
    Menu.Add(Copy);
    Menu.Add(Copy); // once only
    QCOMPARE(Menu.Count(), 1);
    QCOMPARE(Menu.Items(0), Copy);
    QCOMPARE(Menu.Items(1), nullptr);
    QCOMPARE(Copy->parent(), &Menu);
    QCOMPARE(Menu.Menu()->actions(), QList<QAction*>({Copy->Action()}));
    QCOMPARE(Copy->Action()->text(), u"&Copy"_s);

    Copy->Click();
    QCOMPARE(Clicks, QStringList({u"CopyItem"_s}));
    Copy->SetEnabled(false);
    Copy->Click();
    QCOMPARE(Clicks.size(), 1);
    Copy->SetEnabled(true);
    Copy->Action()->trigger(); // chosen in the menu
    QCOMPARE(Clicks.size(), 2);
}

void TestPopupMenu::popupShowsAtPosition()
{
    QWidget Window;
    Window.resize(100, 100);
    TPopupMenu Menu(&Window);
    auto* Item = new TMenuItem;
    Item->SetCaption(u"Entry"_s);
    Menu.Add(Item);
    int Popups = 0;
    Menu.OnPopup = [&Popups](QObject*) { ++Popups; };
    QVERIFY(!Menu.Showing());
    Menu.Popup(30, 40);
    QCOMPARE(Popups, 1);
    QVERIFY(Menu.Showing());
    QCOMPARE(Menu.Menu()->pos(), QPoint(30, 40));
    Menu.Menu()->close();
    QVERIFY(!Menu.Showing());
}

void TestPopupMenu::menuGoesWithItsWindow()
{
    // The window frees its child menu first; the popup menu must not free it again.
    auto* Window = new QWidget;
    auto* Menu = new TPopupMenu(Window);
    Q_UNUSED(Menu);
    delete Window;
    TPopupMenu Alone;
    QVERIFY(Alone.Menu());
}

QTEST_MAIN(TestPopupMenu)
#include "tst_popupmenu.moc"
