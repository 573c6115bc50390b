#pragma once
// A headless virtual tree: nodes with a data area, a hidden root, lazily created children,
// check marks, focus and selection, pre-order walks. It paints nothing; a view adapter attaches a
// TVirtualTreeObserver (see there for the announcement contract) and calls the user-side entry
// points (ToggleCheckByUser, SetText, StartDrag/DragOver/DragDrop, KeyDown).
// Descendants customise it through the protected Do* hooks; applications through the On* events,
// which the base Do* hooks raise. Not copyable; single-threaded.
//
//   TVirtualStringTree tree;
//   tree.SetNodeDataSize(sizeof(void*));
//   PVirtualNode a = tree.AddChild(nullptr);        // top level
//   tree.SetHasChildren(a, true);                    // children come from DoInitChildren on first need
//   for (PVirtualNode n = tree.GetFirst(); n; n = tree.GetNext(n)) { ... }   // loads as it goes down
#include "platform/vtree/TVirtualNode.h"
#include "platform/vtree/TVirtualTreeObserver.h"
#include "platform/vtree/VirtualTreeTypes.h"

#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class TVirtualStringTree {
public:
  TVirtualStringTree();
  virtual ~TVirtualStringTree();
  TVirtualStringTree(const TVirtualStringTree&) = delete;
  TVirtualStringTree& operator=(const TVirtualStringTree&) = delete;

  // --- structure ---
  PVirtualNode RootNode() const { return FRoot; }
  // Bytes of zero-filled data per node. Only while the tree has no nodes, else Exception.
  std::uint32_t NodeDataSize() const { return FNodeDataSize; }
  void SetNodeDataSize(std::uint32_t Value);
  std::uint32_t RootNodeCount() const;
  void SetRootNodeCount(std::uint32_t Value);               // grows with blank nodes or deletes from the end
  std::uint32_t TotalCount() const { return FTotalCount; }  // nodes that exist, root excluded

  // Appends a new last child of Parent (none or the root: top level). Parent is initialised first.
  PVirtualNode AddChild(PVirtualNode Parent);
  // Removes Node and its subtree; the free-node hook runs for each, children before their parent.
  void DeleteNode(PVirtualNode Node);
  void DeleteChildren(PVirtualNode Node);
  // Removes every node (free-node hook for each), resets focus and selection.
  virtual void Clear();
  // The node's data area, or nullptr for none, the root, or a zero NodeDataSize.
  void* GetNodeData(PVirtualNode Node) const;

  void BeginUpdate();
  void EndUpdate();  // without a matching BeginUpdate: nothing
  int UpdateCount() const { return FUpdateCount; }

  // --- initialisation and children ---
  // Runs the init-node hook once (vsInitialized afterwards).
  void InitNode(PVirtualNode Node);
  // For a node with the has-children mark and no children: initialises it, then runs the
  // init-children hook and applies the count it reports (SetChildCount; 0 clears the mark).
  void InitChildren(PVirtualNode Node);
  bool HasChildren(PVirtualNode Node) const;
  void SetHasChildren(PVirtualNode Node, bool Value);  // clearing deletes the children
  // Grows Node's children with blank nodes or deletes the last ones; 0 also clears the mark.
  void SetChildCount(PVirtualNode Node, std::uint32_t Count);

  // --- expansion ---
  bool Expanded(PVirtualNode Node) const;
  // Expanding: nothing for the root or an expanded node; loads children on first need; a load that
  // finds none leaves the node collapsed without its mark. Collapsing keeps the children.
  void SetExpanded(PVirtualNode Node, bool Value);
  void ToggleNode(PVirtualNode Node);
  void FullExpand(PVirtualNode Node = nullptr);    // Node and all below (none: the whole tree); loads
  void FullCollapse(PVirtualNode Node = nullptr);  // Node and all below that exist; loads nothing

  // --- walks (pre-order; the root is never returned) ---
  // Each node returned is initialised; GetNext loads a node's children before it goes down.
  PVirtualNode GetFirst();
  PVirtualNode GetNext(PVirtualNode Node);
  // Existing nodes only, nothing initialised or loaded on the way (for the adapter and helpers).
  PVirtualNode GetFirstNoInit() const;
  PVirtualNode GetNextNoInit(PVirtualNode Node) const;
  // Nodes whose CheckState is State, through every node that exists, collapsed branches too,
  // loading nothing; the node returned is initialised.
  PVirtualNode GetFirstChecked(TCheckState State = csCheckedNormal);
  PVirtualNode GetNextChecked(PVirtualNode Node, TCheckState State = csCheckedNormal);
  PVirtualNode GetNextSibling(PVirtualNode Node) const;
  PVirtualNode GetPreviousSibling(PVirtualNode Node) const;
  PVirtualNode GetFirstChild(PVirtualNode Node) const;  // none: the root
  PVirtualNode GetLastChild(PVirtualNode Node) const;
  // The child at 0-based Index of Parent (none: the root), or none. Walks from the nearest of the
  // first child, the last child and the previous answer, so that a view reading rows in order
  // pays O(1) a row.
  PVirtualNode GetChildAt(PVirtualNode Parent, std::uint32_t Index) const;
  // Nesting level: 0 for a top-level node.
  int GetNodeLevel(PVirtualNode Node) const;
  bool IsVisible(PVirtualNode Node) const;  // every ancestor expanded

  // --- geometry of the headless view: one row of DefaultNodeHeight per visible node ---
  int DefaultNodeHeight() const { return FDefaultNodeHeight; }
  void SetDefaultNodeHeight(int Value) { FDefaultNodeHeight = Value > 0 ? Value : 1; }
  // The node under the point, or none. A view adapter that knows real geometry installs NodeAtResolver.
  PVirtualNode GetNodeAt(int X, int Y) const;
  // The point at the middle-left of Node's row in the headless row model ((-1,-1) when not visible).
  QPoint GetNodePoint(PVirtualNode Node) const;
  std::function<PVirtualNode(int X, int Y)> NodeAtResolver;

  // --- focus and selection ---
  PVirtualNode FocusedNode() const { return FFocusedNode; }
  // The root or none leaves no node focused. Raises OnFocusChanged when it changes.
  void SetFocusedNode(PVirtualNode Node);
  bool Selected(PVirtualNode Node) const;
  // Raises the change hook when the selection changed. Without toMultiSelect, selecting one node
  // deselects the others.
  void SetSelected(PVirtualNode Node, bool Value);
  void ClearSelection();
  int SelectedCount() const { return static_cast<int>(FSelection.size()); }
  PVirtualNode GetFirstSelected() const;
  // A user's click on a row: focus it, select it alone.
  void UserSelect(PVirtualNode Node);

  // --- check marks ---
  // A user's click on the node's check box: changes that node alone (a radio button also clears
  // its checked siblings), announces NodeChanged and raises the checked hook. ctNone and ctButton
  // do nothing. The checking event may refuse.
  void ToggleCheckByUser(PVirtualNode Node);
  // Sets a node's check state through the tree, as a user would: events and announcement.
  void SetCheckState(PVirtualNode Node, TCheckState Value);

  // --- text, images, editing ---
  QString DefaultText() const { return FDefaultText; }
  void SetDefaultText(const QString& Value) { FDefaultText = Value; }
  // The text shown for Node: DefaultText, then the get-text hook.
  QString GetText(PVirtualNode Node, TColumnIndex Column = NoColumn, TVSTTextType TextType = ttNormal);
  // An edited caption comes back: raises the new-text hook, then NodeChanged.
  void SetText(PVirtualNode Node, TColumnIndex Column, const QString& Text);
  // -1 for no image.
  int GetImageIndex(PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column = NoColumn);

  // --- drag and drop, keyboard (the adapter calls these) ---
  // Source is the tree the drag came from, or none for a drag from elsewhere.
  void StartDrag();
  bool DragOver(TVirtualStringTree* Source, QPoint Pt);
  std::uint32_t DragDrop(TVirtualStringTree* Source, QPoint Pt);  // the drop effect
  void KeyDown(int Key);

  // Repaints everything: announces Invalidated.
  void Refresh();
  // Repaints one node: announces NodeChanged (after a change the tree cannot see, such as a caption).
  void InvalidateNode(PVirtualNode Node);

  TVirtualTreeOptions TreeOptions;

  void AddObserver(TVirtualTreeObserver* Observer);
  void RemoveObserver(TVirtualTreeObserver* Observer);

  // --- events (raised by the base hooks) ---
  std::function<void(TVirtualStringTree*, PVirtualNode ParentNode, PVirtualNode Node,
                     TVirtualNodeInitStates& InitialStates)>
      OnInitNode;
  std::function<void(TVirtualStringTree*, PVirtualNode Node, std::uint32_t& ChildCount)> OnInitChildren;
  std::function<void(TVirtualStringTree*, PVirtualNode Node)> OnFreeNode;
  std::function<void(TVirtualStringTree*, PVirtualNode Node, TColumnIndex, TVSTTextType, QString& CellText)> OnGetText;
  std::function<void(TVirtualStringTree*, PVirtualNode Node, TVTImageKind, TColumnIndex, bool& Ghosted,
                     int& ImageIndex)>
      OnGetImageIndex;
  std::function<void(TVirtualStringTree*, PVirtualNode Node)> OnChange;
  std::function<void(TVirtualStringTree*, PVirtualNode Node, TColumnIndex)> OnFocusChanged;
  std::function<void(TVirtualStringTree*, PVirtualNode Node, TCheckState& NewState, bool& Allowed)> OnChecking;
  std::function<void(TVirtualStringTree*, PVirtualNode Node)> OnChecked;
  std::function<void(TVirtualStringTree*, PVirtualNode Node, TColumnIndex, const QString& NewText)> OnNewText;
  std::function<void(TVirtualStringTree*)> OnStartDrag;
  std::function<void(TVirtualStringTree*, TVirtualStringTree* Source, QPoint Pt, std::uint32_t& Effect, bool& Accept)>
      OnDragOver;
  std::function<void(TVirtualStringTree*, TVirtualStringTree* Source, QPoint Pt, std::uint32_t& Effect)> OnDragDrop;
  std::function<void(TVirtualStringTree*, int& Key)> OnKeyDown;
  std::function<void(TVirtualStringTree*, PVirtualNode Node)> OnExpanded;
  std::function<void(TVirtualStringTree*, PVirtualNode Node)> OnCollapsed;

