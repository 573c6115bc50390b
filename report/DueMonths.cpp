#include "report/DueMonths.h"

#include "platform/base/Exception.h"

using namespace Qt::StringLiterals;

namespace {

[[noreturn]] void DivisionByZero() { throw Exception(u"Division by zero"_s); }

// Signed 32-bit remainder, due when its low 16 bits are 0.
bool RepairFalls(std::uint16_t Distance, std::int32_t Period) {
  if (Period == 0) DivisionByZero();
  return static_cast<std::uint16_t>(static_cast<std::int32_t>(Distance) % Period) == 0;
}

// Unsigned remainder on the 16-bit interval.
bool VerificationFalls(std::uint16_t Distance, std::uint16_t Interval) {
  if (Interval == 0) DivisionByZero();
  return Distance % Interval == 0;
}

}  // namespace

std::uint16_t MonthDistance(std::int32_t Year, std::uint16_t VrfYear, std::uint16_t VrfMonth, int Month) {
  // Unsigned operations wrap like the machine's signed ones without their undefined overflow.
  const std::uint32_t d =
      (static_cast<std::uint32_t>(Year) - VrfYear) * 12u + static_cast<std::uint32_t>(Month) - VrfMonth;
  const std::uint32_t magnitude = static_cast<std::int32_t>(d) < 0 ? 0u - d : d;
  return static_cast<std::uint16_t>(magnitude);
}

TMonthCells DueMonths(const TDueInstrument& Instrument, std::span<const std::optional<std::int32_t>> RepairPeriods,
                      std::int32_t RepairYear, std::int32_t VerificationYear) {
  TMonthCells cells;
  cells.fill(NoWorkDue);
  for (std::size_t row = 0; row < RepairPeriods.size(); ++row) {
    if (!RepairPeriods[row]) continue;
    for (int month = 1; month <= 12; ++month)
      if (RepairFalls(MonthDistance(RepairYear, Instrument.VrfYear, Instrument.VrfMonth, month), *RepairPeriods[row]))
        cells[static_cast<std::size_t>(month - 1)] = static_cast<int>(row);
  }
  // After the repairs, so that a month shared with a repair shows the verification.
  for (int month = 1; month <= 12; ++month)
    if (VerificationFalls(MonthDistance(VerificationYear, Instrument.VrfYear, Instrument.VrfMonth, month),
                          Instrument.Interval))
      cells[static_cast<std::size_t>(month - 1)] = VerificationDue;
  return cells;
}
