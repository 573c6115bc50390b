// Structure of the model and the translation of the tree's announcements.
#include "platform/vtree/view/TVirtualTreeModel.h"

#include <algorithm>

namespace {
// Counts the Qt notifications a tree announcement sends, during which views move their current
// index on their own.
class TAnnouncing {
public:
  explicit TAnnouncing(int& Count) : FCount(Count) { ++FCount; }
  ~TAnnouncing() { --FCount; }
  TAnnouncing(const TAnnouncing&) = delete;
  TAnnouncing& operator=(const TAnnouncing&) = delete;

private:
  int& FCount;
};

const TVirtualTreeMimeData* AsTreeMimeData(const QMimeData* Data) {
  return qobject_cast<const TVirtualTreeMimeData*>(Data);
}
}  // namespace

TVirtualStringTree* TVirtualTreeMimeData::SourceOf(const QMimeData* Data) {
  const TVirtualTreeMimeData* ours = AsTreeMimeData(Data);
  return ours ? ours->Source() : nullptr;
}

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

PVirtualNode TVirtualTreeModel::ChildAt(PVirtualNode Parent, int Row) const {
  const auto row = static_cast<std::uint32_t>(Row);
  PVirtualNode n = nullptr;
  // Start from the nearest of the first child, the last child and the node found last.
  std::uint32_t fromFirst = row;
  std::uint32_t fromLast = Parent->ChildCount - 1 - row;
  n = fromFirst <= fromLast ? Parent->FirstChild : Parent->LastChild;
  std::uint32_t distance = std::min(fromFirst, fromLast);
  if (FLastFound && FLastFound->Parent == Parent) {
    const std::uint32_t d = FLastFound->Index > row ? FLastFound->Index - row : row - FLastFound->Index;
    if (d < distance) n = FLastFound;
  }
  while (n && n->Index < row) n = n->NextSibling;
  while (n && n->Index > row) n = n->PrevSibling;
  FLastFound = n;
  return n;
}

QModelIndex TVirtualTreeModel::index(int Row, int Column, const QModelIndex& Parent) const {
  if (Row < 0 || Column != 0 || (Parent.isValid() && Parent.column() != 0)) return {};
  PVirtualNode parent = Parent.isValid() ? NodeOf(Parent) : FTree.RootNode();
  if (!parent || static_cast<std::uint32_t>(Row) >= parent->ChildCount) return {};
  PVirtualNode node = ChildAt(parent, Row);
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
  return node && Parent.column() == 0 && node->ChildCount == 0 && (node->States & vsHasChildren) &&
         !LoadFailed(node);
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
  TAnnouncing a(FAnnouncing);
  FLastFound = nullptr;
  beginInsertRows(IndexOf(Parent), First, Last);
}

void TVirtualTreeModel::AfterInsertChildren(PVirtualNode /*Parent*/, int /*First*/, int /*Last*/) {
  {
    TAnnouncing a(FAnnouncing);
    FLastFound = nullptr;
    endInsertRows();
  }
  emit StructureSettled();
}

void TVirtualTreeModel::BeforeRemoveChildren(PVirtualNode Parent, int First, int Last) {
  TAnnouncing a(FAnnouncing);
  FLastFound = nullptr;
  FFailedLoad = nullptr;
  beginRemoveRows(IndexOf(Parent), First, Last);
}

void TVirtualTreeModel::AfterRemoveChildren(PVirtualNode /*Parent*/, int /*First*/, int /*Last*/) {
  {
    TAnnouncing a(FAnnouncing);
    FLastFound = nullptr;
    endRemoveRows();
  }
  emit StructureSettled();
}

void TVirtualTreeModel::BeforeReset() {
  TAnnouncing a(FAnnouncing);
  FLastFound = nullptr;
  FFailedLoad = nullptr;
  beginResetModel();
}

void TVirtualTreeModel::AfterReset() {
  {
    TAnnouncing a(FAnnouncing);
    FLastFound = nullptr;
    endResetModel();
  }
  emit StructureSettled();
}

void TVirtualTreeModel::NodeChanged(PVirtualNode Node) {
  const QModelIndex index = IndexOf(Node);
  if (!index.isValid()) return;
  emit dataChanged(index, index);
  emit NodeStateChanged(index);
}

void TVirtualTreeModel::Invalidated() {
  // One range per parent, as dataChanged wants, over every node that exists.
  auto announce = [this](PVirtualNode Parent) {
    if (Parent->ChildCount == 0) return;
    emit dataChanged(IndexOf(Parent->FirstChild), IndexOf(Parent->LastChild));
  };
  announce(FTree.RootNode());
  for (PVirtualNode n = FTree.GetFirstNoInit(); n; n = FTree.GetNextNoInit(n)) announce(n);
}

void TVirtualTreeModel::Expanded(PVirtualNode Node) { emit NodeExpanded(IndexOf(Node)); }

void TVirtualTreeModel::Collapsed(PVirtualNode Node) { emit NodeCollapsed(IndexOf(Node)); }

void TVirtualTreeModel::FocusChanged(PVirtualNode Node) { emit FocusMoved(IndexOf(Node)); }

void TVirtualTreeModel::UpdateBegun() { emit PaintSuspended(); }

void TVirtualTreeModel::UpdateEnded() { emit PaintResumed(); }
