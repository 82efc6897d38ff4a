// The tree view: nodes in display order, the selection events with their settling delay, expansion
// events, keys, double clicks, node images and published properties.

#include "Colors.h"
#include "ImageList.h"
#include "Keys.h"
#include "Timer.h"
#include "TreeView.h"
#include "config/ControlsProps.h"

#include <QPainter>
#include <QTreeWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QImage Solid(QColor Color, int W = 16, int H = 16)
{
    QImage Image(W, H, QImage::Format_ARGB32);
    Image.fill(Color);
    return Image;
}

// Two sections with two items each, and a lone top-level item.
struct TSampleTree
{
    TTreeView Tree;
    TTreeNode* A;
    TTreeNode* A1;
    TTreeNode* A2;
    TTreeNode* B;
    TTreeNode* B1;
    TTreeNode* B2;
    TTreeNode* C;
    QStringList Events;

    TSampleTree()
    {
        Tree.resize(200, 300);
        A = Tree.Items().AddChild(nullptr, u"A"_s);
        A1 = Tree.Items().AddChild(A, u"A1"_s);
        A2 = Tree.Items().AddChild(A, u"A2"_s);
        B = Tree.Items().Add(A, u"B"_s);
        B1 = Tree.Items().AddChild(B, u"B1"_s);
        B2 = Tree.Items().AddChild(B, u"B2"_s);
        C = Tree.Items().AddChild(nullptr, u"C"_s);
        Tree.OnChanging = [this](QObject*, TTreeNode* Node, bool&) {
            Events << u"changing "_s + Node->Text();
        };
        Tree.OnChange = [this](QObject*, TTreeNode* Node) { Events << u"change "_s + Node->Text(); };
        Tree.OnExpanding = [this](QObject*, TTreeNode* Node, bool&) {
            Events << u"expanding "_s + Node->Text();
        };
        Tree.OnCollapsed = [this](QObject*, TTreeNode* Node) { Events << u"collapsed "_s + Node->Text(); };
    }
};

} // namespace

class TestTreeView : public QObject
{
    Q_OBJECT

private slots:
    void nodesInDisplayOrder();
    void deleteRemovesSubtree();
    void selectionSettlesAfterDelay();
    void selectionWithoutDelay();
    void changingMayRefuse();
    void mouseClickSelects();
    void expandAndCollapseEvents();
    void expansionMayBeRefused();
    void keyDownReachesHandler();
    void doubleClick();
    void nodeImages();
    void sharedNodeImagesFollowTheList();
    void nodesAddedInAnUpdateJoinAtItsEnd();
    void nodesRemovedInAnUpdate();
    void publishedProperties();
    void imageList();
};

void TestTreeView::nodesInDisplayOrder()
{
    TSampleTree T;
    QStringList Texts;
    for (int I = 0; I < T.Tree.Items().Count(); ++I) {
        Texts << T.Tree.Items().Item(I)->Text();
    }
    QCOMPARE(Texts, QStringList({u"A"_s, u"A1"_s, u"A2"_s, u"B"_s, u"B1"_s, u"B2"_s, u"C"_s}));
    QCOMPARE(T.Tree.Items().TopLevelCount(), 3);
    QCOMPARE(T.Tree.Items().GetFirstNode(), T.A);
    QCOMPARE(T.A1->Parent(), T.A);
    QCOMPARE(T.A1->Level(), 1);
    QCOMPARE(T.B->Level(), 0);
    QCOMPARE(T.B2->Index(), 1);
    QCOMPARE(T.B->Index(), 1);
    QCOMPARE(T.A1->GetNextSibling(), T.A2);
    QCOMPARE(T.A2->GetNextSibling(), nullptr);
    QCOMPARE(T.B->GetPrevSibling(), T.A);
    QVERIFY(T.B1->HasAsParent(T.B));
    QVERIFY(!T.B1->HasAsParent(T.A));
    QCOMPARE(T.Tree.NodeOf(T.B1->Handle()), T.B1);
    QCOMPARE(T.Tree.TreeWidget()->topLevelItemCount(), 3);
    QCOMPARE(T.Tree.Items().Item(7), nullptr);
    QCOMPARE(T.Tree.Items().Item(-1), nullptr);
}

