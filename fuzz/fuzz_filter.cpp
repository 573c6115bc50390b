// The dataset filter: ParseFilter over any text, then, when it reads, the filter applied to a small
// in-memory lookup. Filters are two-valued (a comparison with NULL is false), so a filter and its
// negation must split the rows between them; the negation goes past the index that serves
// "field = literal", so the two ways of finding rows are checked against each other.
#include "fuzz/FuzzInput.h"
#include "platform/base/Exception.h"
#include "platform/data/cursor/FilterParser.h"
#include "platform/data/cursor/MemDataSet.h"

#include <cstdlib>

namespace {

// The rows a lookup holds: keys, parents (NULL for a top row), captions with a quote, an empty one, NULL.
TMemDataSet& Lookup() {
  static TMemDataSet* dataSet = [] {
    auto* ds = new TMemDataSet({{QStringLiteral("id"), ftInteger},
                                {QStringLiteral("parentid"), ftInteger},
                                {QStringLiteral("fname"), ftString},
                                {QStringLiteral("rate"), ftFloat}},
                               {{1, QVariant(), QStringLiteral("Цех 1"), 1.5},
                                {2, 1, QStringLiteral("o'clock"), 0.0},
                                {3, 1, QString(), -2.0},
                                {12, 2, QVariant(), QVariant()},
                                {-1, 12, QStringLiteral("12"), 12.0},
                                {2147483647, -1, QStringLiteral("ЦЕХ 1"), 1e300}});
    ds->Open();
    return ds;
  }();
  return *dataSet;
}

int Count(TMemDataSet& Ds, const QString& Filter) {
  Ds.SetFilter(Filter);
  Ds.SetFiltered(true);
  int seen = 0;
  for (Ds.First(); !Ds.Eof(); Ds.Next()) ++seen;
  if (seen != Ds.RecordCount()) std::abort();
  return seen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const QString text = FuzzText(Data, Size);
  int slotCount = 0;
  try {
    if (!ParseFilter(text, slotCount)) return 0;
  } catch (const Exception&) {
    return 0;
  }
  TMemDataSet& ds = Lookup();
  try {
    const int matching = Count(ds, text);
    const int others = Count(ds, QStringLiteral("NOT (") + text + u')');
    ds.SetFiltered(false);
    if (matching + others != ds.RecordCount()) std::abort();
  } catch (const Exception&) {
    // An unknown field, or a literal that does not convert to its field's kind.
    ds.SetFiltered(false);
  }
  return 0;
}
