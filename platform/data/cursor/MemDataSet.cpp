#include "platform/data/cursor/MemDataSet.h"

#include "platform/data/cursor/RowStore.h"

TMemDataSet::TMemDataSet(std::vector<TFieldDef> Fields, std::vector<std::vector<QVariant>> Rows)
    : FFieldDefs(std::move(Fields)), FRows(std::move(Rows)) {}

TMemDataSet::~TMemDataSet() {
  try {
    Close();
  } catch (...) {  // a link's handler must not take the destructor down
  }
}

std::shared_ptr<TRowStore> TMemDataSet::OpenCursor() {
  auto store = std::make_shared<TRowStore>(FFieldDefs);
  for (const auto& row : FRows) store->AppendRow(row);
  store->SettleTypes();
  return store;
}