void TestTreeView::deleteRemovesSubtree()
{
    TSampleTree T;
    T.Tree.SetChangeDelay(0);
    T.Tree.SetSelected(T.B1);
    T.Events.clear();
    T.Tree.Items().Delete(T.B);
    QCOMPARE(T.Tree.Items().Count(), 4);
    QCOMPARE(T.Tree.Items().Item(3), T.C);
    QCOMPARE(T.Tree.Selected(), nullptr);
    QCOMPARE(T.Tree.TreeWidget()->topLevelItemCount(), 2);
    // Removing nodes runs no selection events.
    QCOMPARE(T.Events, QStringList());
    T.Tree.Items().Clear();
    QCOMPARE(T.Tree.Items().Count(), 0);
    QCOMPARE(T.Tree.Items().GetFirstNode(), nullptr);
}

void TestTreeView::selectionSettlesAfterDelay()
{
    TSampleTree T;
    T.Tree.SetChangeDelay(50);
    T.Tree.SetSelected(T.A1);
    QCOMPARE(T.Events, QStringList({u"changing A1"_s}));
    QVERIFY(T.Tree.ChangePending());
    QCOMPARE(T.Tree.ChangeTimer()->Interval(), 50);
    QCOMPARE(T.Tree.Selected(), T.A1);
    T.Tree.SetSelected(T.B2);
    QCOMPARE(T.Events, QStringList({u"changing A1"_s, u"changing B2"_s}));
    // Only the settled selection is reported, once.
    T.Tree.ChangeTimer()->Fire();
    QCOMPARE(T.Events, QStringList({u"changing A1"_s, u"changing B2"_s, u"change B2"_s}));
    QVERIFY(!T.Tree.ChangePending());
    QVERIFY(T.B2->Selected());
    // Selecting the selected node again changes nothing.
    T.Tree.SetSelected(T.B2);
    QCOMPARE(T.Events.size(), 3);
}

void TestTreeView::selectionWithoutDelay()
{
    TSampleTree T;
    T.Tree.SetChangeDelay(0);
    T.Tree.SetSelected(T.C);
    QCOMPARE(T.Events, QStringList({u"changing C"_s, u"change C"_s}));
    QVERIFY(!T.Tree.ChangePending());
}

void TestTreeView::changingMayRefuse()
{
    TSampleTree T;
    T.Tree.SetChangeDelay(0);
    T.Tree.SetSelected(T.A);
    T.Tree.OnChanging = [](QObject*, TTreeNode* Node, bool& Allow) { Allow = Node->Text() != u"B"_s; };
    T.Events.clear();
    T.Tree.SetSelected(T.B);
    QCOMPARE(T.Tree.Selected(), T.A);
    QCOMPARE(T.Tree.TreeWidget()->selectedItems(), QList<QTreeWidgetItem*>({T.A->Handle()}));
    QCOMPARE(T.Events, QStringList());
    T.Tree.SetSelected(T.C);
    QCOMPARE(T.Tree.Selected(), T.C);
    QCOMPARE(T.Events, QStringList({u"change C"_s}));
}

void TestTreeView::mouseClickSelects()
{
    TSampleTree T;
    T.Tree.SetChangeDelay(50);
    T.Tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&T.Tree));
    const QRect R = T.Tree.TreeWidget()->visualItemRect(T.C->Handle());
    QTest::mouseClick(T.Tree.TreeWidget()->viewport(), Qt::LeftButton, {}, R.center());
    QCOMPARE(T.Events, QStringList({u"changing C"_s}));
    QCOMPARE(T.Tree.GetNodeAt(T.Tree.TreeWidget()->viewport()->mapTo(&T.Tree, R.center()).x(),
                              T.Tree.TreeWidget()->viewport()->mapTo(&T.Tree, R.center()).y()),
             T.C);
    T.Tree.ChangeTimer()->Fire();
    QCOMPARE(T.Events.last(), u"change C"_s);
}

void TestTreeView::expandAndCollapseEvents()
{
    TSampleTree T;
    T.A->Expand(false);
    QVERIFY(T.A->Expanded());
    T.A->Expand(false); // already expanded: no event
    // A node without children neither expands nor runs an event.
    T.C->Expand(false);
    QVERIFY(!T.C->Expanded());
    T.A->Collapse(false);
    QVERIFY(!T.A->Expanded());
    QCOMPARE(T.Events, QStringList({u"expanding A"_s, u"collapsed A"_s}));
    T.Tree.OnCollapsed = nullptr;
    T.B->SetExpanded(true);
    T.B->SetExpanded(false);
    QCOMPARE(T.Events, QStringList({u"expanding A"_s, u"collapsed A"_s, u"expanding B"_s}));
}

void TestTreeView::expansionMayBeRefused()
{
    TSampleTree T;
    T.Tree.OnExpanding = [](QObject*, TTreeNode*, bool& Allow) { Allow = false; };
    T.A->Expand(false);
    QVERIFY(!T.A->Expanded());
    QVERIFY(!T.A->Handle()->isExpanded());
    QCOMPARE(T.Events, QStringList());
}

