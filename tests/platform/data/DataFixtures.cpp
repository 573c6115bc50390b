#include "tests/platform/data/DataFixtures.h"

#include "platform/data/cursor/DataSet.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace DataFixtures {

std::unique_ptr<TADOQuery> OpenLookup(std::initializer_list<TLookupRow> Rows) {
  std::vector<std::vector<QVariant>> rows;
  for (const TLookupRow& row : Rows) rows.push_back({row.Id, row.ParentId, QString::fromUtf8(row.Caption)});
  auto query = std::make_unique<TADOQuery>();
  query->OpenOnRows({{u"id"_s, ftInteger}, {u"parentid"_s, ftInteger}, {u"fname"_s, ftWideString}}, rows);
  return query;
}

void TRecordingLink::ActiveChanged() { Events << u"active"_s; }
void TRecordingLink::DataSetChanged() {
  Events << u"changed"_s;
  TDataLink::DataSetChanged();
}
void TRecordingLink::DataSetScrolled(int Distance) { Events << u"scrolled "_s + QString::number(Distance); }
void TRecordingLink::RecordChanged(TField* Field) {
  Events << (Field ? u"record "_s + Field->FieldName() : u"record"_s);
}

std::unique_ptr<TADOQuery> OpenQuery(TADOConnection& Connection, const QString& Sql) {
  auto q = std::make_unique<TADOQuery>();
  q->SetConnection(&Connection);
  q->SetSQL(Sql);
  q->Open();
  return q;
}

QString MakeSqliteFile(const QTemporaryDir& Dir, const QString& Name, const QString& Sql) {
  const QString path = Dir.filePath(Name);
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
  char* error = nullptr;
  const int rc = sqlite3_exec(db, Sql.toUtf8().constData(), nullptr, nullptr, &error);
  EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
  return path;
}

QString Ids(TDataSet& DataSet, const QString& KeyField) {
  QStringList ids;
  for (DataSet.First(); !DataSet.Eof(); DataSet.Next()) ids << DataSet.FieldByName(KeyField).AsString();
  return ids.join(u',');
}

}  // namespace DataFixtures
