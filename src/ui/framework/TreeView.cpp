#include "TreeView.h"

#include "Colors.h"
#include "ImageList.h"
#include "Timer.h"

#include <QEvent>
#include <QHeaderView>
#include <QPixmap>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace {

constexpr int NodeItemType = QTreeWidgetItem::UserType + 1;

// A Qt item that knows the node it stands for (cheaper than keeping the node in the item's data).
class TNodeItem : public QTreeWidgetItem
{
public:
    explicit TNodeItem(TTreeNode* ANode) : QTreeWidgetItem(NodeItemType), Node(ANode) {}
    TTreeNode* const Node;
};

Qt::ItemFlags NodeFlags(bool ReadOnly)
{
    Qt::ItemFlags Flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!ReadOnly) {
        Flags |= Qt::ItemIsEditable;
    }
    return Flags;
}

} // namespace

// --- TTreeNode ---------------------------------------------------------------------------------

TTreeNode::TTreeNode(TTreeView* Tree, TTreeNode* Parent, QTreeWidgetItem* Item)
    : FTree(Tree), FParent(Parent), FItem(Item)
{
}

void TTreeNode::SetText(const QString& Value)
{
    FText = Value;
    FItem->setText(0, Value);
}

void TTreeNode::SetImageIndex(int Value)
{
    if (FImageIndex != Value) {
        FImageIndex = Value;
        UpdateIcon();
    }
}

void TTreeNode::SetSelectedIndex(int Value)
{
    if (FSelectedIndex != Value) {
        FSelectedIndex = Value;
        UpdateIcon();
    }
}

int TTreeNode::Level() const
{
    int Result = 0;
    for (const TTreeNode* P = FParent; P; P = P->FParent) {
        ++Result;
    }
    return Result;
}

int TTreeNode::Index() const
{
    const QList<TTreeNode*>& Siblings = FParent ? FParent->FChildren : FTree->Items().FTopLevel;
    return static_cast<int>(Siblings.indexOf(const_cast<TTreeNode*>(this)));
}

TTreeNode* TTreeNode::Item(int Index) const
{
    return Index >= 0 && Index < Count() ? FChildren.at(Index) : nullptr;
}