void TestTreeView::keyDownReachesHandler()
{
    TSampleTree T;
    QList<quint16> Keys;
    T.Tree.OnKeyDown = [&Keys](QObject*, quint16& Key, TControl::TShiftState) {
        Keys << Key;
        if (Key == VK_RETURN) {
            Key = 0;
        }
    };
    T.Tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&T.Tree));
    QTest::keyClick(T.Tree.TreeWidget(), Qt::Key_Return);
    QTest::keyClick(T.Tree.TreeWidget(), Qt::Key_Down);
    QCOMPARE(Keys, QList<quint16>({VK_RETURN, VK_DOWN}));
}

void TestTreeView::doubleClick()
{
    TSampleTree T;
    int Clicks = 0;
    T.Tree.OnDblClick = [&Clicks](QObject*) { ++Clicks; };
    T.Tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&T.Tree));
    const QRect R = T.Tree.TreeWidget()->visualItemRect(T.C->Handle());
    QTest::mouseDClick(T.Tree.TreeWidget()->viewport(), Qt::LeftButton, {}, R.center());
    QCOMPARE(Clicks, 1);
}

void TestTreeView::nodeImages()
{
    TSampleTree T;
    TImageList Images;
    Images.Add(Solid(Qt::red));
    Images.Add(Solid(Qt::green));
    T.A->SetImageIndex(0);
    T.A->SetSelectedIndex(1);
    T.C->SetImageIndex(5); // out of range: no image
    // Images given after the nodes still reach them.
    T.Tree.SetImages(&Images);
    const QIcon Icon = T.A->Handle()->icon(0);
    QVERIFY(!Icon.isNull());
    QCOMPARE(Icon.pixmap(16, 16, QIcon::Normal).toImage().pixelColor(8, 8), QColor(Qt::red));
    QCOMPARE(Icon.pixmap(16, 16, QIcon::Selected).toImage().pixelColor(8, 8), QColor(Qt::green));
    QVERIFY(T.C->Handle()->icon(0).isNull());
    QCOMPARE(T.Tree.TreeWidget()->iconSize(), QSize(16, 16));
    // A picture added later shows on the node that names it.
    Images.Add(Solid(Qt::blue));
    T.C->SetImageIndex(2);
    QCOMPARE(T.C->Handle()->icon(0).pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::blue));
    T.Tree.SetImages(nullptr);
    QVERIFY(T.A->Handle()->icon(0).isNull());
}

void TestTreeView::sharedNodeImagesFollowTheList()
{
    TTreeView Tree;
    TImageList Images;
    Images.Add(Solid(Qt::red));
    Images.Add(Solid(Qt::green));
    Tree.SetImages(&Images);
    // Many nodes, filled inside an update, with the same pair of images.
    QList<TTreeNode*> Nodes;
    Tree.Items().BeginUpdate();
    for (int I = 0; I < 50; ++I) {
        TTreeNode* Node = Tree.Items().AddChild(nullptr, u"N%1"_s.arg(I));
        Node->SetImageIndex(0);
        Node->SetSelectedIndex(1);
        Nodes << Node;
    }
    Tree.Items().EndUpdate();
    auto Colour = [](TTreeNode* Node, QIcon::Mode Mode) {
        return Node->Handle()->icon(0).pixmap(16, 16, Mode).toImage().pixelColor(8, 8);
    };
    for (TTreeNode* Node : {Nodes.first(), Nodes.last()}) {
        QCOMPARE(Colour(Node, QIcon::Normal), QColor(Qt::red));
        QCOMPARE(Colour(Node, QIcon::Selected), QColor(Qt::green));
    }
    // New pictures at the same indexes reach every node.
    Images.Clear();
    Images.Add(Solid(Qt::blue));
    Images.Add(Solid(Qt::yellow));
    for (TTreeNode* Node : {Nodes.first(), Nodes.last()}) {
        QCOMPARE(Colour(Node, QIcon::Normal), QColor(Qt::blue));
        QCOMPARE(Colour(Node, QIcon::Selected), QColor(Qt::yellow));
    }
    // Out of the list: no image.
    Images.Delete(1);
    Images.Delete(0);
    QVERIFY(Nodes.last()->Handle()->icon(0).isNull());
}

