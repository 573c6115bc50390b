#pragma once
// The name and stored kind of one column of a result.
#include "platform/data/cursor/DataTypes.h"

#include <QString>

struct TFieldDef {
  QString Name;
  TFieldType DataType = ftUnknown;
};
