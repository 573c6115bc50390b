#include "platform/data/sql/Parameters.h"

#include "platform/base/Exception.h"

#include <utility>

using namespace Qt::StringLiterals;

TParameter& TParameters::CreateParameter(const QString& Name, TFieldType DataType, TParameterDirection Direction,
                                         int Size) {
  if (FindParam(Name)) throw Exception(Format(u"Parameter '%s' already exists"_s, {Name}));
  FItems.push_back(std::make_unique<TParameter>(Name, DataType, Direction, Size));
  return *FItems.back();
}

TParameter* TParameters::FindParam(const QString& Name) {
  return const_cast<TParameter*>(std::as_const(*this).FindParam(Name));
}

const TParameter* TParameters::FindParam(const QString& Name) const {
  for (const auto& item : FItems)
    if (item->Name().compare(Name, Qt::CaseInsensitive) == 0) return item.get();
  return nullptr;
}

TParameter& TParameters::ParamByName(const QString& Name) {
  if (TParameter* parameter = FindParam(Name)) return *parameter;
  throw Exception(Format(u"Parameter '%s' not found"_s, {Name}));
}
