#include "platform/data/ado/ADOConnection.h"

#include "platform/base/Exception.h"
#include "platform/data/sql/OdbcDriver.h"
#include "platform/data/sql/SqlServerOdbc.h"
#include "platform/data/sql/SqliteDriver.h"

using namespace Qt::StringLiterals;

TADOConnection::TADOConnection() = default;
TADOConnection::~TADOConnection() = default;

void TADOConnection::SetConnectionString(const QString& Value) {
  if (Connected()) throw Exception(u"Cannot change the connection string of an open connection"_s);
  FConnectionString = Value;
  FParams = TConnectionParams::Parse(Value);
}

void TADOConnection::SetParams(const TConnectionParams& Value) {
  if (Connected()) throw Exception(u"Cannot change the connection string of an open connection"_s);
  FParams = Value;
}

void TADOConnection::Open() {
  if (Connected()) return;
  if (FParams.IsSqlite()) {
    FDriver = std::make_unique<TSqliteDriver>(FParams.Database);
    return;
  }
  if (FParams.Server.isEmpty()) throw Exception(u"Missing Connection or ConnectionString"_s);
  FDriver =
      std::make_unique<TOdbcDriver>(TSqlServerOdbc::DriverConnectionString(FParams, TSqlServerOdbc::DefaultDriver()));
}

void TADOConnection::Close() { FDriver.reset(); }

void TADOConnection::SetConnected(bool Value) {
  if (Value)
    Open();
  else
    Close();
}

void TADOConnection::OpenWithDriver(std::unique_ptr<TSqlDriver> Driver) {
  Close();
  FDriver = std::move(Driver);
}

TSqlDriver& TADOConnection::Driver() {
  if (!FDriver) throw Exception(u"Connection is not open"_s);
  return *FDriver;
}
