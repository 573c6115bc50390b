#include "platform/data/ado/CustomADODataSet.h"

#include "platform/base/Exception.h"
#include "platform/data/ado/ADOConnection.h"
#include "platform/data/cursor/RowStore.h"

using namespace Qt::StringLiterals;

TCustomADODataSet::~TCustomADODataSet() {
  try {
    Close();
  } catch (...) {  // a link's handler must not take the destructor down
  }
}

void TCustomADODataSet::Clone(TCustomADODataSet& Source, TLockType LockType) {
  if (!Source.Active()) throw Exception(u"Cannot perform this operation on a closed dataset"_s);
  if (&Source == this) throw Exception(u"A dataset cannot be cloned onto itself"_s);
  Close();
  FCloneStore = Source.Store();
  FLockType = LockType;
  Open();
}

void TCustomADODataSet::OpenOnRows(const std::vector<TFieldDef>& Fields,
                                   const std::vector<std::vector<QVariant>>& Rows) {
  Close();
  auto store = std::make_shared<TRowStore>(Fields);
  for (const auto& row : Rows) store->AppendRow(row);
  store->SettleTypes();
  FCloneStore = std::move(store);
  FLockType = ltUnspecified;
  Open();
}

void TCustomADODataSet::SetConnection(TADOConnection* Value) {
  FConnection = Value;
  ForgetGivenRows();
}

void TCustomADODataSet::ForgetGivenRows() {
  FCloneStore.reset();
  FLockType = ltUnspecified;
}

std::shared_ptr<TRowStore> TCustomADODataSet::OpenCursor() {
  if (FCloneStore) return FCloneStore;
  return Execute();
}

void TCustomADODataSet::CheckCanModify() const {
  if (FLockType == ltReadOnly) throw Exception(u"Cannot modify a read-only dataset"_s);
}

TADOConnection& TCustomADODataSet::CheckConnection() const {
  if (!FConnection) throw Exception(u"Missing Connection or ConnectionString"_s);
  if (!FConnection->Connected()) FConnection->Open();
  return *FConnection;
}