TTreeNode* TTreeNode::GetNextSibling() const
{
    const QList<TTreeNode*>& Siblings = FParent ? FParent->FChildren : FTree->Items().FTopLevel;
    const qsizetype I = Siblings.indexOf(const_cast<TTreeNode*>(this));
    return I >= 0 && I + 1 < Siblings.size() ? Siblings.at(I + 1) : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const
{
    const QList<TTreeNode*>& Siblings = FParent ? FParent->FChildren : FTree->Items().FTopLevel;
    const qsizetype I = Siblings.indexOf(const_cast<TTreeNode*>(this));
    return I > 0 ? Siblings.at(I - 1) : nullptr;
}

bool TTreeNode::HasAsParent(const TTreeNode* Node) const
{
    for (const TTreeNode* P = FParent; P; P = P->FParent) {
        if (P == Node) {
            return true;
        }
    }
    return false;
}

bool TTreeNode::Expanded() const
{
    return HasChildren() && FItem->isExpanded();
}

void TTreeNode::SetExpanded(bool Value)
{
    // A node without children cannot be expanded, and no event runs for it.
    if (!HasChildren() || FItem->isExpanded() == Value) {
        return;
    }
    // Only an item in the Qt tree can be expanded.
    FTree->Items().Flush();
    FItem->setExpanded(Value);
}

void TTreeNode::Expand(bool Recursive)
{
    SetExpanded(true);
    if (Recursive) {
        for (TTreeNode* Child : FChildren) {
            Child->Expand(true);
        }
    }
}

void TTreeNode::Collapse(bool Recursive)
{
    SetExpanded(false);
    if (Recursive) {
        for (TTreeNode* Child : FChildren) {
            Child->Collapse(true);
        }
    }
}

bool TTreeNode::Selected() const
{
    return FTree->Selected() == this;
}

void TTreeNode::UpdateIcon()
{
    TTreeNodes& Items = FTree->Items();
    if (Items.FUpdateCount > 0) {
        // Applied once at EndUpdate: setting both image indexes then costs one icon, and no
        // intermediate pair of images is turned into an icon of its own.
        if (!FIconQueued) {
            FIconQueued = true;
            Items.FQueuedIcons.push_back(this);
        }
        return;
    }
    FItem->setIcon(0, FTree->NodeIcon(FImageIndex, FSelectedIndex));
}

// --- TTreeNodes --------------------------------------------------------------------------------

TTreeNodes::~TTreeNodes()
{
    DropPending();
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const QString& Text)
{
    // The item is filled before it joins the tree, so that none of this sends change notices.
    auto Node = std::unique_ptr<TTreeNode>(new TTreeNode(FTree, Parent, nullptr));
    TTreeNode* Result = Node.get();
    auto* Item = new TNodeItem(Result);
    Result->FItem = Item;
    Item->setFlags(NodeFlags(FTree->ReadOnly()));
    Result->SetText(Text);
    if (Parent) {
        // Cheap while the parent waits outside the Qt tree: no model hears of it.
        Parent->FItem->addChild(Item);
    } else if (FUpdateCount > 0) {
        // Joins the Qt tree at EndUpdate with the other new top-level items and everything added
        // below them meanwhile, in one insertion the view hears of once.
        FPendingTop.append(Item);
    } else {
        FTree->FTree->addTopLevelItem(Item);
    }
    (Parent ? Parent->FChildren : FTopLevel).append(Result);
    FNodes.push_back(std::move(Node));
    FOrderValid = false;
    return Result;
}

TTreeNode* TTreeNodes::Add(TTreeNode* Sibling, const QString& Text)
{
    return AddChild(Sibling ? Sibling->Parent() : nullptr, Text);
}

void TTreeNodes::Collect(TTreeNode* Node, std::vector<TTreeNode*>& Out) const
{
    Out.push_back(Node);
    for (TTreeNode* Child : Node->FChildren) {
        Collect(Child, Out);
    }
}

const std::vector<TTreeNode*>& TTreeNodes::Order() const
{
    if (!FOrderValid) {
        FOrder.clear();
        for (TTreeNode* Node : FTopLevel) {
            Collect(Node, FOrder);
        }
        FOrderValid = true;
    }
    return FOrder;
}

void TTreeNodes::Delete(TTreeNode* Node)
{
    if (!Node || Node->FTree != FTree) {
        return;
    }
    std::vector<TTreeNode*> Doomed;
    Collect(Node, Doomed);
    const std::unordered_set<TTreeNode*> Set(Doomed.begin(), Doomed.end());
    (Node->FParent ? Node->FParent->FChildren : FTopLevel).removeOne(Node);
    FPendingTop.removeOne(Node->FItem);
    std::erase_if(FQueuedIcons, [&Set](TTreeNode* N) { return Set.contains(N); });
    FTree->FRemoving = true;
    delete Node->FItem; // and every item below it
    FTree->FRemoving = false;
    FOrderValid = false;
    std::erase_if(FNodes, [&Set](const std::unique_ptr<TTreeNode>& N) { return Set.contains(N.get()); });
    FTree->NodeRemoved(Node);
}

void TTreeNodes::Clear()
{
    DropPending();
    FTree->FRemoving = true;
    FTree->FTree->clear();
    FTree->FRemoving = false;
    FTopLevel.clear();
    FNodes.clear();
    FOrderValid = false;
    FTree->NodeRemoved(nullptr);
}

TTreeNode* TTreeNodes::Item(int Index) const
{
    const std::vector<TTreeNode*>& Nodes = Order();
    return Index >= 0 && Index < static_cast<int>(Nodes.size()) ? Nodes[static_cast<size_t>(Index)] : nullptr;
}

TTreeNode* TTreeNodes::GetFirstNode() const
{
    return FTopLevel.isEmpty() ? nullptr : FTopLevel.first();
}

int TTreeNodes::TopLevelCount() const
{
    return static_cast<int>(FTopLevel.size());
}

TTreeNode* TTreeNodes::TopLevelItem(int Index) const
{
    return Index >= 0 && Index < FTopLevel.size() ? FTopLevel.at(Index) : nullptr;
}

void TTreeNodes::BeginUpdate()
{
    if (FUpdateCount++ == 0) {
        FTree->FTree->setUpdatesEnabled(false);
    }
}

void TTreeNodes::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0) {
        Flush();
        FTree->FTree->setUpdatesEnabled(true);
        FTree->FTree->viewport()->update();
    }
}

