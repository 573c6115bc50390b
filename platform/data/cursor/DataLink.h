#pragma once
// Connects a control to a data source. Override the notifications; they arrive only while the link
// is active (a data source with an open dataset, enabled), except ActiveChanged itself, which comes
// each time Active() changes: on Open/Close of the dataset, on binding to a source whose dataset is
// open, on unbinding, and when the source or its dataset is destroyed; and also when the link moves
// to another source, or its source to another dataset, and is active afterwards.
class TDataSet;
class TDataSource;
class TField;

class TDataLink {
public:
  TDataLink() = default;
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;
  virtual ~TDataLink();  // unbinds without notifying (the derived part is already gone)

  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* Value);
  bool Active() const { return FActive; }
  TDataSet* DataSet() const;  // the data source's dataset, or nullptr
  bool VisualControl() const { return FVisualControl; }
  void SetVisualControl(bool Value) { FVisualControl = Value; }

protected:
  virtual void ActiveChanged() {}
  // Rows posted, deleted, inserted, refiltered, resorted. The base calls RecordChanged(nullptr).
  virtual void DataSetChanged();
  virtual void DataSetScrolled(int Distance) { (void)Distance; }
  virtual void RecordChanged(TField* Field) { (void)Field; }

private:
  friend class TDataSource;
  // Recomputes Active() and calls ActiveChanged when it changed, or when the source changed
  // while active.
  void UpdateActive(bool SourceChanged);
  void SourceGone();

  TDataSource* FDataSource = nullptr;
  bool FActive = false;
  bool FVisualControl = false;
};
