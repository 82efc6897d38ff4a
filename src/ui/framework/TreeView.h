#pragma once

#include "ImageList.h"
#include "WrappedControl.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;
class TTimer;
class TTreeNodes;
class TTreeView;

// One node of a tree view: its text, the images it shows unselected and selected, a free state
// index and a data pointer, its children. Nodes belong to the tree's Items.
class TTreeNode
{
public:
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    QString Text() const { return FText; }
    void SetText(const QString& Value);
    // Index into the tree's Images shown while the node is not selected; -1 for none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // Index shown while the node is selected; -1 for none.
    int SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int Value);
    // A number the program may keep with the node (no state images are drawn).
    int StateIndex() const { return FStateIndex; }
    void SetStateIndex(int Value) { FStateIndex = Value; }
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }

    TTreeNode* Parent() const { return FParent; }
    // 0 for a top-level node.
    int Level() const;
    // Position among its siblings.
    int Index() const;
    int Count() const { return static_cast<int>(FChildren.size()); }
    bool HasChildren() const { return !FChildren.isEmpty(); }
    TTreeNode* Item(int Index) const;
    TTreeNode* GetFirstChild() const { return FChildren.isEmpty() ? nullptr : FChildren.first(); }
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    // True when Node is this node's parent, grandparent, ...
    bool HasAsParent(const TTreeNode* Node) const;

    bool Expanded() const;
    // Expanding and collapsing run the tree's OnExpanding and OnCollapsed events.
    void SetExpanded(bool Value);
    void Expand(bool Recursive);
    void Collapse(bool Recursive);
    bool Selected() const;

    TTreeView* TreeView() const { return FTree; }
    // The Qt item; a top-level node added between BeginUpdate and EndUpdate (and its children) joins
    // the Qt tree at the outermost EndUpdate.
    QTreeWidgetItem* Handle() const { return FItem; }

private:
    friend class TTreeNodes;
    friend class TTreeView;
    TTreeNode(TTreeView* Tree, TTreeNode* Parent, QTreeWidgetItem* Item);
    void UpdateIcon();

    TTreeView* FTree;
    TTreeNode* FParent;
    QTreeWidgetItem* FItem;
    QList<TTreeNode*> FChildren;
    QString FText;
    int FImageIndex = -1;
    int FSelectedIndex = -1;
    int FStateIndex = -1;
    void* FData = nullptr;
    bool FIconQueued = false; // waits in the update's icon queue
};

// The nodes of a tree view. Count and Item walk all nodes in display order (a node, then its
// children), as the framework's Items do.
class TTreeNodes
{
public:
    explicit TTreeNodes(TTreeView* Tree) : FTree(Tree) {}
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;
    ~TTreeNodes();

    // Adds a node as the last child of Parent (a top-level node when Parent is null).
    TTreeNode* AddChild(TTreeNode* Parent, const QString& Text);
    // Adds a node as the last sibling of Sibling (a top-level node when Sibling is null).
    TTreeNode* Add(TTreeNode* Sibling, const QString& Text);
    // Removes Node and everything below it.
    void Delete(TTreeNode* Node);
    void Clear();

    int Count() const { return static_cast<int>(FNodes.size()); }
    TTreeNode* Item(int Index) const;
    TTreeNode* GetFirstNode() const;
    int TopLevelCount() const;
    TTreeNode* TopLevelItem(int Index) const;

    // Painting waits between BeginUpdate and EndUpdate. Meanwhile new top-level nodes stay out of the
    // Qt tree and icon changes are queued; both are applied at once at the outermost EndUpdate.
    void BeginUpdate();
    void EndUpdate();

private:
    friend class TTreeNode;
    friend class TTreeView;
    void Collect(TTreeNode* Node, std::vector<TTreeNode*>& Out) const;
    const std::vector<TTreeNode*>& Order() const;
    // Applies what an update holds back: queued icons, then the waiting top-level items.
    void Flush();
    void DropPending();

    TTreeView* FTree;
    std::vector<std::unique_ptr<TTreeNode>> FNodes; // owns every node, in no particular order
    QList<TTreeNode*> FTopLevel;
    mutable std::vector<TTreeNode*> FOrder; // display order, rebuilt after a change
    mutable bool FOrderValid = false;
    int FUpdateCount = 0;
    QList<QTreeWidgetItem*> FPendingTop;  // top-level items not yet in the Qt tree, in order
    std::vector<TTreeNode*> FQueuedIcons; // nodes whose icon changed during the update
};