void TestTreeView::nodesAddedInAnUpdateJoinAtItsEnd()
{
    TSampleTree T;
    TImageList Images;
    Images.Add(Solid(Qt::red));
    Images.Add(Solid(Qt::green));
    T.Tree.SetImages(&Images);
    T.Tree.SetChangeDelay(0);
    TTreeNodes& Items = T.Tree.Items();
    Items.BeginUpdate();
    Items.BeginUpdate(); // nested: only the outermost end counts
    TTreeNode* D = Items.AddChild(nullptr, u"D"_s);
    TTreeNode* D1 = Items.AddChild(D, u"D1"_s);
    TTreeNode* C1 = Items.AddChild(T.C, u"C1"_s); // below a node already shown
    TTreeNode* E = Items.Add(D, u"E"_s);
    for (TTreeNode* Node : {D, D1, E}) {
        Node->SetImageIndex(0);
        Node->SetSelectedIndex(1);
    }
    // The nodes are all there for the program meanwhile, in display order.
    QStringList Texts;
    for (int I = 0; I < Items.Count(); ++I) {
        Texts << Items.Item(I)->Text();
    }
    QCOMPARE(Texts, QStringList({u"A"_s, u"A1"_s, u"A2"_s, u"B"_s, u"B1"_s, u"B2"_s, u"C"_s, u"C1"_s, u"D"_s,
                                 u"D1"_s, u"E"_s}));
    QCOMPARE(E->Index(), 4);
    QCOMPARE(D1->Parent(), D);
    Items.EndUpdate();
    // Expanding and selecting inside the update reach the Qt tree, with their events.
    D->Expand(false);
    T.Tree.SetSelected(D1);
    QCOMPARE(T.Events, QStringList({u"expanding D"_s, u"changing D1"_s, u"change D1"_s}));
    Items.EndUpdate();

    QTreeWidget* Qt = T.Tree.TreeWidget();
    QCOMPARE(Qt->topLevelItemCount(), 5);
    QCOMPARE(Qt->topLevelItem(3), D->Handle());
    QCOMPARE(Qt->topLevelItem(4), E->Handle());
    QCOMPARE(D->Handle()->child(0), D1->Handle());
    QCOMPARE(T.C->Handle()->child(0), C1->Handle());
    for (TTreeNode* Node : {D, D1, E, C1}) {
        QCOMPARE(T.Tree.NodeOf(Node->Handle()), Node);
    }
    QVERIFY(D->Expanded());
    QVERIFY(D->Handle()->isExpanded());
    QCOMPARE(Qt->selectedItems(), QList<QTreeWidgetItem*>({D1->Handle()}));
    QCOMPARE(T.Tree.Selected(), D1);
    for (TTreeNode* Node : {D, E}) {
        const QIcon Icon = Node->Handle()->icon(0);
        QCOMPARE(Icon.pixmap(16, 16, QIcon::Normal).toImage().pixelColor(8, 8), QColor(Qt::red));
        QCOMPARE(Icon.pixmap(16, 16, QIcon::Selected).toImage().pixelColor(8, 8), QColor(Qt::green));
    }
    QVERIFY(C1->Handle()->icon(0).isNull());
    // Outside an update a node joins the Qt tree at once.
    TTreeNode* F = Items.AddChild(nullptr, u"F"_s);
    QCOMPARE(Qt->topLevelItem(5), F->Handle());
}

void TestTreeView::nodesRemovedInAnUpdate()
{
    TSampleTree T;
    TImageList Images;
    Images.Add(Solid(Qt::red));
    T.Tree.SetImages(&Images);
    TTreeNodes& Items = T.Tree.Items();
    Items.BeginUpdate();
    TTreeNode* D = Items.AddChild(nullptr, u"D"_s);
    Items.AddChild(D, u"D1"_s)->SetImageIndex(0);
    TTreeNode* E = Items.AddChild(nullptr, u"E"_s);
    E->SetImageIndex(0);
    T.A->SetImageIndex(0);
    Items.Delete(D);
    Items.Delete(T.A);
    Items.EndUpdate();
    QCOMPARE(Items.Count(), 5);
    QCOMPARE(T.Tree.TreeWidget()->topLevelItemCount(), 3);
    QCOMPARE(T.Tree.TreeWidget()->topLevelItem(2), E->Handle());
    QVERIFY(!E->Handle()->icon(0).isNull());
    // Nodes that never reached the Qt tree go with a clear, and with the tree itself.
    Items.BeginUpdate();
    Items.AddChild(Items.AddChild(nullptr, u"G"_s), u"G1"_s);
    Items.Clear();
    Items.EndUpdate();
    QCOMPARE(Items.Count(), 0);
    QCOMPARE(T.Tree.TreeWidget()->topLevelItemCount(), 0);
    Items.BeginUpdate();
    Items.AddChild(Items.AddChild(nullptr, u"H"_s), u"H1"_s)->SetImageIndex(0);
}

