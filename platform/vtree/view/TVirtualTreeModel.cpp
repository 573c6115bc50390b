// Structure of the model and the translation of the tree's announcements.
#include "platform/vtree/view/TVirtualTreeModel.h"

namespace {
// Counts the announcements being translated: meanwhile nothing may change the tree, and Qt's
// own moves of a view's current index (inside the insert and remove notifications) are not the user's.
class TAnnouncing {
public:
  explicit TAnnouncing(int& Count) : FCount(Count) { ++FCount; }
  ~TAnnouncing() { --FCount; }
  TAnnouncing(const TAnnouncing&) = delete;
  TAnnouncing& operator=(const TAnnouncing&) = delete;

private:
  int& FCount;
};
}  // namespace

TVirtualTreeModel::TVirtualTreeModel(TVirtualStringTree& Tree, QObject* Parent)
    : QAbstractItemModel(Parent), FTree(Tree) {
  FTree.AddObserver(this);
}

TVirtualTreeModel::~TVirtualTreeModel() { FTree.RemoveObserver(this); }

bool TVirtualTreeModel::Guarded(const std::function<void()>& Call) {
  if (!OnException) {
    Call();
    return true;
  }
  try {
    Call();
    return true;
  } catch (...) {
    OnException(std::current_exception());
    return false;
  }
}

PVirtualNode TVirtualTreeModel::NodeOf(const QModelIndex& Index) const {
  if (!Index.isValid() || Index.model() != this) return nullptr;
  return static_cast<PVirtualNode>(Index.internalPointer());
}

QModelIndex TVirtualTreeModel::IndexOf(PVirtualNode Node) const {
  if (!Node || Node == FTree.RootNode() || (Node->States & vsDeleting)) return {};
  return createIndex(static_cast<int>(Node->Index), 0, Node);
}

QModelIndex TVirtualTreeModel::index(int Row, int Column, const QModelIndex& Parent) const {
  if (Row < 0 || Column != 0 || (Parent.isValid() && Parent.column() != 0)) return {};
  PVirtualNode parent = Parent.isValid() ? NodeOf(Parent) : FTree.RootNode();
  if (!parent || static_cast<std::uint32_t>(Row) >= parent->ChildCount) return {};
  PVirtualNode node = FTree.GetChildAt(parent, static_cast<std::uint32_t>(Row));
  return node ? createIndex(Row, 0, node) : QModelIndex();
}

QModelIndex TVirtualTreeModel::parent(const QModelIndex& Child) const {
  PVirtualNode node = NodeOf(Child);
  if (!node) return {};
  return IndexOf(node->Parent);
}

int TVirtualTreeModel::rowCount(const QModelIndex& Parent) const {
  if (Parent.isValid() && Parent.column() != 0) return 0;
  PVirtualNode node = Parent.isValid() ? NodeOf(Parent) : FTree.RootNode();
  return node ? static_cast<int>(node->ChildCount) : 0;
}

int TVirtualTreeModel::columnCount(const QModelIndex& /*Parent*/) const { return 1; }

bool TVirtualTreeModel::hasChildren(const QModelIndex& Parent) const {
  if (!Parent.isValid()) return FTree.RootNode()->ChildCount > 0;
  PVirtualNode node = NodeOf(Parent);
  if (!node || Parent.column() != 0) return false;
  return node->ChildCount > 0 || (node->States & vsHasChildren);
}

bool TVirtualTreeModel::canFetchMore(const QModelIndex& Parent) const {
  PVirtualNode node = NodeOf(Parent);
  return node && Parent.column() == 0 && node->ChildCount == 0 && (node->States & vsHasChildren) && !LoadFailed(node);
}

void TVirtualTreeModel::fetchMore(const QModelIndex& Parent) {
  PVirtualNode node = NodeOf(Parent);
  if (!node || LoadFailed(node)) return;
  if (!Guarded([&] { FTree.InitChildren(node); })) NoteFailedLoad(node);
}

