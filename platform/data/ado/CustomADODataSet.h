#pragma once
// Our query dataset: rows fetched at once from a SQL driver through a TADOConnection, or shared
// with another TCustomADODataSet by Clone.
//
//   std::unique_ptr<TCustomADODataSet> clone(master.NewInstance());
//   clone->Clone(master, ltReadOnly);   // own position, filter and sort over master's rows
#include "platform/data/cursor/DataSet.h"
#include "platform/data/cursor/FieldDef.h"

#include <vector>

class TADOConnection;

class TCustomADODataSet : public TDataSet {
public:
  TCustomADODataSet() = default;
  ~TCustomADODataSet() override;

  TADOConnection* Connection() const { return FConnection; }
  void SetConnection(TADOConnection* Value);  // also drops rows that Clone or OpenOnRows gave

  // Closes this dataset and opens it as a second cursor over Source's rows (Source must be open):
  // own position, filter and sort, shared rows and indexes. With ltReadOnly, Edit/Insert/Append/
  // Delete raise "Cannot modify a read-only dataset". The clone keeps the rows alive even if Source
  // closes; it sees what Source posts afterwards. Reopening a closed clone opens on the same rows,
  // until a new connection or statement is set.
  void Clone(TCustomADODataSet& Source, TLockType LockType = ltReadOnly);
  TLockType LockType() const { return FLockType; }

  // A new dataset of this object's exact class, unbound and closed; the caller owns it.
  virtual TCustomADODataSet* NewInstance() const = 0;

  // Opens on rows given here instead of a query (tests and offline data); types are taken from the
  // definitions, values as given.
  void OpenOnRows(const std::vector<TFieldDef>& Fields, const std::vector<std::vector<QVariant>>& Rows);

protected:
  std::shared_ptr<TRowStore> OpenCursor() override;
  // Runs the statement of the derived class on the connection.
  virtual std::shared_ptr<TRowStore> Execute() = 0;
  void CheckCanModify() const override;
  TADOConnection& CheckConnection() const;  // "Missing Connection or ConnectionString"; opens it
  void ForgetGivenRows();                   // the next Open runs the statement again

private:
  TADOConnection* FConnection = nullptr;
  TLockType FLockType = ltUnspecified;
  std::shared_ptr<TRowStore> FCloneStore;  // set by Clone and OpenOnRows
};
