#include "TreeDbFixture.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {
void Check(int Rc, sqlite3* Db) {
  if (Rc != SQLITE_OK && Rc != SQLITE_DONE && Rc != SQLITE_ROW) ADD_FAILURE() << sqlite3_errmsg(Db);
}

void BindValue(sqlite3_stmt* St, int Index, const QVariant& Value) {
  if (Value.isNull())
    sqlite3_bind_null(St, Index);
  else if (Value.typeId() == QMetaType::QString)
    sqlite3_bind_text(St, Index, Value.toString().toUtf8().constData(), -1, SQLITE_TRANSIENT);
  else
    sqlite3_bind_int64(St, Index, Value.toLongLong());
}
}  // namespace

TTreeDb::TTreeDb(const std::vector<TLookupRow>& Rows) {
  sqlite3* db = nullptr;
  Check(sqlite3_open(FileName().toUtf8().constData(), &db), db);
  Check(sqlite3_exec(db,
                     "CREATE TABLE lookups(ord INTEGER PRIMARY KEY, id INTEGER, parentid INTEGER, fname TEXT, "
                     "haschildren INTEGER, parent2 INTEGER)",
                     nullptr, nullptr, nullptr),
        db);
  // One transaction: a commit per row would sync the file once per row.
  Check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
  sqlite3_stmt* st = nullptr;
  Check(sqlite3_prepare_v2(db, "INSERT INTO lookups(id, parentid, fname, haschildren, parent2) VALUES(?,?,?,?,?2)", -1,
                           &st, nullptr),
        db);
  for (const TLookupRow& row : Rows) {
    BindValue(st, 1, row.Id);
    BindValue(st, 2, row.ParentId);
    BindValue(st, 3, row.Caption);
    BindValue(st, 4, row.HasChildren);
    Check(sqlite3_step(st), db);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
  sqlite3_close(db);
  Connection.SetConnectionString(QStringLiteral("Data Source=sqlite;Initial Catalog=") + FileName());
  Connection.Open();
  Query.SetConnection(&Connection);
  Query.SetSQL(QStringLiteral("SELECT id, parentid, fname, haschildren, parent2 FROM lookups ORDER BY ord"));
}

void TTreeDb::Exec(const QString& Sql) {
  sqlite3* db = nullptr;
  Check(sqlite3_open(FileName().toUtf8().constData(), &db), db);
  Check(sqlite3_exec(db, Sql.toUtf8().constData(), nullptr, nullptr, nullptr), db);
  sqlite3_close(db);
}

QStringList Shape(TTestTree& Tree) {
  QStringList shape;
  for (PVirtualNode n = Tree.GetFirstNoInit(); n; n = Tree.GetNextNoInit(n))
    shape << QString(Tree.GetNodeLevel(n), QLatin1Char('.')) + Tree.GetText(n) +
                 ((n->States & vsHasChildren) ? QStringLiteral("+") : QString()) +
                 (n == Tree.FocusedNode() ? QStringLiteral("*") : QString());
  return shape;
}

void Bind(TTestTree& Tree, TTreeDb& Db) {
  Tree.DBTreeFields().SetKeyFieldName(QStringLiteral("Id"));
  Tree.DBTreeFields().SetParentFieldName(QStringLiteral("parentId"));
  Tree.DBTreeFields().SetListFieldName(QStringLiteral("fname"));
  Tree.DBTreeFields().SetParentOfRootValue(QStringLiteral("-1"));
  Tree.SetDataSource(&Db.Source);
}

std::vector<TLookupRow> AbcdRows() {
  return {{1, -1, QStringLiteral("A")},
          {2, 1, QStringLiteral("B")},
          {3, 1, QStringLiteral("C")},
          {4, -1, QStringLiteral("D")}};
}