void TestTreeView::publishedProperties()
{
    TTreeView Tree(nullptr, u"ProjectTree"_s);
    TControlsPropsContainer Container;
    Container.LoadFromBytes("[ProjectTree]\nIndent=18\nChangeDelay=50\nColor=#102030\nFont.Color=#FF0000\n"
                            "ReadOnly=1\nShowRoot=0\nHideSelection=0\nTabStop=0\nHotTrack=1\nRowSelect=1\n");
    const QStringList Failures = Container.ApplyToControl(&Tree, true);
    QVERIFY2(Failures.isEmpty(), qPrintable(Failures.join(u'\n')));
    QCOMPARE(Tree.Indent(), 18);
    QCOMPARE(Tree.TreeWidget()->indentation(), 18);
    QCOMPARE(Tree.ChangeDelay(), 50);
    QCOMPARE(Tree.TreeWidget()->palette().color(QPalette::Base), QColor(0x10, 0x20, 0x30));
    QCOMPARE(Tree.TreeWidget()->palette().color(QPalette::Text), QColor(0xFF, 0, 0));
    QVERIFY(Tree.ReadOnly());
    QCOMPARE(Tree.TreeWidget()->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!Tree.TreeWidget()->rootIsDecorated());
    // The selection keeps its colours while the tree has no focus.
    QCOMPARE(Tree.TreeWidget()->palette().color(QPalette::Inactive, QPalette::Highlight),
             Tree.TreeWidget()->palette().color(QPalette::Active, QPalette::Highlight));
    QCOMPARE(Tree.TreeWidget()->focusPolicy(), Qt::ClickFocus);
    QVERIFY(Tree.HotTrack());
    QCOMPARE(Tree.TreeWidget()->selectionBehavior(), QAbstractItemView::SelectRows);
    // The Qt tree fills the control.
    Tree.SetBounds(0, 0, 150, 90);
    Tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&Tree));
    QCOMPARE(Tree.TreeWidget()->geometry(), QRect(0, 0, 150, 90));
}

void TestTreeView::imageList()
{
    TImageList List;
    QSignalSpy Changed(&List, &TImageList::Changed);
    QCOMPARE(List.Count(), 0);
    // Every picture is stretched to the list's size.
    QCOMPARE(List.Add(Solid(Qt::red, 32, 8)), 0);
    QCOMPARE(List.Image(0).size(), QSize(16, 16));
    QCOMPARE(List.Image(0).pixelColor(15, 15), QColor(Qt::red));
    QImage Keyed = Solid(Qt::green);
    Keyed.setPixelColor(0, 0, Qt::magenta);
    QCOMPARE(List.AddMasked(Keyed, qRgb(255, 0, 255)), 1);
    QCOMPARE(qAlpha(List.Image(1).pixel(0, 0)), 0);
    QCOMPARE(List.Add(QImage()), 2);
    QCOMPARE(qAlpha(List.Image(2).pixel(3, 3)), 0);
    QVERIFY(List.Image(3).isNull());
    QVERIFY(List.Image(-1).isNull());

    TImageList Other;
    Other.Add(Solid(Qt::blue));
    List.AddImages(Other);
    QCOMPARE(List.Count(), 4);
    QCOMPARE(List.Image(3).pixelColor(1, 1), QColor(Qt::blue));

    // Drawing: at the picture's own size; disabled in grey.
    QImage Canvas(40, 20, QImage::Format_ARGB32);
    Canvas.fill(Qt::white);
    {
        QPainter P(&Canvas);
        List.Draw(P, 0, 0, 0);
        List.Draw(P, 20, 0, 0, false);
        List.Draw(P, 0, 0, 9); // out of range: nothing
    }
    QCOMPARE(Canvas.pixelColor(8, 8), QColor(Qt::red));
    QCOMPARE(Canvas.pixelColor(17, 8), QColor(Qt::white));
    const QColor Grey = Canvas.pixelColor(28, 8);
    QVERIFY(Grey.red() == Grey.green() && Grey.green() == Grey.blue());
    QVERIFY(Grey != QColor(Qt::white));

    // A new size empties the list.
    const auto Before = Changed.count();
    List.SetWidth(24);
    QCOMPARE(List.Count(), 0);
    QVERIFY(Changed.count() > Before);
    List.Add(Solid(Qt::red));
    QCOMPARE(List.Image(0).size(), QSize(24, 16));
    List.Delete(0);
    QCOMPARE(List.Count(), 0);
}

QTEST_MAIN(TestTreeView)
#include "tst_treeview.moc"
