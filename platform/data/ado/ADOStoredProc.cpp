#include "platform/data/ado/ADOStoredProc.h"

#include "platform/base/Exception.h"
#include "platform/data/ado/ADOConnection.h"
#include "platform/data/sql/SqlDriver.h"

using namespace Qt::StringLiterals;

std::shared_ptr<TRowStore> TADOStoredProc::Execute() {
  TADOConnection& connection = CheckConnection();
  if (FProcedureName.trimmed().isEmpty()) throw Exception(u"No procedure name given"_s);
  return connection.Driver().ExecProc(FProcedureName, FParameters);
}
