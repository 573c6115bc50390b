#include "tree/TLxDBTreeViewLink.h"

#include "platform/data/cursor/DataSet.h"
#include "platform/data/cursor/DataSource.h"
#include "tree/TLxDBTreeView.h"

TLxDBTreeViewLink::TLxDBTreeViewLink(TLxDBTreeView* ADBTree) : FDBTree(ADBTree) { SetVisualControl(true); }

bool TLxDBTreeViewLink::IsDataAvail() const {
  TDataSet* dataSet = DataSet();
  if (!DataSource() || !dataSet || !dataSet->Active()) return false;
  const TLxDBTreeFields& f = FDBTree->DBTreeFields();
  auto has = [&](const QString& name) { return !name.isEmpty() && dataSet->FindField(name) != nullptr; };
  return has(f.KeyFieldName()) && has(f.ParentFieldName()) && has(f.ListFieldName());
}

void TLxDBTreeViewLink::ActiveChanged() { FDBTree->DataActiveChanged(); }

void TLxDBTreeViewLink::DataSetChanged() {
  FDBTree->ForgetChildTable();
  TDataLink::DataSetChanged();  // reports the row as changed: DataRecordChanged(none)
  FDBTree->DataSetChanged();
}

void TLxDBTreeViewLink::DataSetScrolled(int /*Distance*/) {
  if (FDBTree->FCloneDataSet) FDBTree->SyncToCurrentRecord();
}

void TLxDBTreeViewLink::RecordChanged(TField* Field) {
  FDBTree->ForgetChildTable();
  if (FDBTree->FCloneDataSet) FDBTree->DataRecordChanged(Field);
}
