// Keyboard, double click, drag and drop: the user's actions go to the tree's entry points.
#include "platform/vtree/view/TVirtualTreeView.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {
Qt::DropAction ToQt(std::uint32_t Effect) {
  if (Effect & deMove) return Qt::MoveAction;
  if (Effect & deCopy) return Qt::CopyAction;
  if (Effect & deLink) return Qt::LinkAction;
  return Qt::IgnoreAction;
}
}  // namespace

void TVirtualTreeView::mousePressEvent(QMouseEvent* Event) {
  FModel->ForgetFailedLoad();
  QTreeView::mousePressEvent(Event);
}

void TVirtualTreeView::keyPressEvent(QKeyEvent* Event) {
  FModel->ForgetFailedLoad();
  FModel->Guarded([&] { FTree.KeyDown(Event->key()); });
  QTreeView::keyPressEvent(Event);
}

void TVirtualTreeView::mouseDoubleClickEvent(QMouseEvent* Event) {
  FModel->ForgetFailedLoad();
  const QPoint point = Event->position().toPoint();
  const QPersistentModelIndex index = indexAt(point);
  // On the caption only: the expand button and the check box handle their own clicks.
  const bool onCaption =
      index.isValid() && visualRect(index).contains(point) && !CheckBoxRect(FModel->NodeOf(index)).contains(point);
  QTreeView::mouseDoubleClickEvent(Event);
  if (!onCaption || !index.isValid() || state() == EditingState) return;
  if (!(FTree.TreeOptions.MiscOptions & toToggleOnDblClick)) return;
  PVirtualNode node = FModel->NodeOf(index);
  FModel->Guarded([&] { FTree.ToggleNode(node); });
}

void TVirtualTreeView::startDrag(Qt::DropActions SupportedActions) {
  if (!FModel->Guarded([&] { FTree.StartDrag(); })) return;
  QTreeView::startDrag(SupportedActions);
}

void TVirtualTreeView::dragEnterEvent(QDragEnterEvent* Event) {
  if (!(FTree.TreeOptions.MiscOptions & toAcceptOLEDrop)) {
    Event->ignore();
    return;
  }
  QTreeView::dragEnterEvent(Event);
  // The tree's DragOver decides, for foreign drags too; a refused enter would hide them from it.
  Event->accept();
}

void TVirtualTreeView::dragMoveEvent(QDragMoveEvent* Event) {
  QTreeView::dragMoveEvent(Event);  // drop mark and auto-scroll
  if (DragOverAt(TVirtualTreeMimeData::SourceOf(Event->mimeData()), Event->position().toPoint())) {
    Event->setDropAction(Qt::MoveAction);
    Event->accept();
  } else {
    Event->ignore();
  }
}

void TVirtualTreeView::dropEvent(QDropEvent* Event) {
  // Not QTreeView's: the model inserts nothing; whatever moves, the tree moves through its hook.
  const std::uint32_t effect = DropAt(TVirtualTreeMimeData::SourceOf(Event->mimeData()), Event->position().toPoint());
  Event->setDropAction(ToQt(effect));
  Event->accept();
  stopAutoScroll();
  setState(NoState);
  viewport()->update();
}

bool TVirtualTreeView::DragOverAt(TVirtualStringTree* Source, QPoint Point) {
  bool accept = false;
  FModel->Guarded([&] { accept = FTree.DragOver(Source, Point); });
  return accept;
}

std::uint32_t TVirtualTreeView::DropAt(TVirtualStringTree* Source, QPoint Point) {
  std::uint32_t effect = deNone;
  FModel->Guarded([&] { effect = FTree.DragDrop(Source, Point); });
  return effect;
}