protected:
  virtual void DoInitNode(PVirtualNode ParentNode, PVirtualNode Node, TVirtualNodeInitStates& InitialStates);
  virtual void DoInitChildren(PVirtualNode Node, std::uint32_t& ChildCount);
  virtual void DoFreeNode(PVirtualNode Node);
  virtual void DoGetText(PVirtualNode Node, TColumnIndex Column, TVSTTextType TextType, QString& CellText);
  virtual void DoGetImageIndex(PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column, bool& Ghosted, int& Index);
  virtual void DoChange(PVirtualNode Node);
  virtual void DoFocusChange(PVirtualNode Node, TColumnIndex Column);
  virtual bool DoChecking(PVirtualNode Node, TCheckState& NewState);
  virtual void DoChecked(PVirtualNode Node);
  virtual void DoNewText(PVirtualNode Node, TColumnIndex Column, const QString& Text);
  virtual void DoStartDrag();
  virtual bool DoDragOver(TVirtualStringTree* Source, QPoint Pt, std::uint32_t& Effect);
  virtual void DoDragDrop(TVirtualStringTree* Source, QPoint Pt, std::uint32_t& Effect);
  virtual void DoKeyDown(int& Key);
  virtual void DoExpanded(PVirtualNode Node);
  virtual void DoCollapsed(PVirtualNode Node);
  // Around FullExpand's walk (nested calls included), on every path out: a descendant that loads
  // children may prepare for loading many at once. The walk and what it loads stay the same.
  // Node is the walk's top, none for the whole tree.
  virtual void DoBeforeFullExpand(PVirtualNode /*Node*/) {}
  virtual void DoAfterFullExpand() {}

  // Drops every application event handler: a destructor calls it, so that no handler runs against
  // a tree that is half gone.
  void DetachEvents();

  // Announcements to the observers.
  template <typename F>
  void Announce(F&& Call) {
    for (TVirtualTreeObserver* o : FObservers) Call(*o);
  }