void TTreeNodes::Flush()
{
    if (!FQueuedIcons.empty()) {
        // The tree is repainted as a whole at EndUpdate; a change notice per node would only make the
        // Qt tree search its rows.
        const QSignalBlocker Quiet(FTree->FTree->model());
        for (TTreeNode* Node : FQueuedIcons) {
            Node->FIconQueued = false;
            Node->FItem->setIcon(0, FTree->NodeIcon(Node->FImageIndex, Node->FSelectedIndex));
        }
        FQueuedIcons.clear();
    }
    if (!FPendingTop.isEmpty()) {
        const QList<QTreeWidgetItem*> Items = std::exchange(FPendingTop, {});
        FTree->FTree->addTopLevelItems(Items);
    }
}

void TTreeNodes::DropPending()
{
    // Items outside the Qt tree are ours to free, with everything below them.
    for (TTreeNode* Node : FQueuedIcons) {
        Node->FIconQueued = false;
    }
    FQueuedIcons.clear();
    qDeleteAll(std::exchange(FPendingTop, {}));
}

// --- TTreeView ---------------------------------------------------------------------------------

TTreeView::TTreeView(QWidget* Parent, const QString& Name) : TWrappedControl(Parent, Name)
{
    FItems = std::make_unique<TTreeNodes>(this);
    FTree = new QTreeWidget(this);
    FTree->setObjectName(QStringLiteral("TreeWidget"));
    FTree->setColumnCount(1);
    FTree->setHeaderHidden(true);
    FTree->header()->setStretchLastSection(true);
    FTree->setSelectionMode(QAbstractItemView::SingleSelection);
    FTree->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    FTree->setUniformRowHeights(true);
    SetInnerWidget(FTree);

    connect(FTree, &QTreeWidget::itemSelectionChanged, this, &TTreeView::SelectionChanged);
    connect(FTree, &QTreeWidget::itemExpanded, this, &TTreeView::ItemExpanded);
    connect(FTree, &QTreeWidget::itemCollapsed, this, &TTreeView::ItemCollapsed);
    connect(FTree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* Item, int) {
        // The user renamed a node.
        if (TTreeNode* Node = NodeOf(Item)) {
            Node->FText = Item->text(0);
        }
    });

    FChangeTimer = new TTimer(this);
    FChangeTimer->SetEnabled(false);
    FChangeTimer->OnTimer = [this](QObject*) { DeliverChange(); };

    UpdateSelectionColors();
    resize(121, 97);
}

TTreeView::~TTreeView()
{
    FChangeTimer->OnTimer = nullptr;
    // Items go before the Qt tree so that no node outlives the items it points to.
    disconnect(FTree, nullptr, this, nullptr);
    FRemoving = true;
    FItems.reset();
}

TTreeNode* TTreeView::NodeOf(QTreeWidgetItem* Item) const
{
    if (!Item || Item->treeWidget() != FTree || Item->type() != NodeItemType) {
        return nullptr;
    }
    return static_cast<TNodeItem*>(Item)->Node;
}

