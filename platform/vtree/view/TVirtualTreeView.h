#pragma once
// The tree control on screen: a QTreeView over its own TVirtualTreeModel that keeps the view and
// the tree in step both ways. Expansion (button, keys, double click with toToggleOnDblClick)
// goes to SetExpanded/ToggleNode and children load on demand; the tree's Expanded/Collapsed
// announcements open and close rows. The current row is the tree's FocusedNode: a user's move is
// UserSelect (SetFocusedNode and SetSelected with toMultiSelect), the tree's FocusChanged moves the
// current row. Drag and drop go to StartDrag, DragOver and DragDrop with the tree the drag came from
// (none for a foreign drag) and points in viewport coordinates; the tree's GetNodeAt uses the
// view's rows while the view lives. BeginUpdate/EndUpdate suspend painting only.
// ApplyOptions maps TreeOptions (check boxes, editing, buttons, root, tree lines, drops, selection);
// call it again after changing them. The tree must outlive the view.
//
//   TVirtualTreeView view(tree, parentWidget);
//   view.Model().OnException = [](std::exception_ptr e) { ... };   // errors below Qt's event handlers
#include "platform/vtree/TVirtualStringTree.h"
#include "platform/vtree/view/TVirtualTreeModel.h"

#include <QTreeView>
#include <cstdint>

class TImageList;
class TVirtualTreeDelegate;

class TVirtualTreeView : public QTreeView {
  Q_OBJECT
public:
  explicit TVirtualTreeView(TVirtualStringTree& Tree, QWidget* Parent = nullptr);
  ~TVirtualTreeView() override;

  TVirtualStringTree& Tree() const { return FTree; }
  TVirtualTreeModel& Model() const { return *FModel; }
  void ApplyOptions();
  void SetImages(TImageList* Images) { FModel->SetImages(Images); }

  // Geometry in viewport coordinates; none / empty when the node's row is not laid out (hidden).
  PVirtualNode NodeAt(QPoint Point) const;
  QRect NodeRect(PVirtualNode Node) const;
  QRect CheckBoxRect(PVirtualNode Node) const;

  // The drop entry points the drag events use; Source is the tree the drag came from, or none.
  bool DragOverAt(TVirtualStringTree* Source, QPoint Point);
  std::uint32_t DropAt(TVirtualStringTree* Source, QPoint Point);  // the tree's drop effect

protected:
  void currentChanged(const QModelIndex& Current, const QModelIndex& Previous) override;
  void selectionChanged(const QItemSelection& Selected, const QItemSelection& Deselected) override;
  void focusInEvent(QFocusEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseDoubleClickEvent(QMouseEvent* Event) override;
  void startDrag(Qt::DropActions SupportedActions) override;
  void dragEnterEvent(QDragEnterEvent* Event) override;
  void dragMoveEvent(QDragMoveEvent* Event) override;
  void dropEvent(QDropEvent* Event) override;
  void drawBranches(QPainter* Painter, const QRect& Rect, const QModelIndex& Index) const override;

private:
  // Tree -> view, with FSyncing set so that the view's own signals do not go back to the tree.
  void FollowFocus(const QModelIndex& Index);
  void FollowNodeState(const QModelIndex& Index);
  void FollowExpansion(const QModelIndex& Index, bool Expanded);
  void FollowStructure();
  void SyncAllFromTree();
  void SyncSelection(PVirtualNode Node);
  // View -> tree.
  void UserExpanded(const QModelIndex& Index);
  void UserCollapsed(const QModelIndex& Index);
  bool Listening() const { return !FSyncing && !FModel->InAnnouncement(); }
  void DrawTreeLines(QPainter* Painter, const QRect& Rect, const QModelIndex& Index) const;

  TVirtualStringTree& FTree;
  TVirtualTreeModel* FModel;        // owned as a child object
  TVirtualTreeDelegate* FDelegate;  // owned as a child object
  int FSyncing = 0;
};