private:
  class TBulkChange;

  PVirtualNode MakeNode();
  void FreeNodeMemory(PVirtualNode Node);
  void FreeSubtree(PVirtualNode Node);   // hooks children first, then releases; no announcements
  void FreeChildren(PVirtualNode Node);  // FreeSubtree and release for each child, then unlinks them all
  void Unlink(PVirtualNode Node);
  void ForgetSubtreeState(PVirtualNode Node, bool& SelectionChanged);
  PVirtualNode NextExisting(PVirtualNode Node) const;
  PVirtualNode SubtreeEnd(PVirtualNode Node) const;  // first node after Node's subtree, or none

  PVirtualNode FRoot = nullptr;
  std::uint32_t FNodeDataSize = 0;
  std::uint32_t FTotalCount = 0;
  int FUpdateCount = 0;
  int FBulkCount = 0;  // nesting of whole-tree FullExpand / FullCollapse
  int FDefaultNodeHeight = 18;
  PVirtualNode FFocusedNode = nullptr;
  std::vector<PVirtualNode> FSelection;         // small: one node without toMultiSelect
  PVirtualNode FWatchedNode = nullptr;          // a node a hook might delete; none once it is freed
  mutable PVirtualNode FLastChildAt = nullptr;  // GetChildAt's previous answer; none after any change
  QString FDefaultText = QStringLiteral("Node");
  std::vector<TVirtualTreeObserver*> FObservers;
};
