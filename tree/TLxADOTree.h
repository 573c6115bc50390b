#pragma once
// The data-bound tree for our query datasets: its clone is a read-only second cursor over the
// master's own rows (TCustomADODataSet::Clone). A master of another kind raises
// "DataSource Dataset is not TCustomADODataSet" from the activation (the master's Open).
#include "tree/TLxDBTreeView.h"

class TLxADOTree : public TLxDBTreeView {
public:
  ~TLxADOTree() override;

protected:
  void CreateCloneDataSet() override;
};
