#include "platform/data/ADOStoredProc.h"

#include "platform/base/Exception.h"
#include "platform/data/ADOConnection.h"
#include "platform/data/SqlDriver.h"

using namespace Qt::StringLiterals;

std::shared_ptr<TRowStore> TADOStoredProc::Execute() {
  TADOConnection& connection = CheckConnection();
  if (FProcedureName.trimmed().isEmpty()) throw Exception(u"No procedure name given"_s);
  return connection.Driver().ExecProc(FProcedureName, FParameters);
}
