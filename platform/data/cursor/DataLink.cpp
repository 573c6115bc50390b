#include "platform/data/cursor/DataLink.h"

#include "platform/data/cursor/DataSet.h"
#include "platform/data/cursor/DataSource.h"

TDataLink::~TDataLink() {
  if (FDataSource) FDataSource->RemoveLink(this);
}

void TDataLink::SetDataSource(TDataSource* Value) {
  if (Value == FDataSource) return;
  if (FDataSource) FDataSource->RemoveLink(this);
  FDataSource = Value;
  if (FDataSource) FDataSource->AddLink(this);
  UpdateActive(true);
}

TDataSet* TDataLink::DataSet() const { return FDataSource ? FDataSource->DataSet() : nullptr; }

void TDataLink::DataSetChanged() { RecordChanged(nullptr); }

void TDataLink::UpdateActive(bool SourceChanged) {
  const bool active =
      FDataSource && FDataSource->Enabled() && FDataSource->DataSet() && FDataSource->DataSet()->Active();
  const bool was = FActive;
  FActive = active;
  // A change of source between two open datasets is a change of data for the control too.
  if (active != was || (SourceChanged && active)) ActiveChanged();
}

void TDataLink::SourceGone() {
  FDataSource = nullptr;
  UpdateActive(true);
}
