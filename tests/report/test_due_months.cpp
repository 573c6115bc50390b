// The month rule in process: an instrument's date, interval and repair periods and the year give the
// twelve month cells. Cells are written as twelve characters, January first: '.' nothing due, 'V' the
// verification, a digit the repair row of that index.
#include "report/DueMonths.h"

#include "tests/support/ExpectMessage.h"

#include <gtest/gtest.h>

#include <vector>

using TestSupport::MessageOf;

namespace {

std::string Pattern(const TMonthCells& Cells) {
  std::string text;
  for (int cell : Cells)
    text += cell == NoWorkDue ? '.' : cell == VerificationDue ? 'V' : static_cast<char>('0' + cell);
  return text;
}

struct TDueCase {
  const char* Name;
  TDueInstrument Instrument;
  std::vector<std::optional<std::int32_t>> Periods;
  std::int32_t Year;
  const char* Cells;
};

TEST(DueMonths, CellsForEveryEdgeOfTheRule) {
  constexpr TDueInstrument march2012{.VrfYear = 2012, .VrfMonth = 3, .Interval = 12};
  constexpr TDueInstrument march2012By24{.VrfYear = 2012, .VrfMonth = 3, .Interval = 24};
  const TDueCase cases[] = {
      {"interval 12, the year before", march2012, {}, 2011, "..V........."},
      {"interval 12, the verification year itself", march2012, {}, 2012, "..V........."},
      {"interval 12, the year after", march2012, {}, 2013, "..V........."},
      {"interval 24, one year after: nothing due", march2012By24, {}, 2013, "............"},
      {"interval 24, two years before", march2012By24, {}, 2010, "..V........."},
      {"interval 24, only a repair falls in the year", march2012By24, {6}, 2013, "..0.....0..."},
      {"a repair and the verification in one month: the verification", march2012, {6}, 2013, "..V.....0..."},
      {"two repairs in one month: the later row", march2012By24, {3, 6}, 2013, "..1..0..1..0"},
      {"rows without a period add nothing", march2012By24, {std::nullopt, 6, std::nullopt}, 2013, "..1.....1..."},
      {"interval 1: every month", {2012, 3, 1}, {}, 2013, "VVVVVVVVVVVV"},
      // |(2013 - 2015) * 12 + i - 11| = 35 - i: multiples of 5 in May (30) and October (25).
      {"backwards over two years, interval 5", {2015, 11, 5}, {}, 2013, "....V....V.."},
      {"backwards within the year", {2013, 12, 3}, {}, 2013, "..V..V..V..V"},
      // 65548 kept as a 16-bit interval is 12.
      {"the interval is a 16-bit value", {2012, 3, static_cast<std::uint16_t>(65548)}, {}, 2011, "..V........."},
      // A full 32-bit period: 65542 is not 6, so only distance 0 (March 2012) is due.
      {"the repair period is not cut to 16 bits", march2012By24, {65542}, 2012, "..V........."},
      {"a repair period of 65536 is due at distance 0 only", march2012By24, {65536}, 2012, "..V........."},
      // |(2013 - 9999) * 12 + i - 3| = 95835 - i; its low 16 bits, 30299 - i, are a multiple of 12 in
      // November, where the full distance would give March.
      {"a distance beyond 16 bits keeps its low 16 bits", {9999, 3, 12}, {}, 2013, "..........V."},
      {"a negative repair period counts like its magnitude", march2012By24, {-6}, 2013, "..0.....0..."},
      // -12 as a 16-bit unsigned interval is 65524: only distance 0 is a multiple of it.
      {"a negative interval is a large unsigned one, later year",
       {2012, 3, static_cast<std::uint16_t>(-12)},
       {},
       2013,
       "............"},
      {"a negative interval is a large unsigned one, its own year",
       {2012, 3, static_cast<std::uint16_t>(-12)},
       {},
       2012,
       "..V........."},
      // Year 0 against 65535: |(0 - 65535) * 12 + i - 1| = 786421 - i, whose low 16 bits 65525 - i are a
      // multiple of 4 in January, May and September.
      {"a year far before the verification", {65535, 1, 4}, {}, 0, "V...V...V..."},
      {"month 0 of a malformed date counts as December of the year before", {2013, 0, 12}, {}, 2013, "...........V"},
  };
  for (const TDueCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Pattern(DueMonths(c.Instrument, c.Periods, c.Year, c.Year)), c.Cells);
  }
}

TEST(DueMonths, RepairsAndVerificationCountAgainstTheirOwnYears) {
  // The repair year is the year field's value and the verification year its text; they differ when the
  // text does not parse (the value falls back to the field's minimum).
  const std::vector<std::optional<std::int32_t>> periods{5};
  // Repairs against 1900: |(1900 - 2012) * 12 + i - 3| = 1347 - i, a multiple of 5 in February, July and
  // December; the verification against 2013 (9 + i) is never a multiple of 24.
  EXPECT_EQ(Pattern(DueMonths({2012, 3, 24}, periods, 1900, 2013)), ".0....0....0");
  // Repairs against 2013 (9 + i: January, June, November), the verification against 1900 (1347 - i: March).
  EXPECT_EQ(Pattern(DueMonths({2012, 3, 24}, periods, 2013, 1900)), "0.V..0....0.");
}

TEST(DueMonths, AZeroIntervalOrPeriodIsADivisionByZero) {
  struct TCase {
    const char* Name;
    TDueInstrument Instrument;
    std::vector<std::optional<std::int32_t>> Periods;
  };
  const TCase cases[] = {
      {"zero period", {2012, 3, 12}, {0}},
      {"zero interval", {2012, 3, 0}, {}},
      {"65536 is a zero interval in 16 bits", {2012, 3, static_cast<std::uint16_t>(65536)}, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(MessageOf([&] { (void)DueMonths(c.Instrument, c.Periods, 2013, 2013); }),
              QStringLiteral("Division by zero"));
  }
  const std::vector<std::optional<std::int32_t>> none{std::nullopt};
  EXPECT_EQ(Pattern(DueMonths({2012, 3, 12}, none, 2013, 2013)), "..V.........")
      << "a row without a period divides by nothing";
}

TEST(DueMonths, DistanceIsTheMagnitudeInWrapping32BitsKeptAs16) {
  EXPECT_EQ(MonthDistance(2013, 2012, 3, 3), 12);
  EXPECT_EQ(MonthDistance(2011, 2012, 3, 3), 12) << "backwards";
  EXPECT_EQ(MonthDistance(2013, 9999, 3, 1), static_cast<std::uint16_t>(95834));
  EXPECT_EQ(MonthDistance(0, 65535, 1, 1), 65524) << "786420 kept as its low 16 bits";
  // (2^31 - 1) * 12 + 12 is 6 * 2^32: the product wraps to 0 rather than overflowing.
  EXPECT_EQ(MonthDistance(INT32_MAX, 0, 0, 12), 0);
  EXPECT_EQ(MonthDistance(INT32_MAX, 0, 0, 11), 1) << "-1 in 32 bits, and its magnitude";
}

}  // namespace
