#include "platform/data/ado/ADOQuery.h"

#include "platform/base/Exception.h"
#include "platform/data/ado/ADOConnection.h"
#include "platform/data/sql/SqlDriver.h"

using namespace Qt::StringLiterals;

std::shared_ptr<TRowStore> TADOQuery::Execute() {
  TADOConnection& connection = CheckConnection();
  if (FSQL.trimmed().isEmpty()) throw Exception(u"CommandText does not return a result set"_s);
  return connection.Driver().ExecQuery(FSQL);
}
