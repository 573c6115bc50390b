#pragma once
// Fixtures for the dataset tests: a lookup-shaped query over rows given inline, a link that
// records the notifications it gets, and a scratch SQLite file written with SQLite's own API.
#include "platform/data/ado/ADOConnection.h"
#include "platform/data/ado/ADOQuery.h"
#include "platform/data/cursor/DataLink.h"
#include "platform/data/cursor/Field.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace DataFixtures {

// (id, parentid, fname) rows as an open TADOQuery.
struct TLookupRow {
  int Id;
  int ParentId;
  const char* Caption;
};
std::unique_ptr<TADOQuery> OpenLookup(std::initializer_list<TLookupRow> Rows);

// Sql's result on Connection as an open query.
std::unique_ptr<TADOQuery> OpenQuery(TADOConnection& Connection, const QString& Sql);

// Records "active", "changed", "scrolled N", "record", "record FIELD".
class TRecordingLink : public TDataLink {
public:
  QStringList Events;

protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;
  void RecordChanged(TField* Field) override;
};

// A new SQLite file in Dir made by running Sql with the sqlite3 C API; returns its path.
QString MakeSqliteFile(const QTemporaryDir& Dir, const QString& Name, const QString& Sql);

// Keys of every row of the view, in order, as "1,2,3".
QString Ids(TDataSet& DataSet, const QString& KeyField = QStringLiteral("id"));

}  // namespace DataFixtures
