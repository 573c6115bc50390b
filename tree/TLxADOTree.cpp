#include "tree/TLxADOTree.h"

#include "platform/base/Exception.h"
#include "platform/data/ado/CustomADODataSet.h"

TLxADOTree::~TLxADOTree() = default;

void TLxADOTree::CreateCloneDataSet() {
  auto* master = dynamic_cast<TCustomADODataSet*>(Master());
  if (!master) throw Exception(QStringLiteral("DataSource Dataset is not TCustomADODataSet"));
  // Stored at once, so that a failure below still leaves it to the deactivation to destroy.
  auto* clone = master->NewInstance();
  FCloneDataSet.reset(clone);
  clone->Clone(*master, ltReadOnly);
  clone->SetActive(true);
}
