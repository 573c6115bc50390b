#pragma once
// A dataset over the result of one SQL text sent to the connection unchanged.
//   TADOQuery aq1; aq1.SetConnection(&conn); aq1.SetSQL(u"exec rprt_com_get_loockups 'tMiTypes'"_s);
//   aq1.Open();
#include "platform/data/ado/CustomADODataSet.h"

class TADOQuery : public TCustomADODataSet {
public:
  const QString& SQL() const { return FSQL; }
  void SetSQL(const QString& Value) {
    FSQL = Value;
    ForgetGivenRows();
  }
  TCustomADODataSet* NewInstance() const override { return new TADOQuery; }

protected:
  std::shared_ptr<TRowStore> Execute() override;

private:
  QString FSQL;
};
