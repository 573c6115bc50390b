#pragma once
// A year given as text, for batch runs and tests: Value() reads it as the spin edit does.
//   ExcelDraw(sp1, TPlainScheduleYear(u"2013"_s));
#include "report/ScheduleYear.h"

#include <utility>

class TPlainScheduleYear : public TScheduleYear {
public:
  explicit TPlainScheduleYear(QString Text) : FText(std::move(Text)) {}
  QString Text() const override { return FText; }
  std::int32_t Value() const override;  // StrToIntDef(Text, 1900)

private:
  QString FText;
};
