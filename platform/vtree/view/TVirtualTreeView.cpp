// Construction, options, geometry and the tree lines.
#include "platform/vtree/view/TVirtualTreeView.h"

#include "platform/vtree/view/TVirtualTreeDelegate.h"

#include <QPainter>

TVirtualTreeView::TVirtualTreeView(TVirtualStringTree& Tree, QWidget* Parent)
    : QTreeView(Parent),
      FTree(Tree),
      FModel(new TVirtualTreeModel(Tree, this)),
      FDelegate(new TVirtualTreeDelegate(this)) {
  setItemDelegate(FDelegate);
  setModel(FModel);
  setHeaderHidden(true);
  setUniformRowHeights(true);
  // Expansion on a double click is the tree's toToggleOnDblClick, handled here.
  setExpandsOnDoubleClick(false);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::MoveAction);
  setDragEnabled(true);

  connect(FModel, &TVirtualTreeModel::FocusMoved, this, &TVirtualTreeView::FollowFocus);
  connect(FModel, &TVirtualTreeModel::NodeStateChanged, this, &TVirtualTreeView::FollowNodeState);
  connect(FModel, &TVirtualTreeModel::NodeExpanded, this, [this](const QModelIndex& i) { FollowExpansion(i, true); });
  connect(FModel, &TVirtualTreeModel::NodeCollapsed, this, [this](const QModelIndex& i) { FollowExpansion(i, false); });
  connect(FModel, &TVirtualTreeModel::StructureSettled, this, &TVirtualTreeView::FollowStructure);
  connect(FModel, &QAbstractItemModel::modelReset, this, &TVirtualTreeView::SyncAllFromTree);
  connect(FModel, &TVirtualTreeModel::PaintSuspended, this, [this] { setUpdatesEnabled(false); });
  connect(FModel, &TVirtualTreeModel::PaintResumed, this, [this] { setUpdatesEnabled(true); });
  connect(this, &QTreeView::expanded, this, &TVirtualTreeView::UserExpanded);
  connect(this, &QTreeView::collapsed, this, &TVirtualTreeView::UserCollapsed);

  FTree.NodeAtResolver = [this](int X, int Y) { return NodeAt(QPoint(X, Y)); };
  ApplyOptions();
  SyncAllFromTree();
  // A tree in the middle of an update bracket starts suspended.
  if (FTree.UpdateCount() > 0) setUpdatesEnabled(false);
}

TVirtualTreeView::~TVirtualTreeView() { FTree.NodeAtResolver = nullptr; }

void TVirtualTreeView::ApplyOptions() {
  const TVirtualTreeOptions& o = FTree.TreeOptions;
  setRootIsDecorated(o.PaintOptions & toShowRoot);
  setEditTriggers((o.MiscOptions & toEditable) ? (EditKeyPressed | SelectedClicked) : NoEditTriggers);
  setSelectionMode((o.SelectionOptions & toMultiSelect) ? ExtendedSelection : SingleSelection);
  setAcceptDrops(o.MiscOptions & toAcceptOLEDrop);
  setDropIndicatorShown(o.PaintOptions & toShowDropmark);
  viewport()->update();
}

PVirtualNode TVirtualTreeView::NodeAt(QPoint Point) const { return FModel->NodeOf(indexAt(Point)); }

QRect TVirtualTreeView::NodeRect(PVirtualNode Node) const { return visualRect(FModel->IndexOf(Node)); }

QRect TVirtualTreeView::CheckBoxRect(PVirtualNode Node) const {
  const QModelIndex index = FModel->IndexOf(Node);
  const QRect rect = visualRect(index);
  if (rect.isEmpty()) return {};
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  option.rect = rect;
  return FDelegate->CheckBoxRect(option, index);
}

void TVirtualTreeView::drawBranches(QPainter* Painter, const QRect& Rect, const QModelIndex& Index) const {
  if (FTree.TreeOptions.PaintOptions & toShowTreeLines) DrawTreeLines(Painter, Rect, Index);
  // The style's expand arrows.
  if (FTree.TreeOptions.PaintOptions & toShowButtons) QTreeView::drawBranches(Painter, Rect, Index);
}

void TVirtualTreeView::DrawTreeLines(QPainter* Painter, const QRect& Rect, const QModelIndex& Index) const {
  const int indent = indentation();
  if (indent <= 0 || Rect.width() < indent) return;
  Painter->save();
  Painter->setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DotLine));
  const int mid = Rect.top() + Rect.height() / 2;
  // The node's own cell is the rightmost one; each cell to its left belongs to one ancestor, whose
  // line goes on down while that ancestor has a sibling below.
  int left = Rect.right() + 1 - indent;
  bool own = true;
  for (QModelIndex i = Index; i.isValid() && left >= Rect.left(); i = i.parent(), left -= indent) {
    const int x = left + indent / 2;
    const bool more = i.sibling(i.row() + 1, 0).isValid();
    if (own) {
      Painter->drawLine(x, mid, left + indent - 2, mid);
      const bool firstOfAll = i.row() == 0 && !i.parent().isValid();
      if (!firstOfAll) Painter->drawLine(x, Rect.top(), x, mid);
      if (more) Painter->drawLine(x, mid, x, Rect.bottom());
      own = false;
    } else if (more) {
      Painter->drawLine(x, Rect.top(), x, Rect.bottom());
    }
  }
  Painter->restore();
}
