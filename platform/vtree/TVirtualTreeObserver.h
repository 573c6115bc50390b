#pragma once
// What a view adapter hears from a TVirtualStringTree. The tree stays free of any view; it calls
// every attached observer synchronously, on the thread that changed it, in this contract:
//
// - Structure. Every change of the node set is announced twice, immediately around the change,
//   whether or not an update bracket is open: Before* while the tree still shows the old shape,
//   After* once it shows the new one. Parent is the hidden root (TVirtualStringTree::RootNode())
//   for top-level nodes; First..Last are 0-based child positions (TVirtualNode::Index), inclusive.
//     * AddChild (also inside a lazy load): BeforeInsertChildren(Parent, n, n) with
//       Parent->ChildCount == n, then AfterInsertChildren(Parent, n, n) with the node linked.
//     * DeleteNode: BeforeRemoveChildren(Parent, i, i) with the node still linked; then the free-node
//       hook runs for the subtree (children first) and the memory goes; then AfterRemoveChildren.
//       A removed node's descendants are not announced on their own (they leave with it).
//     * Clearing a has-children mark or shrinking a child count: one Before/AfterRemoveChildren
//       over the children that go.
//     * Clear: BeforeReset, then all nodes go, then AfterReset. Nodes are invalid after BeforeReset.
//   Qt mapping: beginInsertRows/endInsertRows, beginRemoveRows/endRemoveRows, beginResetModel/endResetModel.
// - Lazy loads. A node with vsHasChildren and ChildCount == 0 has children not yet created
//   (canFetchMore). TVirtualStringTree::InitChildren (fetchMore), an expansion, or a walk that goes
//   down creates them; they arrive as ordinary insert announcements under that node. A load that
//   finds nothing clears the mark and announces NodeChanged(Node).
// - NodeChanged(Node): something shown for that node may differ: text, image, check state set
//   through the tree (a user click), the has-children mark, selection. Plain stores into
//   Node->CheckState announce nothing; the code that made them calls Refresh.
// - Invalidated(): Refresh; anything shown may differ (dataChanged over everything, or repaint).
// - Expanded(Node) / Collapsed(Node): after the node's vsExpanded changed (its children, loaded or
//   not, have been announced before Expanded). FullExpand / FullCollapse announce each node.
// - BulkBegun() / BulkEnded(): around a FullExpand or FullCollapse of the whole tree (nested ones:
//   the outermost), inside its update bracket, on every path out. Everything in between is still
//   announced as above; an observer may instead take the span as one change and read the whole
//   tree again at BulkEnded (Qt mapping: beginResetModel/endResetModel, nothing in between).
// - FocusChanged(Node): after FocusedNode changed; Node may be none.
// - UpdateBegun() / UpdateEnded(): the outermost BeginUpdate / EndUpdate (suspend painting);
//   structural announcements still come inside the bracket.
// An observer must not change the tree from inside any announcement, and must not read nodes
// between a Before* and its After* (freed nodes are gone by then).
//
// Reading the tree for a QAbstractItemModel: rowCount = Node->ChildCount (the nodes that exist;
// never load here); index(row, parent) = GetChildAt(parent, row); parent/row = Node->Parent and
// Node->Index; hasChildren = HasChildren(Node) or ChildCount > 0; canFetchMore = HasChildren(Node)
// && ChildCount == 0; fetchMore = InitChildren(Node). Text: GetText; images: GetImageIndex; check:
// Node->CheckState (InitNode first, which sets the check type through OnInitNode); a user's click:
// ToggleCheckByUser; focus and selection: UserSelect; an edit: SetText (only with toEditable in
// TreeOptions.MiscOptions); a drag: StartDrag, DragOver(Source, Pt), DragDrop(Source, Pt) with
// NodeAtResolver mapping Pt to the node under it.
#include "platform/vtree/TVirtualNode.h"

class TVirtualTreeObserver {
public:
  virtual ~TVirtualTreeObserver() = default;

  virtual void BeforeInsertChildren(PVirtualNode /*Parent*/, int /*First*/, int /*Last*/) {}
  virtual void AfterInsertChildren(PVirtualNode /*Parent*/, int /*First*/, int /*Last*/) {}
  virtual void BeforeRemoveChildren(PVirtualNode /*Parent*/, int /*First*/, int /*Last*/) {}
  virtual void AfterRemoveChildren(PVirtualNode /*Parent*/, int /*First*/, int /*Last*/) {}
  virtual void BeforeReset() {}
  virtual void AfterReset() {}
  virtual void NodeChanged(PVirtualNode /*Node*/) {}
  virtual void Invalidated() {}
  virtual void Expanded(PVirtualNode /*Node*/) {}
  virtual void Collapsed(PVirtualNode /*Node*/) {}
  virtual void FocusChanged(PVirtualNode /*Node*/) {}
  virtual void UpdateBegun() {}
  virtual void UpdateEnded() {}
  virtual void BulkBegun() {}
  virtual void BulkEnded() {}
};
