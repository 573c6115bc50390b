#pragma once
// The embedded SQLite engine on one existing database file, and the report database contract:
// - procedures are rows of procedures(name TEXT PRIMARY KEY, body TEXT NOT NULL); a body is one
//   SELECT (or WITH ... SELECT) statement;
// - the SQL text "exec NAME 'lit', 12, ..." (name without regard to case) runs NAME's body with the
//   literals bound to ?1, ?2, ...; any other text runs as SQLite SQL;
// - a procedure call binds each declared parameter to the body's parameter of the same name
//   ("@MiTypesArray" ...): binary values as BLOB, text as TEXT, integers as INTEGER, empty as NULL;
//   a body parameter without a declared parameter is NULL;
// - the SQL function idarray_contains(array BLOB, id INTEGER) is 1 when id is one of the big-endian
//   signed 32-bit elements of array, else 0 (a NULL array gives 0).
// Errors: "Cannot open database '%s': %s" (a missing file is never created), "Procedure '%s' not
// found", and SQLite's own message for a failing statement.
#include "platform/data/sql/SqlDriver.h"

struct sqlite3;

class TSqliteDriver : public TSqlDriver {
public:
  explicit TSqliteDriver(const QString& FileName);
  ~TSqliteDriver() override;

  std::shared_ptr<TRowStore> ExecQuery(const QString& Sql) override;
  std::shared_ptr<TRowStore> ExecProc(const QString& ProcedureName, const TParameters& Params) override;
  sqlite3* Handle() const { return FDb; }

private:
  QString ProcedureBody(const QString& Name);
  sqlite3* FDb = nullptr;
};
