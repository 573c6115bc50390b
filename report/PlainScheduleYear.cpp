#include "report/PlainScheduleYear.h"

#include "platform/base/IntegerConversion.h"

std::int32_t TPlainScheduleYear::Value() const { return StrToIntDef(FText, 1900); }
