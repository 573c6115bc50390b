#pragma once
// A Qt item model over a TVirtualStringTree: one column, an index's internal pointer is its
// PVirtualNode, the tree's hidden root is the invalid index. It attaches itself as the tree's
// observer and only translates: structure announcements become begin/end insert, remove and reset;
// NodeChanged and Refresh become dataChanged; the rest (expansion, focus, update brackets) become
// signals that TVirtualTreeView acts on. A full expansion or collapse of the whole tree is one model
// reset: row by row, Qt's views would lay out their rows again for every node. What the user does comes back through the tree's own entry
// points: a check-box click is ToggleCheckByUser (that node alone, the checked hook once; Qt never
// propagates check states here), an edited caption is SetText, fetchMore is InitChildren.
// The tree must outlive the model.
//
//   TVirtualTreeModel model(tree);
//   QTreeView view;  view.setModel(&model);    // or TVirtualTreeView, which keeps both in step
#include "platform/vtree/TVirtualStringTree.h"
#include "platform/vtree/view/TVirtualTreeMimeData.h"

#include <QAbstractItemModel>
#include <exception>
#include <functional>

class TImageList;

class TVirtualTreeModel : public QAbstractItemModel, private TVirtualTreeObserver {
  Q_OBJECT
public:
  explicit TVirtualTreeModel(TVirtualStringTree& Tree, QObject* Parent = nullptr);
  ~TVirtualTreeModel() override;

  TVirtualStringTree& Tree() const { return FTree; }
  // none for the invalid index
  PVirtualNode NodeOf(const QModelIndex& Index) const;
  // The invalid index for none, the root, or a node being deleted.
  QModelIndex IndexOf(PVirtualNode Node) const;

  // Icons for the tree's image indices (DecorationRole); none, or an index out of range: no image.
  // Not owned; must outlive the model or be replaced first.
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* Value);

  // Whether a tree announcement is being translated now: the tree may not be changed from inside
  // one, so the view ignores what Qt does meanwhile, and a node first read then is initialised later.
  bool InAnnouncement() const { return FAnnouncing > 0; }

  // An error raised by the tree below a Qt entry point (setData, fetchMore, the view's event
  // handlers) goes here when set, since it must not unwind through Qt's frames; unset, it propagates.
  std::function<void(std::exception_ptr)> OnException;
  // Runs Call, handing an exception to OnException when set; true when no exception came.
  bool Guarded(const std::function<void()>& Call);

  // A load that failed is not tried again within the same user action: Qt asks for the children
  // several times while it expands a row, and one error is one message. The view forgets at the
  // start of every press and key.
  bool LoadFailed(PVirtualNode Node) const { return Node && Node == FFailedLoad; }
  void NoteFailedLoad(PVirtualNode Node) { FFailedLoad = Node; }
  void ForgetFailedLoad() { FFailedLoad = nullptr; }

  // --- QAbstractItemModel ---
  QModelIndex index(int Row, int Column, const QModelIndex& Parent = {}) const override;
  QModelIndex parent(const QModelIndex& Child) const override;
  int rowCount(const QModelIndex& Parent = {}) const override;
  int columnCount(const QModelIndex& Parent = {}) const override;
  bool hasChildren(const QModelIndex& Parent = {}) const override;
  bool canFetchMore(const QModelIndex& Parent) const override;
  void fetchMore(const QModelIndex& Parent) override;
  QVariant data(const QModelIndex& Index, int Role = Qt::DisplayRole) const override;
  // CheckStateRole: the user's click (ToggleCheckByUser when the state asked for differs);
  // EditRole: an edited caption (SetText), only with toEditable.
  bool setData(const QModelIndex& Index, const QVariant& Value, int Role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex& Index) const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& Indexes) const override;
  Qt::DropActions supportedDropActions() const override;
  Qt::DropActions supportedDragActions() const override;

signals:
  void NodeExpanded(const QModelIndex& Index);
  void NodeCollapsed(const QModelIndex& Index);
  // The tree's focused node changed (invalid: none).
  void FocusMoved(const QModelIndex& Index);
  // NodeChanged: selection, has-children mark or expansion may differ from what a view shows.
  void NodeStateChanged(const QModelIndex& Index);
  // After a structural change or reset: a view re-reads focus and selection from the tree.
  void StructureSettled();
  // The tree's outermost BeginUpdate / EndUpdate: suspend and resume painting.
  void PaintSuspended();
  void PaintResumed();

private:
  // --- TVirtualTreeObserver ---
  void BeforeInsertChildren(PVirtualNode Parent, int First, int Last) override;
  void AfterInsertChildren(PVirtualNode Parent, int First, int Last) override;
  void BeforeRemoveChildren(PVirtualNode Parent, int First, int Last) override;
  void AfterRemoveChildren(PVirtualNode Parent, int First, int Last) override;
  void BeforeReset() override;
  void AfterReset() override;
  void NodeChanged(PVirtualNode Node) override;
  void Invalidated() override;
  void Expanded(PVirtualNode Node) override;
  void Collapsed(PVirtualNode Node) override;
  void FocusChanged(PVirtualNode Node) override;
  void UpdateBegun() override;
  void UpdateEnded() override;
  void BulkBegun() override;
  void BulkEnded() override;

  // Nodes are initialised when first shown, as the tree's walks do when they pass them.
  void EnsureInitialized(PVirtualNode Node) const;
  bool ShowsCheckBox(PVirtualNode Node) const;

  TVirtualStringTree& FTree;
  TImageList* FImages = nullptr;
  int FAnnouncing = 0;
  // Inside the tree's bulk change: the model is being reset, and what the tree announces
  // meanwhile is read at its end instead.
  bool FInBulk = false;
  PVirtualNode FFailedLoad = nullptr;  // compared, never followed
};
