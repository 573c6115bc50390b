#pragma once
// A dataset over the first row set of a stored procedure called with its declared parameters by
// name. Parameters keep their values between opens.
//   sp1.SetConnection(&conn); sp1.SetProcedureName(u"rprt_get_PPR_box"_s);
//   sp1.Parameters().ParamByName(u"@MiTypesArray"_s).LoadFromStream(ids, ftBlob);
//   sp1.Open();
#include "platform/data/ado/CustomADODataSet.h"
#include "platform/data/sql/Parameters.h"

class TADOStoredProc : public TCustomADODataSet {
public:
  const QString& ProcedureName() const { return FProcedureName; }
  void SetProcedureName(const QString& Value) {
    FProcedureName = Value;
    ForgetGivenRows();
  }
  TParameters& Parameters() { return FParameters; }
  TCustomADODataSet* NewInstance() const override { return new TADOStoredProc; }

protected:
  std::shared_ptr<TRowStore> Execute() override;

private:
  QString FProcedureName;
  TParameters FParameters;
};
