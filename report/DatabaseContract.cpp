#include "report/DatabaseContract.h"

#include "platform/data/ado/ADOStoredProc.h"

namespace DatabaseContract {

void DeclareReportProcedure(TADOStoredProc& Proc) {
  Proc.SetProcedureName(ReportProcedure.toString());
  for (const TReportParameter& p : ReportParameters)
    Proc.Parameters().CreateParameter(p.Name.toString(), p.Kind == TParameterKind::LongBinary ? ftBlob : ftString,
                                      pdInput, p.DeclaredSize);
}

}  // namespace DatabaseContract
