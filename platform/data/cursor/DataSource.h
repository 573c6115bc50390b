#pragma once
// Sits between one dataset and any number of data links and passes the dataset's notifications on
// to them. Destroying the data source detaches its links (each sees ActiveChanged when it was
// active); destroying the dataset leaves the data source with no dataset (same notice).
#include <vector>

class TDataSet;
class TDataLink;
class TField;

class TDataSource {
public:
  TDataSource() = default;
  explicit TDataSource(TDataSet* DataSet);
  TDataSource(const TDataSource&) = delete;
  TDataSource& operator=(const TDataSource&) = delete;
  ~TDataSource();

  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);  // links see ActiveChanged when their active state changes
  // A disabled data source keeps its links inactive.
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool AutoEdit() const { return FAutoEdit; }
  void SetAutoEdit(bool Value) { FAutoEdit = Value; }

private:
  friend class TDataSet;
  friend class TDataLink;
  void AddLink(TDataLink* Link);
  void RemoveLink(TDataLink* Link);
  void DataSetGone();  // the dataset is being destroyed
  template <typename Fn>
  void ForEachLink(Fn Action);
  void UpdateLinksActive();
  void NotifyDataSetChanged();
  void NotifyScrolled(int Distance);
  void NotifyRecordChanged(TField* Field);

  TDataSet* FDataSet = nullptr;
  std::vector<TDataLink*> FLinks;
  bool FEnabled = true;
  bool FAutoEdit = true;
};
