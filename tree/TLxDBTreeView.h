#pragma once
// A tree that shows the rows of a dataset (the master) as a hierarchy of (key, parent key,
// caption) rows. It reads the rows through a read-only second cursor (the clone) that a descendant
// makes, loads the top level when the master becomes available and every other branch on first
// need, keeps a key index (TLxNodeList) with one item per node, follows the master's current row,
// reflects posted changes, and writes caption edits and drag-and-drop moves back to the master.
//
//   TLxADOTree tree;
//   tree.DBTreeFields().SetKeyFieldName(u"Id"_s);     // also ParentFieldName, ListFieldName,
//   tree.DBTreeFields().SetParentOfRootValue(u"-1"_s); // ParentOfRootValue
//   tree.SetDataSource(&ds);                           // opening ds's query fills the tree
//
// Every node's data area holds one TLxNodeItem reference. Errors of the data layer and a
// "Duplicate list ID %s" during a load reach whoever caused the load; following the master's row
// (SyncToCurrentRecord) swallows its errors.
#include "platform/data/cursor/DataSet.h"
#include "platform/data/cursor/DataSource.h"
#include "platform/vtree/TVirtualStringTree.h"
#include "tree/TLxChildTable.h"
#include "tree/TLxDBTreeFields.h"
#include "tree/TLxDBTreeImages.h"
#include "tree/TLxDBTreeViewLink.h"
#include "tree/TLxNodeList.h"

#include <QVariant>
#include <memory>
#include <optional>

class TLxDBTreeView : public TVirtualStringTree {
public:
  TLxDBTreeView();
  ~TLxDBTreeView() override;

  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  TLxDBTreeFields& DBTreeFields() { return *FDBTreeFields; }
  TLxDBTreeImages& DBTreeImages() { return *FDBTreeImages; }

  // Empties the key index (destroying its items), then removes the nodes.
  void Clear() override;
  // Whether any row names the clone's current row as its parent; false without a clone.
  bool NodeHasChildren();

  // Binds the tree to Value. The same source again does nothing; destroying the source unbinds the tree.
  virtual void SetDataSource(TDataSource* Value);

protected:
  // Must leave an open, read-only second cursor over the master's rows in FCloneDataSet.
  virtual void CreateCloneDataSet() = 0;
  // A field of the master's current row changed (Field), or the row (none).
  virtual void DataRecordChanged(TField* Field);
  // Focuses the node of the master's current row, loading its branch if need be.
  virtual void SyncToCurrentRecord();
  // Closes and destroys the clone.
  virtual void FreeCloneDataSet();
  // Sets the clone's filter text for the children of Value (a key or the root value); does not
  // switch filtering on. "(F) AND (parentid=12)" under a master filter F, else "parentid=12".
  virtual void SetChildFilter(const QString& Value);

  // --- inner operations ---
  PVirtualNode AddNode(PVirtualNode Parent);  // for the clone's current row, as Parent's last child
  // A new last child of Parent with its key-index item; the has-children mark is the caller's.
  PVirtualNode AddItemNode(PVirtualNode Parent, const QString& Key, const QString& Caption);
  PVirtualNode FindNode(const QVariant& Key) const;
  TLxNodeItem* NodeItem(PVirtualNode Node) const;
  bool HasChildRecords(PVirtualNode Node);
  void LoadRootNodes();
  void BindCloneFields();
  TDataSet* Master() const { return FDataLink->DataSet(); }
  TLxNodeList& Nodes() const { return *FNodes; }

  void SyncCloneToMaster();
  PVirtualNode FindOrLoadNode(const QVariant& Key);
  void CheckFocusedRecord();
  void AddMissingCurrentNode();
  void FocusNode(PVirtualNode Node);
  QString GetNodeCaption(PVirtualNode Node) const;

  // --- hooks of the base tree ---
  void DoInitChildren(PVirtualNode Node, std::uint32_t& ChildCount) override;
  void DoBeforeFullExpand(PVirtualNode Node) override;
  void DoAfterFullExpand() override;
  void DoFreeNode(PVirtualNode Node) override;
  void DoGetText(PVirtualNode Node, TColumnIndex Column, TVSTTextType TextType, QString& CellText) override;
  void DoGetImageIndex(PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column, bool& Ghosted, int& Index) override;
  void DoKeyDown(int& Key) override;
  void DoChange(PVirtualNode Node) override;
  void DoNewText(PVirtualNode Node, TColumnIndex Column, const QString& Text) override;
  void DoStartDrag() override;
  bool DoDragOver(TVirtualStringTree* Source, QPoint Pt, std::uint32_t& Effect) override;
  void DoDragDrop(TVirtualStringTree* Source, QPoint Pt, std::uint32_t& Effect) override;

  std::unique_ptr<TDataSet> FCloneDataSet;

private:
  friend class TLxDBTreeViewLink;
  friend class TLxDBTreeFields;
  // Activation handling: rebuild from a fresh clone when the master is available, else empty.
  void DataActiveChanged();
  // The link's dataset-changed notice, after its record-changed part.
  void DataSetChanged();
  void SwitchCloneFilterOff() noexcept;
  // Loads the clone's rows under the current child filter as children of Parent (none: top level).
  std::uint32_t LoadFilteredRows(PVirtualNode Parent);
  // Within a full expansion: after the first filtered load when it covers the whole tree, once the
  // filtered loads have brought a sixteenth of the rows when it covers one branch, the rest come
  // from a table of the clone's rows read in one pass, where it can answer as the filter would
  // (TLxChildTable); Key is the branch just loaded.
  void ConsiderChildTable(const QString& Key, std::uint32_t Loaded);
  std::uint32_t LoadTableRows(const TLxChildTable& Table, PVirtualNode Parent, std::int64_t Key);
  // Leaves the clone as the filtered loads would have: the last branch's filter text, filtering
  // off, on the first row.
  void SettleChildFilter();
  // A change of the master's rows: the table no longer tells what the filter would find. The
  // master's notices are what call it: a row posted through another cursor over the same rows
  // while an expansion runs is not seen by the branches it loads from the table.
  void ForgetChildTable() { FChildTable.reset(); }
  void MoveRow(TField* ParentField);
  bool IsInSubtree(PVirtualNode Node, PVirtualNode Top) const;

  std::unique_ptr<TLxDBTreeViewLink> FDataLink;
  std::unique_ptr<TLxNodeList> FNodes;
  // Set while a record change is handled, so that the change does not feed back into itself. The name
  // keeps its historical spelling: the component's documented fields are named so.
  bool FRecordChaning = false;
  PVirtualNode FDraggedNode = nullptr;
  std::unique_ptr<TLxDBTreeFields> FDBTreeFields;
  bool FScrolling = false;
  TField* FCloneHasChildrenField = nullptr;
  TField* FCloneKeyField = nullptr;
  TField* FCloneParentField = nullptr;
  TField* FCloneListField = nullptr;
  std::unique_ptr<TLxDBTreeImages> FDBTreeImages;

  int FFullExpanding = 0;  // nesting of FullExpand
  bool FWholeTreeExpanding = false;
  std::uint32_t FLoadedInFullExpand = 0;
  bool FChildTableRefused = false;
  std::shared_ptr<const TLxChildTable> FChildTable;
  std::optional<QString> FChildFilterOwed;  // the key whose filter text the clone should show
};
