// The action chooser: entry texts, filling at show, running the chosen action, entry heights and
// icons, the height limit and closing.

#include "ListBox.h"
#include "ListForm.h"
#include "Panel.h"
#include "VeltraneBtn.h"
#include "config/DesignSettings.h"
#include "config/ProgramPaths.h"
#include "lang/LangStrs.h"
#include "model/Project.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

TItemAction& AddAction(TItem& Item, const QString& Description, const QString& StepName = {},
                       const QString& OpenObject = {}, TShlActionType Type = atOpenObject)
{
    TItemAction& Action = Item.ItemActions.Add();
    Action.Description = Description;
    if (!StepName.isNull() || !OpenObject.isNull()) {
        TShellAction& Step = Action.ShellActions.Add();
        Step.ActionName = StepName;
        Step.OpenObject = OpenObject;
        Step.ShellActionType = Type;
    }
    return Action;
}

} // namespace

class TListFormTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { Project = nullptr; }
    void entryText_data();
    void entryText();
    void fillsAtShowAndRunsTheChosenAction();
    void okWithoutSelection();
    void longDescriptionsMakeTallerEntries();
    void icons();
    void heightIsLimited();
    void closing();

private:
    void Show(TListF& Form);

    std::unique_ptr<TVeltraneProject> FProject;
    TItem* FItem = nullptr;
    QList<const TItemAction*> FRun;
};

void TListFormTest::initTestCase()
{
    InitLanguageUnit();
    ChooseStartupLanguage(0x0409);
}

void TListFormTest::init()
{
    FProject = std::make_unique<TVeltraneProject>();
    FProject->Folder = u"/nowhere/"_s;
    Project = FProject.get();
    FItem = &FProject->Sections.Add().SItems.Add();
    FRun.clear();
}

void TListFormTest::Show(TListF& Form)
{
    Form.CurrentItem = [this] { return FItem; };
    Form.OnExecuteAction = [this](const TItemAction& Action) { FRun.append(&Action); };
    Form.show();
}

void TListFormTest::entryText_data()
{
    QTest::addColumn<QString>("Description");
    QTest::addColumn<QString>("StepName");
    QTest::addColumn<QString>("OpenObject");
    QTest::addColumn<QString>("Expected");
    QTest::newRow("description") << u"Install"_s << u"Step"_s << u"setup.sh"_s << u"Install"_s;
    QTest::newRow("blank description: the step's name")
        << u" \r "_s << u"Step"_s << u"setup.sh"_s << u"Step"_s;
    QTest::newRow("blank name too: the object") << QString() << u"  "_s << u"setup.sh"_s << u"setup.sh"_s;
    QTest::newRow("no steps") << QString() << QString() << QString() << QString();
}

void TListFormTest::entryText()
{
    QFETCH(QString, Description);
    QFETCH(QString, StepName);
    QFETCH(QString, OpenObject);
    QFETCH(QString, Expected);
    QCOMPARE(TListF::EntryText(AddAction(*FItem, Description, StepName, OpenObject)), Expected);
}

void TListFormTest::fillsAtShowAndRunsTheChosenAction()
{
    AddAction(*FItem, u"One"_s);
    AddAction(*FItem, u"Two"_s);
    AddAction(*FItem, u"Three"_s);
    TListF Form;
    QCOMPARE(Form.windowTitle(), u"Choose the action"_s);
    Show(Form);
    QCOMPARE(Form.ActionList->Count(), 3);
    QCOMPARE(Form.ActionList->ItemIndex(), 0);
    Form.ActionList->SetItemIndex(2);
    Form.ListOkBtn->Click();
    QCOMPARE(FRun, (QList<const TItemAction*>{&FItem->ItemActions.Items(2)}));
    // The window stays until it loses the focus.
    QVERIFY(Form.isVisible());
    // Enter in the list presses OK.
    QTest::keyClick(Form.ActionList->InnerWidget(), Qt::Key_Return);
    QCOMPARE(FRun.size(), 2);
    // The buttons sit at the bottom of the right panel, OK above Close.
    QCOMPARE(Form.ListCloseBtn->Top(), Form.RightPanel->Height() - 28 - 4);
    QCOMPARE(Form.ListOkBtn->Top(), Form.ListCloseBtn->Top() - 28 - 6);

    // Shown again for another item, the list is filled anew.
    Form.hide();
    FItem->ItemActions.Delete(0);
    Show(Form);
    QCOMPARE(Form.ActionList->Count(), 2);
}

