#pragma once
// The data link of a data-bound tree: passes the master's notifications to the tree.
#include "platform/data/cursor/DataLink.h"

class TLxDBTreeView;

class TLxDBTreeViewLink : public TDataLink {
public:
  explicit TLxDBTreeViewLink(TLxDBTreeView* ADBTree);
  TLxDBTreeView* DBTree() const { return FDBTree; }
  // A data source with an open dataset that has the key, parent and caption fields (by name,
  // without regard to case). The has-children field is not required.
  bool IsDataAvail() const;

protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;
  void RecordChanged(TField* Field) override;

private:
  TLxDBTreeView* FDBTree;
};
