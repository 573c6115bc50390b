#pragma once
// The one connection class. It reads the connection string (see TConnectionParams for the rule) and
// routes to a driver:
// - Data Source "sqlite" (any case): the embedded SQLite engine on the file named by Initial Catalog
//   (login and password ignored; a missing file is an error, never a new database). See
//   TSqliteDriver for the report database contract.
// - anything else: Microsoft SQL Server through unixODBC, FreeTDS by default or the driver named by
//   the environment variable PPR_ODBC_DRIVER (see TSqlServerOdbc).
//   TADOConnection conn; conn.SetConnectionString(BuildConnectionString(settings));
//   conn.SetLoginPrompt(false); conn.Open();
#include "platform/data/sql/ConnectionParams.h"

#include <QString>
#include <memory>

class TSqlDriver;

class TADOConnection {
public:
  TADOConnection();
  TADOConnection(const TADOConnection&) = delete;
  TADOConnection& operator=(const TADOConnection&) = delete;
  ~TADOConnection();

  const QString& ConnectionString() const { return FConnectionString; }
  // Also sets Params() from the text; "Cannot change the connection string of an open connection".
  void SetConnectionString(const QString& Value);
  const TConnectionParams& Params() const { return FParams; }
  void SetParams(const TConnectionParams& Value);  // the four values directly, no string reading
  // There is no interactive login here: a prompt is never shown, whatever this says.
  bool LoginPrompt() const { return FLoginPrompt; }
  void SetLoginPrompt(bool Value) { FLoginPrompt = Value; }

  void Open();   // no-op when open
  void Close();  // datasets keep the rows they fetched
  bool Connected() const { return FDriver != nullptr; }
  void SetConnected(bool Value);
  // Opens on a driver made elsewhere (a raw ODBC connection in tests).
  void OpenWithDriver(std::unique_ptr<TSqlDriver> Driver);

  TSqlDriver& Driver();  // "Connection is not open"

private:
  QString FConnectionString;
  TConnectionParams FParams;
  bool FLoginPrompt = true;
  std::unique_ptr<TSqlDriver> FDriver;
};
