#pragma once
// A connection through unixODBC with an ODBC connection string, and the fetch of the first row set
// that a statement returns (statements that return only row counts are skipped, as SET NOCOUNT OFF
// procedures produce them). Text travels as UTF-16 (the W functions), so Cyrillic is kept.
//   TOdbcDriver odbc(u"Driver={SQLite3};Database={/tmp/x.db}"_s);
//   odbc.ExecParams(u"INSERT INTO t VALUES(?, ?)"_s, {QByteArray("\0\1", 2), u"Лаборатория"_s});
#include "platform/data/sql/SqlDriver.h"

#include <QVariant>
#include <vector>

class TOdbcDriver : public TSqlDriver {
public:
  // "ODBC connection failed: %s" with the driver's diagnostics.
  explicit TOdbcDriver(const QString& OdbcConnectionString);
  ~TOdbcDriver() override;

  std::shared_ptr<TRowStore> ExecQuery(const QString& Sql) override;
  // Calls the procedure through "exec NAME @p1=?, @p2=?, ..." with one marker per declared input
  // parameter, so that the server matches them by name (see TSqlServerOdbc::ProcedureCall).
  std::shared_ptr<TRowStore> ExecProc(const QString& ProcedureName, const TParameters& Params) override;
  // Runs Sql with its ? markers bound in order: QByteArray as binary, QString as text, integers,
  // doubles, and a null QVariant as NULL.
  std::shared_ptr<TRowStore> ExecParams(const QString& Sql, const std::vector<QVariant>& Values);

private:
  struct THandles;
  std::unique_ptr<THandles> FHandles;
};
