#pragma once
// A plain in-memory dataset that is not a TCustomADODataSet (cannot be cloned); rows are given
// before Open and edited in memory like any dataset.
//   TMemDataSet ds({{u"id"_s, ftInteger}, {u"fname"_s, ftString}}, {{1, u"A"_s}});
//   ds.Open();
#include "platform/data/cursor/DataSet.h"
#include "platform/data/cursor/FieldDef.h"

#include <vector>

class TMemDataSet : public TDataSet {
public:
  TMemDataSet(std::vector<TFieldDef> Fields, std::vector<std::vector<QVariant>> Rows);
  ~TMemDataSet() override;

protected:
  std::shared_ptr<TRowStore> OpenCursor() override;

private:
  std::vector<TFieldDef> FFieldDefs;
  std::vector<std::vector<QVariant>> FRows;
};