// A tree view: a windowed control that lists nodes with images from an image list. The tree itself is
// a Qt tree widget filling the control, which passes its keys and mouse actions on to the control's
// events (a double click anywhere in it is the control's OnDblClick).
//
// A change of selection runs OnChanging (which may refuse it) at once and OnChange when the selection
// has settled: ChangeDelay milliseconds after the last change, through ChangeTimer (tests fire it).
class TTreeView : public TWrappedControl
{
    Q_OBJECT
    Q_PROPERTY(int ChangeDelay READ ChangeDelay WRITE SetChangeDelay)
    Q_PROPERTY(int Indent READ Indent WRITE SetIndent)
    Q_PROPERTY(bool HotTrack READ HotTrack WRITE SetHotTrack)
    Q_PROPERTY(bool RowSelect READ RowSelect WRITE SetRowSelect)
    Q_PROPERTY(bool ShowLines READ ShowLines WRITE SetShowLines)
    Q_PROPERTY(bool ShowRoot READ ShowRoot WRITE SetShowRoot)
    Q_PROPERTY(bool ShowButtons READ ShowButtons WRITE SetShowButtons)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool AutoExpand READ AutoExpand WRITE SetAutoExpand)
    Q_PROPERTY(bool HideSelection READ HideSelection WRITE SetHideSelection)

public:
    using TTVChangedEvent = std::function<void(QObject* Sender, TTreeNode* Node)>;
    using TTVChangingEvent = std::function<void(QObject* Sender, TTreeNode* Node, bool& AllowChange)>;
    using TTVExpandingEvent = std::function<void(QObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
    using TTVCollapsingEvent = std::function<void(QObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
    using TTVExpandedEvent = std::function<void(QObject* Sender, TTreeNode* Node)>;

    explicit TTreeView(QWidget* Parent = nullptr, const QString& Name = {});
    ~TTreeView() override;

    TTreeNodes& Items() { return *FItems; }
    const TTreeNodes& Items() const { return *FItems; }

    TTreeNode* Selected() const { return FSelected; }
    // Selects Node (null clears the selection), with the events a user's choice runs.
    void SetSelected(TTreeNode* Node);

    int ChangeDelay() const { return FChangeDelay; }
    void SetChangeDelay(int Value);
    // The timer that runs OnChange after the delay; Fire() delivers a waiting change at once.
    TTimer* ChangeTimer() const { return FChangeTimer; }
    // True while a change waits for its delay.
    bool ChangePending() const;

    int Indent() const;
    void SetIndent(int Value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool Value) { FShowLines = Value; }
    bool ShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool Value);
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // Kept for the design; which node is expanded is left to the program's handlers.
    bool AutoExpand() const { return FAutoExpand; }
    void SetAutoExpand(bool Value) { FAutoExpand = Value; }
    // False keeps the selection drawn in its colours while the tree has no focus.
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);

    // The images of the nodes; not owned. Null shows no images.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);

    // The Qt tree inside the control.
    QTreeWidget* TreeWidget() const { return FTree; }
    // The node a Qt item stands for.
    TTreeNode* NodeOf(QTreeWidgetItem* Item) const;
    // The node at a point of the control (null when none).
    TTreeNode* GetNodeAt(int X, int Y) const;

    TTVChangedEvent OnChange;
    TTVChangingEvent OnChanging;
    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnExpanded;
    TTVCollapsingEvent OnCollapsing;
    TTVExpandedEvent OnCollapsed;

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    void SelectionChanged();
    void ItemExpanded(QTreeWidgetItem* Item);
    void ItemCollapsed(QTreeWidgetItem* Item);
    void DeliverChange();
    void NodeRemoved(TTreeNode* Node);
    void UpdateSelectionColors();
    void UpdateIcons();
    QIcon NodeIcon(int ImageIndex, int SelectedIndex);

    std::unique_ptr<TTreeNodes> FItems;
    QTreeWidget* FTree = nullptr;
    TTimer* FChangeTimer = nullptr;
    QPointer<TImageList> FImages;
    QHash<quint64, QIcon> FIconCache; // by image and selected index; emptied when the images change
    TTreeNode* FSelected = nullptr;
    int FChangeDelay = 0;
    bool FHotTrack = false;
    bool FRowSelect = false;
    bool FShowLines = true;
    bool FShowRoot = true;
    bool FShowButtons = true;
    bool FReadOnly = false;
    bool FAutoExpand = false;
    bool FHideSelection = true;
    bool FReverting = false;
    bool FRemoving = false;
};
