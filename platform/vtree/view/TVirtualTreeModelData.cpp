// What the model shows for a node, what it takes back from an editor, and what a drag carries.
#include "platform/vtree/view/TVirtualTreeModel.h"

#include "platform/vtree/view/TImageList.h"

#include <QPersistentModelIndex>

namespace {
Qt::CheckState ToQt(TCheckState State) {
  switch (State) {
  case csCheckedNormal:
  case csCheckedPressed:
    return Qt::Checked;
  case csMixedNormal:
  case csMixedPressed:
    return Qt::PartiallyChecked;
  case csUncheckedNormal:
  case csUncheckedPressed:
    break;
  }
  return Qt::Unchecked;
}
}  // namespace

void TVirtualTreeModel::EnsureInitialized(PVirtualNode Node) const {
  if (Node->States & vsInitialized) return;
  auto* self = const_cast<TVirtualTreeModel*>(this);
  const QPersistentModelIndex index = IndexOf(Node);
  if (FAnnouncing > 0) {
    // A view laying out rows inside an announcement: initialise once the tree is done.
    QMetaObject::invokeMethod(
        self,
        [self, index] {
          PVirtualNode node = self->NodeOf(index);
          if (!index.isValid() || !node || (node->States & vsInitialized)) return;
          self->EnsureInitialized(node);
          emit self->dataChanged(index, index);
        },
        Qt::QueuedConnection);
    return;
  }
  const bool hadChildren = Node->States & vsHasChildren;
  FTree.InitNode(Node);
  // An init hook that gave the node an expand button says so without an announcement; a view
  // laid the row out already, so it hears of it once the current paint is over.
  if (!hadChildren && (Node->States & vsHasChildren))
    QMetaObject::invokeMethod(
        self,
        [self, index] {
          if (index.isValid()) emit self->NodeStateChanged(index);
        },
        Qt::QueuedConnection);
}

bool TVirtualTreeModel::ShowsCheckBox(PVirtualNode Node) const {
  return (FTree.TreeOptions.MiscOptions & toCheckSupport) && Node->CheckType != ctNone && Node->CheckType != ctButton;
}

QVariant TVirtualTreeModel::data(const QModelIndex& Index, int Role) const {
  PVirtualNode node = NodeOf(Index);
  if (!node) return {};
  EnsureInitialized(node);
  switch (Role) {
  case Qt::DisplayRole:
  case Qt::EditRole:
    return FTree.GetText(node, NoColumn, ttNormal);
  case Qt::CheckStateRole:
    if (!ShowsCheckBox(node)) return {};
    return ToQt(node->CheckState);
  case Qt::DecorationRole: {
    if (!FImages) return {};
    const int image = FTree.GetImageIndex(node, FTree.Selected(node) ? ikSelected : ikNormal, NoColumn);
    if (!FImages->Has(image)) return {};
    return FImages->Icon(image);
  }
  default:
    return {};
  }
}

bool TVirtualTreeModel::setData(const QModelIndex& Index, const QVariant& Value, int Role) {
  PVirtualNode node = NodeOf(Index);
  if (!node) return false;
  if (Role == Qt::CheckStateRole) {
    EnsureInitialized(node);
    if (!ShowsCheckBox(node)) return false;
    // Qt asks for the state it would show next; the tree decides what a click means.
    if (Value.toInt() == ToQt(node->CheckState)) return true;
    return Guarded([&] { FTree.ToggleCheckByUser(node); });
  }
  if (Role == Qt::EditRole) {
    if (!(FTree.TreeOptions.MiscOptions & toEditable)) return false;
    return Guarded([&] { FTree.SetText(node, NoColumn, Value.toString()); });
  }
  return false;
}

Qt::ItemFlags TVirtualTreeModel::flags(const QModelIndex& Index) const {
  const bool drops = FTree.TreeOptions.MiscOptions & toAcceptOLEDrop;
  PVirtualNode node = NodeOf(Index);
  if (!node) return drops ? Qt::ItemIsDropEnabled : Qt::NoItemFlags;
  EnsureInitialized(node);
  // Never ItemIsAutoTristate or ItemIsUserTristate: a click changes the clicked node alone.
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
  if (drops) flags |= Qt::ItemIsDropEnabled;
  if (ShowsCheckBox(node)) flags |= Qt::ItemIsUserCheckable;
  if (FTree.TreeOptions.MiscOptions & toEditable) flags |= Qt::ItemIsEditable;
  return flags;
}

QStringList TVirtualTreeModel::mimeTypes() const { return {TVirtualTreeMimeData::MimeType()}; }

QMimeData* TVirtualTreeModel::mimeData(const QModelIndexList& Indexes) const {
  if (Indexes.isEmpty()) return nullptr;
  auto* data = new TVirtualTreeMimeData(&FTree);
  // The node itself travels as the tree's focused node (StartDrag); the format marks the drag as ours.
  data->setData(TVirtualTreeMimeData::MimeType(), QByteArray());
  return data;
}

Qt::DropActions TVirtualTreeModel::supportedDropActions() const {
  return Qt::MoveAction | Qt::CopyAction | Qt::LinkAction;
}

Qt::DropActions TVirtualTreeModel::supportedDragActions() const { return Qt::MoveAction | Qt::CopyAction; }
