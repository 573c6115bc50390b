#pragma once
// The year a schedule is made for, as the layout reads it from the selection window's year field:
// the text exactly as the field shows it (it goes into "#year#" and the verification pass), and the
// field's integer value (the repair pass). The window implements this over its spin edit; a run
// without a window uses TPlainScheduleYear.
#include <QString>
#include <cstdint>

class TScheduleYear {
public:
  virtual ~TScheduleYear() = default;
  virtual QString Text() const = 0;
  // The text as an integer; the field's minimum, 1900, when the text does not parse.
  virtual std::int32_t Value() const = 0;
};