void TVirtualTreeModel::SetImages(TImageList* Value) {
  if (Value == FImages) return;
  FImages = Value;
  Invalidated();
}

// --- the tree's announcements ---

void TVirtualTreeModel::BeforeInsertChildren(PVirtualNode Parent, int First, int Last) {
  if (FInBulk) return;
  TAnnouncing a(FAnnouncing);
  beginInsertRows(IndexOf(Parent), First, Last);
}

void TVirtualTreeModel::AfterInsertChildren(PVirtualNode /*Parent*/, int /*First*/, int /*Last*/) {
  if (FInBulk) return;
  TAnnouncing a(FAnnouncing);
  endInsertRows();
  emit StructureSettled();
}

void TVirtualTreeModel::BeforeRemoveChildren(PVirtualNode Parent, int First, int Last) {
  if (FInBulk) return;
  TAnnouncing a(FAnnouncing);
  FFailedLoad = nullptr;
  beginRemoveRows(IndexOf(Parent), First, Last);
}

void TVirtualTreeModel::AfterRemoveChildren(PVirtualNode /*Parent*/, int /*First*/, int /*Last*/) {
  if (FInBulk) return;
  TAnnouncing a(FAnnouncing);
  endRemoveRows();
  emit StructureSettled();
}

void TVirtualTreeModel::BeforeReset() {
  if (FInBulk) return;
  TAnnouncing a(FAnnouncing);
  FFailedLoad = nullptr;
  beginResetModel();
}

void TVirtualTreeModel::AfterReset() {
  if (FInBulk) return;
  TAnnouncing a(FAnnouncing);
  endResetModel();
  emit StructureSettled();
}

void TVirtualTreeModel::NodeChanged(PVirtualNode Node) {
  if (FInBulk) return;
  TAnnouncing a(FAnnouncing);
  const QModelIndex index = IndexOf(Node);
  if (!index.isValid()) return;
  emit dataChanged(index, index);
  emit NodeStateChanged(index);
}

void TVirtualTreeModel::Invalidated() {
  if (FInBulk) return;
  TAnnouncing a(FAnnouncing);
  // One range per parent, as dataChanged wants, over every node that exists.
  auto announce = [this](PVirtualNode Parent) {
    if (Parent->ChildCount == 0) return;
    emit dataChanged(IndexOf(Parent->FirstChild), IndexOf(Parent->LastChild));
  };
  announce(FTree.RootNode());
  for (PVirtualNode n = FTree.GetFirstNoInit(); n; n = FTree.GetNextNoInit(n)) announce(n);
}

void TVirtualTreeModel::Expanded(PVirtualNode Node) {
  if (FInBulk) return;
  TAnnouncing a(FAnnouncing);
  emit NodeExpanded(IndexOf(Node));
}

void TVirtualTreeModel::Collapsed(PVirtualNode Node) {
  if (FInBulk) return;
  TAnnouncing a(FAnnouncing);
  emit NodeCollapsed(IndexOf(Node));
}

void TVirtualTreeModel::FocusChanged(PVirtualNode Node) {
  if (FInBulk) return;
  TAnnouncing a(FAnnouncing);
  emit FocusMoved(IndexOf(Node));
}

void TVirtualTreeModel::UpdateBegun() {
  TAnnouncing a(FAnnouncing);
  emit PaintSuspended();
}

void TVirtualTreeModel::UpdateEnded() {
  TAnnouncing a(FAnnouncing);
  emit PaintResumed();
}

void TVirtualTreeModel::BulkBegun() {
  TAnnouncing a(FAnnouncing);
  FFailedLoad = nullptr;
  beginResetModel();
  FInBulk = true;
}

void TVirtualTreeModel::BulkEnded() {
  TAnnouncing a(FAnnouncing);
  FInBulk = false;
  endResetModel();
  emit StructureSettled();
}
