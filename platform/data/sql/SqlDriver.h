#pragma once
// What the connection asks of a SQL engine: run a text, run a procedure with named parameters, and
// hand back the first row set fetched completely. Errors are Exceptions with the engine's text.
#include <QString>
#include <memory>

class TParameters;
class TRowStore;

class TSqlDriver {
public:
  TSqlDriver() = default;
  TSqlDriver(const TSqlDriver&) = delete;
  TSqlDriver& operator=(const TSqlDriver&) = delete;
  virtual ~TSqlDriver() = default;

  // The first row set of Sql; a statement without one gives an empty store with no fields.
  virtual std::shared_ptr<TRowStore> ExecQuery(const QString& Sql) = 0;
  virtual std::shared_ptr<TRowStore> ExecProc(const QString& ProcedureName, const TParameters& Params) = 0;
};
