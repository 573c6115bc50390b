#pragma once
// The declared parameters of a stored procedure, in declaration order.
//   sp1.Parameters().CreateParameter(u"@year"_s, ftString, pdInput, 4);
//   sp1.Parameters().ParamByName(u"@year"_s).SetValue(u"2013"_s);
#include "platform/data/sql/Parameter.h"

#include <memory>
#include <vector>

class TParameters {
public:
  // "Parameter '%s' already exists" for a name declared twice (names compare without regard to case).
  TParameter& CreateParameter(const QString& Name, TFieldType DataType, TParameterDirection Direction, int Size);
  TParameter& ParamByName(const QString& Name);  // "Parameter '%s' not found"
  TParameter* FindParam(const QString& Name);
  const TParameter* FindParam(const QString& Name) const;
  int Count() const { return static_cast<int>(FItems.size()); }
  TParameter& Items(int Index) { return *FItems.at(static_cast<std::size_t>(Index)); }
  const TParameter& Items(int Index) const { return *FItems.at(static_cast<std::size_t>(Index)); }
  void Clear() { FItems.clear(); }

private:
  std::vector<std::unique_ptr<TParameter>> FItems;
};
