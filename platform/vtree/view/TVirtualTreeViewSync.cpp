// Keeping the view's current row, selection and expansion in step with the tree, both ways.
#include "platform/vtree/view/TVirtualTreeView.h"

namespace {
class TSyncing {
public:
  explicit TSyncing(int& Count) : FCount(Count) { ++FCount; }
  ~TSyncing() { --FCount; }
  TSyncing(const TSyncing&) = delete;
  TSyncing& operator=(const TSyncing&) = delete;

private:
  int& FCount;
};
}  // namespace

void TVirtualTreeView::FollowFocus(const QModelIndex& Index) {
  TSyncing s(FSyncing);
  if (selectionModel()->currentIndex() != Index) {
    // QTreeView scrolls to a new current row and opens its ancestors to do so; what is open is
    // the tree's to say, so the scroll comes below, for a node the tree shows.
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    selectionModel()->setCurrentIndex(Index, QItemSelectionModel::NoUpdate);
    setAutoScroll(scrolls);
  }
  PVirtualNode node = FModel->NodeOf(Index);
  if (node && FTree.IsVisible(node)) scrollTo(Index);
}

void TVirtualTreeView::SyncSelection(PVirtualNode Node) {
  const QModelIndex index = FModel->IndexOf(Node);
  if (!index.isValid()) return;
  const bool selected = FTree.Selected(Node);
  if (selectionModel()->isSelected(index) != selected)
    selectionModel()->select(
        index, (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) | QItemSelectionModel::Rows);
}

void TVirtualTreeView::FollowNodeState(const QModelIndex& Index) {
  PVirtualNode node = FModel->NodeOf(Index);
  if (!node) return;
  TSyncing s(FSyncing);
  SyncSelection(node);
  if (isExpanded(Index) != FTree.Expanded(node)) FollowExpansion(Index, FTree.Expanded(node));
  // QTreeView keeps each row's expand button from its last layout; a has-children mark that
  // changed without rows coming or going needs a new one.
  if (node->ChildCount == 0) scheduleDelayedItemsLayout();
}

void TVirtualTreeView::FollowExpansion(const QModelIndex& Index, bool Expanded) {
  if (!Index.isValid()) return;
  TSyncing s(FSyncing);
  // QTreeView collapses by its laid-out rows; rows it has not laid out yet would keep it open.
  // Expanding needs no layout: with one pending, QTreeView notes the row and lays it out open.
  if (!Expanded) executeDelayedItemsLayout();
  setExpanded(Index, Expanded);
}

void TVirtualTreeView::FollowStructure() {
  // Qt moves the current row itself when rows go; the tree's focused node is what counts.
  const QModelIndex focused = FModel->IndexOf(FTree.FocusedNode());
  if (selectionModel()->currentIndex() != focused) FollowFocus(focused);
}

void TVirtualTreeView::SyncAllFromTree() {
  TSyncing s(FSyncing);
  for (PVirtualNode n = FTree.GetFirstNoInit(); n; n = FTree.GetNextNoInit(n)) {
    if (FTree.Expanded(n)) setExpanded(FModel->IndexOf(n), true);
    if (FTree.Selected(n)) SyncSelection(n);
  }
  FollowFocus(FModel->IndexOf(FTree.FocusedNode()));
}

void TVirtualTreeView::currentChanged(const QModelIndex& Current, const QModelIndex& Previous) {
  QTreeView::currentChanged(Current, Previous);
  if (!Listening()) return;
  PVirtualNode node = FModel->NodeOf(Current);
  if (!node) return;
  FModel->Guarded([&] {
    if (FTree.TreeOptions.SelectionOptions & toMultiSelect)
      FTree.SetFocusedNode(node);
    else
      FTree.UserSelect(node);
  });
}

void TVirtualTreeView::selectionChanged(const QItemSelection& Selected, const QItemSelection& Deselected) {
  QTreeView::selectionChanged(Selected, Deselected);
  if (!Listening()) return;
  if (!(FTree.TreeOptions.SelectionOptions & toMultiSelect)) {
    // One selected node, the focused one: the tree's selection stands.
    TSyncing s(FSyncing);
    for (const QModelIndex& i : Selected.indexes()) SyncSelection(FModel->NodeOf(i));
    for (const QModelIndex& i : Deselected.indexes()) SyncSelection(FModel->NodeOf(i));
    return;
  }
  FModel->Guarded([&] {
    // Qt may report the selection before the current row; the tree's change hook reads the focus.
    FTree.SetFocusedNode(FModel->NodeOf(currentIndex()));
    for (const QModelIndex& i : Deselected.indexes()) FTree.SetSelected(FModel->NodeOf(i), false);
    for (const QModelIndex& i : Selected.indexes()) FTree.SetSelected(FModel->NodeOf(i), true);
  });
}

void TVirtualTreeView::focusInEvent(QFocusEvent* Event) {
  // Qt makes the first row current when the view gains focus without one; the tree's focus stands.
  {
    TSyncing s(FSyncing);
    QTreeView::focusInEvent(Event);
  }
  FollowStructure();
}

void TVirtualTreeView::UserExpanded(const QModelIndex& Index) {
  if (!Listening()) return;
  PVirtualNode node = FModel->NodeOf(Index);
  if (!node) return;
  if (!FModel->LoadFailed(node) && !FModel->Guarded([&] { FTree.SetExpanded(node, true); }))
    FModel->NoteFailedLoad(node);
  // A load that found nothing leaves the node collapsed without its button.
  if (!FTree.Expanded(node)) FollowNodeState(FModel->IndexOf(node));
}

void TVirtualTreeView::UserCollapsed(const QModelIndex& Index) {
  if (!Listening()) return;
  PVirtualNode node = FModel->NodeOf(Index);
  if (!node) return;
  FModel->Guarded([&] { FTree.SetExpanded(node, false); });
  if (FTree.Expanded(node)) FollowNodeState(FModel->IndexOf(node));
}
