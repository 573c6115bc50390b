#include "platform/data/cursor/DataSource.h"

#include "platform/data/cursor/DataLink.h"
#include "platform/data/cursor/DataSet.h"

#include <algorithm>

TDataSource::TDataSource(TDataSet* DataSet) { SetDataSet(DataSet); }

TDataSource::~TDataSource() {
  if (FDataSet) {
    auto& sources = FDataSet->FDataSources;
    sources.erase(std::remove(sources.begin(), sources.end(), this), sources.end());
    FDataSet = nullptr;
  }
  for (TDataLink* link : std::vector<TDataLink*>(FLinks)) link->SourceGone();
}

void TDataSource::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  if (FDataSet) {
    auto& sources = FDataSet->FDataSources;
    sources.erase(std::remove(sources.begin(), sources.end(), this), sources.end());
  }
  FDataSet = Value;
  if (FDataSet) FDataSet->FDataSources.push_back(this);
  for (TDataLink* link : std::vector<TDataLink*>(FLinks))
    if (std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end()) link->UpdateActive(true);
}

void TDataSource::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateLinksActive();
}

void TDataSource::AddLink(TDataLink* Link) { FLinks.push_back(Link); }

void TDataSource::RemoveLink(TDataLink* Link) {
  FLinks.erase(std::remove(FLinks.begin(), FLinks.end(), Link), FLinks.end());
}

void TDataSource::DataSetGone() {
  FDataSet = nullptr;
  UpdateLinksActive();
}

template <typename Fn>
void TDataSource::ForEachLink(Fn Action) {
  // A handler may unbind links (its own or others); only links still bound are told.
  for (TDataLink* link : std::vector<TDataLink*>(FLinks))
    if (std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end()) Action(link);
}

void TDataSource::UpdateLinksActive() {
  ForEachLink([](TDataLink* Link) { Link->UpdateActive(false); });
}

void TDataSource::NotifyDataSetChanged() {
  if (!FEnabled) return;
  ForEachLink([](TDataLink* Link) {
    if (Link->Active()) Link->DataSetChanged();
  });
}

void TDataSource::NotifyScrolled(int Distance) {
  if (!FEnabled) return;
  ForEachLink([Distance](TDataLink* Link) {
    if (Link->Active()) Link->DataSetScrolled(Distance);
  });
}

void TDataSource::NotifyRecordChanged(TField* Field) {
  if (!FEnabled) return;
  ForEachLink([Field](TDataLink* Link) {
    if (Link->Active()) Link->RecordChanged(Field);
  });
}