void TListFormTest::okWithoutSelection()
{
    TListF Form;
    Show(Form);
    Form.OkBtnClick();
    QVERIFY(FRun.isEmpty());
    Form.hide();
    AddAction(*FItem, u"One"_s);
    AddAction(*FItem, u"Two"_s);
    Show(Form);
    Form.ActionList->SetItemIndex(-1);
    Form.OkBtnClick();
    QCOMPARE(Form.ActionList->ItemIndex(), 0);
    QCOMPARE(FRun, (QList<const TItemAction*>{&FItem->ItemActions.Items(0)}));
}

void TListFormTest::longDescriptionsMakeTallerEntries()
{
    AddAction(*FItem, u"Short"_s);
    QString Long;
    for (int I = 0; I < 40; ++I)
        Long += u"description "_s;
    AddAction(*FItem, Long);
    TListF Form;
    Show(Form);
    const QList<int>& Heights = Form.ActionList->ItemHeights();
    QCOMPARE(Heights.size(), 2);
    QCOMPARE(Heights[0], 40);
    QVERIFY(Heights[1] > 40);
    // The window grew so that both entries show.
    QVERIFY(Form.ActionList->ClientHeight() >= Heights[0] + Heights[1]);
}

void TListFormTest::icons()
{
    // A message alone has no icon; a step's file gets the system's icon for it.
    AddAction(*FItem, u"Message"_s, QString(), u""_s, atShowMessage);
    AddAction(*FItem, u"Document"_s, QString(), u"doc.txt"_s);
    TListF Form;
    QStringList Asked;
    Form.FileIcon = [&Asked](const QString& FileName) {
        Asked.append(FileName);
        QPixmap Red(32, 32);
        Red.fill(Qt::red);
        return QIcon(Red);
    };
    Show(Form);
    Form.ActionList->SetItemIndex(-1);
    const QImage Shot = Form.ActionList->grab().toImage();
    const QRect First = Form.ActionList->ItemRect(0);
    const QRect Second = Form.ActionList->ItemRect(1);
    const QPoint IconCentre(4 + 16, 4 + 16);
    QVERIFY(Shot.pixelColor(Second.topLeft() + IconCentre + QPoint(2, 2)) == QColor(Qt::red));
    QVERIFY(Shot.pixelColor(First.topLeft() + IconCentre + QPoint(2, 2)) != QColor(Qt::red));
    QVERIFY2(Asked.contains(u"/nowhere/doc.txt"_s), qPrintable(Asked.join(u',')));
}

void TListFormTest::heightIsLimited()
{
    for (int I = 0; I < 60; ++I)
        AddAction(*FItem, u"Action "_s + QString::number(I));
    TListF Form;
    Show(Form);
    QVERIFY(Form.height() <= qRound(QGuiApplication::primaryScreen()->geometry().height() * 0.85));
    QCOMPARE(Form.width(), 590);
}

void TListFormTest::closing()
{
    AddAction(*FItem, u"One"_s);
    TListF Form;
    for (const auto& [Key, Modifiers] :
         {std::pair{Qt::Key_Escape, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::NoModifier},
          std::pair{Qt::Key_X, Qt::ControlModifier}}) {
        Show(Form);
        QTest::keyClick(&Form, Key, Modifiers);
        QVERIFY(!Form.isVisible());
    }
    Show(Form);
    Form.ListCloseBtn->Click();
    QVERIFY(!Form.isVisible());
    Show(Form);
    Form.FormDeactivate();
    QVERIFY(!Form.isVisible());
}

QTEST_MAIN(TListFormTest)
#include "tst_listform.moc"