TTreeNode* TTreeView::GetNodeAt(int X, int Y) const
{
    // Nodes still waiting for the end of an update are not shown anywhere yet.
    const QPoint InViewport = FTree->viewport()->mapFrom(this, QPoint(X, Y));
    return NodeOf(FTree->itemAt(InViewport));
}

void TTreeView::SetSelected(TTreeNode* Node)
{
    if (Node && Node->FTree != this) {
        return;
    }
    if (Node) {
        FItems->Flush();
        FTree->setCurrentItem(Node->FItem);
    } else {
        FTree->clearSelection();
    }
}

void TTreeView::SelectionChanged()
{
    if (FReverting || FRemoving) {
        return;
    }
    const QList<QTreeWidgetItem*> Chosen = FTree->selectedItems();
    TTreeNode* Node = NodeOf(Chosen.value(0));
    if (Node == FSelected) {
        return;
    }
    if (Node) {
        bool Allow = true;
        if (OnChanging) {
            OnChanging(this, Node, Allow);
        }
        if (!Allow) {
            FReverting = true;
            if (FSelected) {
                FTree->setCurrentItem(FSelected->FItem);
            } else {
                FTree->clearSelection();
            }
            FReverting = false;
            return;
        }
    }
    FSelected = Node;
    if (!Node) {
        FChangeTimer->SetEnabled(false);
        return;
    }
    if (FChangeDelay > 0) {
        // Every further change starts the delay again; only the settled selection is reported.
        FChangeTimer->SetEnabled(false);
        FChangeTimer->SetInterval(FChangeDelay);
        FChangeTimer->SetEnabled(true);
    } else {
        DeliverChange();
    }
}

void TTreeView::DeliverChange()
{
    FChangeTimer->SetEnabled(false);
    if (FSelected && OnChange) {
        OnChange(this, FSelected);
    }
}

bool TTreeView::ChangePending() const
{
    return FChangeTimer->Enabled();
}

void TTreeView::NodeRemoved(TTreeNode* Node)
{
    Q_UNUSED(Node);
    // The selection follows what the Qt tree now shows, without events: a removed node is gone.
    TTreeNode* Now = NodeOf(FTree->selectedItems().value(0));
    if (Now != FSelected) {
        FSelected = Now;
        if (!Now) {
            FChangeTimer->SetEnabled(false);
        }
    }
}

void TTreeView::ItemExpanded(QTreeWidgetItem* Item)
{
    TTreeNode* Node = NodeOf(Item);
    if (FReverting || FRemoving || !Node) {
        return;
    }
    bool Allow = true;
    if (OnExpanding) {
        OnExpanding(this, Node, Allow);
    }
    if (!Allow) {
        FReverting = true;
        Item->setExpanded(false);
        FReverting = false;
        return;
    }
    if (OnExpanded) {
        OnExpanded(this, Node);
    }
}

void TTreeView::ItemCollapsed(QTreeWidgetItem* Item)
{
    TTreeNode* Node = NodeOf(Item);
    if (FReverting || FRemoving || !Node) {
        return;
    }
    bool Allow = true;
    if (OnCollapsing) {
        OnCollapsing(this, Node, Allow);
    }
    if (!Allow) {
        FReverting = true;
        Item->setExpanded(true);
        FReverting = false;
        return;
    }
    if (OnCollapsed) {
        OnCollapsed(this, Node);
    }
}

void TTreeView::SetChangeDelay(int Value)
{
    FChangeDelay = std::max(0, Value);
}

int TTreeView::Indent() const
{
    return FTree->indentation();
}

void TTreeView::SetIndent(int Value)
{
    FTree->setIndentation(std::max(0, Value));
}

void TTreeView::SetHotTrack(bool Value)
{
    FHotTrack = Value;
    FTree->viewport()->setAttribute(Qt::WA_Hover, Value);
    FTree->setMouseTracking(Value);
}

