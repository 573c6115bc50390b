#include "platform/data/cursor/SortOrder.h"

#include "platform/base/Exception.h"
#include "platform/data/cursor/RowStore.h"
#include "platform/data/cursor/ValueKey.h"

#include <QStringList>
#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

struct TSortKey {
  int Field;
  bool Descending;
};

std::vector<TSortKey> ParseSort(const TRowStore& Store, const QString& Sort) {
  std::vector<TSortKey> keys;
  for (const QString& rawPart : Sort.split(u',')) {
    QString part = rawPart.trimmed();
    if (part.isEmpty()) throw Exception(Format(u"Invalid sort order '%s'"_s, {Sort}));
    bool descending = false;
    const QString upper = part.toUpper();
    if (upper.endsWith(u" DESC"_s)) {
      descending = true;
      part.chop(5);
    } else if (upper.endsWith(u" ASC"_s)) {
      part.chop(4);
    }
    part = part.trimmed();
    if (part.startsWith(u'[') && part.endsWith(u']')) part = part.mid(1, part.size() - 2);
    const int field = Store.IndexOf(part);
    if (field < 0) throw Exception(Format(u"Field '%s' not found"_s, {part}));
    keys.push_back({field, descending});
  }
  return keys;
}

}  // namespace

TRowView SortedRows(const TRowStore& Store, const QString& Sort) {
  if (Sort.trimmed().isEmpty()) return TRowView::AllRows(Store.RowCount());
  const std::vector<TSortKey> keys = ParseSort(Store, Sort);
  const auto count = static_cast<std::size_t>(Store.RowCount());
  std::vector<std::vector<TValueKey>> values(keys.size());
  for (std::size_t k = 0; k < keys.size(); ++k) {
    const int field = keys[k].Field;
    const TFieldType type = Store.Field(field).DataType;
    values[k].reserve(count);
    for (std::size_t row = 0; row < count; ++row)
      values[k].push_back(TValueKey::ForField(Store.Value(static_cast<int>(row), field), type));
  }
  std::vector<int> positions(count);
  std::iota(positions.begin(), positions.end(), 0);
  std::stable_sort(positions.begin(), positions.end(), [&](int a, int b) {
    for (std::size_t k = 0; k < keys.size(); ++k) {
      const int c = values[k][static_cast<std::size_t>(a)].Compare(values[k][static_cast<std::size_t>(b)]);
      if (c != 0) return keys[k].Descending ? c > 0 : c < 0;
    }
    return false;
  });
  return TRowView::Of(std::move(positions));
}
