#pragma once
// The month rule of the schedule: which of an instrument's works falls in each month of the year.
// A month is due when its distance in months from the verification date, forwards or backwards, is a
// multiple of the verification interval or of a repair's period. The arithmetic is the machine's:
// the distance is taken in 32 bits and kept as its low 16, the interval is a 16-bit unsigned value, a
// repair period a signed 32-bit one whose remainder counts when its low 16 bits are 0.
//
//   TDueInstrument instrument{.VrfYear = 2012, .VrfMonth = 3, .Interval = 12};
//   const std::optional<std::int32_t> periods[] = {6};
//   DueMonths(instrument, periods, 2013, 2013)  // March: the verification, September: repair 0
//
// A zero interval or period fails with "Division by zero" (Exception).
#include <array>
#include <cstdint>
#include <optional>
#include <span>

struct TDueInstrument {
  std::uint16_t VrfYear = 0;
  std::uint16_t VrfMonth = 0;
  std::uint16_t Interval = 0;
};

// What one month cell shows: nothing, the verification, or the repair row of that index.
inline constexpr int NoWorkDue = -2;
inline constexpr int VerificationDue = -1;
using TMonthCells = std::array<int, 12>;  // [0] is January

// |(Year - VrfYear) * 12 + Month - VrfMonth| in wrapping 32-bit arithmetic, kept as its low 16 bits.
std::uint16_t MonthDistance(std::int32_t Year, std::uint16_t VrfYear, std::uint16_t VrfMonth, int Month);

// The twelve cells for the instrument in its year. RepairPeriods holds one entry per repair row, in row
// order, a row without a period being empty; they count against RepairYear, the verification against
// VerificationYear. A later repair takes a month from an earlier one, and the verification from both.
TMonthCells DueMonths(const TDueInstrument& Instrument, std::span<const std::optional<std::int32_t>> RepairPeriods,
                      std::int32_t RepairYear, std::int32_t VerificationYear);