void TTreeView::SetRowSelect(bool Value)
{
    FRowSelect = Value;
    FTree->setAllColumnsShowFocus(Value);
    FTree->setSelectionBehavior(Value ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
}

void TTreeView::SetShowRoot(bool Value)
{
    FShowRoot = Value;
    FTree->setRootIsDecorated(FShowRoot && FShowButtons);
}

void TTreeView::SetShowButtons(bool Value)
{
    FShowButtons = Value;
    FTree->setRootIsDecorated(FShowRoot && FShowButtons);
}

void TTreeView::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    FTree->setEditTriggers(Value ? QAbstractItemView::NoEditTriggers
                                 : QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    const QSignalBlocker Blocker(FTree);
    for (int I = 0; I < FItems->Count(); ++I) {
        FItems->Item(I)->FItem->setFlags(NodeFlags(Value));
    }
}

void TTreeView::SetHideSelection(bool Value)
{
    FHideSelection = Value;
    UpdateSelectionColors();
}

void TTreeView::SetImages(TImageList* Value)
{
    if (FImages == Value) {
        return;
    }
    if (FImages) {
        disconnect(FImages, nullptr, this, nullptr);
    }
    FImages = Value;
    if (FImages) {
        connect(FImages, &TImageList::Changed, this, &TTreeView::UpdateIcons);
        connect(FImages, &QObject::destroyed, this, [this] {
            FImages = nullptr;
            UpdateIcons();
        });
    }
    UpdateIcons();
}

void TTreeView::UpdateIcons()
{
    FIconCache.clear();
    if (FImages) {
        FTree->setIconSize(QSize(FImages->Width(), FImages->Height()));
    }
    {
        // One repaint for the whole tree rather than a change notice per node, which the Qt tree
        // answers with a search of its visible rows.
        const QSignalBlocker Quiet(FTree->model());
        for (int I = 0; I < FItems->Count(); ++I) {
            FItems->Item(I)->UpdateIcon();
        }
    }
    FTree->viewport()->update();
}

QIcon TTreeView::NodeIcon(int ImageIndex, int SelectedIndex)
{
    // Nodes with the same pair of images share one icon, so that each picture is converted once
    // however many nodes show it.
    const quint64 Key = quint64(quint32(ImageIndex)) << 32 | quint32(SelectedIndex);
    if (const auto Cached = FIconCache.constFind(Key); Cached != FIconCache.cend()) {
        return *Cached;
    }
    QIcon Icon;
    const QImage Normal = FImages ? FImages->Image(ImageIndex) : QImage();
    const QImage Chosen = FImages ? FImages->Image(SelectedIndex) : QImage();
    if (!Normal.isNull() || !Chosen.isNull()) {
        QImage Blank(FImages->Width(), FImages->Height(), QImage::Format_ARGB32);
        Blank.fill(Qt::transparent);
        Icon.addPixmap(QPixmap::fromImage(Normal.isNull() ? Blank : Normal), QIcon::Normal);
        Icon.addPixmap(QPixmap::fromImage(Chosen.isNull() ? Blank : Chosen), QIcon::Selected);
    }
    FIconCache.insert(Key, Icon);
    return Icon;
}

void TTreeView::UpdateSelectionColors()
{
    // Only the colours of an unfocused selection are the tree's own; the rest follows the control.
    QPalette P;
    if (FHideSelection) {
        P.setColor(QPalette::Inactive, QPalette::Highlight, ColorToRGB(clBtnFace));
        P.setColor(QPalette::Inactive, QPalette::HighlightedText, ColorToRGB(clBtnText));
    } else {
        P.setColor(QPalette::Inactive, QPalette::Highlight, ColorToRGB(clHighlight));
        P.setColor(QPalette::Inactive, QPalette::HighlightedText, ColorToRGB(clHighlightText));
    }
    FTree->setPalette(P);
}
