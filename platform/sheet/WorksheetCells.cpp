// Cell values and the text search of a worksheet.
#include "platform/base/Exception.h"
#include "platform/sheet/CellText.h"
#include "platform/sheet/SharedStrings.h"
#include "platform/sheet/Styles.h"
#include "platform/sheet/TextSearch.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/WorksheetXml.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <cmath>

namespace {

const QDate SerialEpoch(1899, 12, 30);  // serial 0: dates from March 1900 on count as the spreadsheet counts
constexpr int32_t DateFormat = 14, DateTimeFormat = 22, TimeFormat = 21;

auto ColumnLess = [](const TCell& cell, int32_t col) { return cell.Col < col; };

}  // namespace

void TWorksheet::CheckRect(const TCellRect& Rect) const {
  if (Rect.R1 < 1 || Rect.C1 < 1 || Rect.R2 > MaxSheetRow || Rect.C2 > MaxSheetColumn || Rect.R1 > Rect.R2 ||
      Rect.C1 > Rect.C2)
    throw Exception(Format(
        QStringLiteral("Ячейка вне листа «%s»: строка %s, столбец %s."),
        {FName, QString::number(Rect.R1 < 1 ? Rect.R1 : Rect.R2), QString::number(Rect.C1 < 1 ? Rect.C1 : Rect.C2)}));
}

const TCell* TWorksheet::FindCell(int32_t Row, int32_t Col) const {
  const TRow* row = FRows.Find(Row);
  if (!row) return nullptr;
  auto it = std::lower_bound(row->Cells.begin(), row->Cells.end(), Col, ColumnLess);
  return it != row->Cells.end() && it->Col == Col ? &*it : nullptr;
}

TCell& TWorksheet::CellAt(int32_t Row, int32_t Col) {
  TRow& row = FRows.Get(Row);
  // Rows are mostly written left to right: try the end first.
  if (row.Cells.empty() || row.Cells.back().Col < Col) {
    TCell& cell = row.Cells.emplace_back();
    cell.Col = static_cast<uint16_t>(Col);
    return cell;
  }
  auto it = std::lower_bound(row.Cells.begin(), row.Cells.end(), Col, ColumnLess);
  if (it != row.Cells.end() && it->Col == Col) return *it;
  it = row.Cells.insert(it, TCell());
  it->Col = static_cast<uint16_t>(Col);
  return *it;
}

uint32_t TWorksheet::CellStyle(int32_t Row, int32_t Col) const {
  const TCell* cell = FindCell(Row, Col);
  return cell ? cell->Style : 0;
}

QVariant TWorksheet::Value(int32_t Row, int32_t Col) const {
  const TCell* cell = FindCell(Row, Col);
  if (!cell) return {};
  switch (cell->Type) {
  case TCellType::Empty:
    return {};
  case TCellType::String:
    return TextFromStored(FStrings->Text(cell->Index));
  case TCellType::Bool:
    return cell->Bool;
  case TCellType::Raw:
    return QString::fromUtf8(FXml->RawCells[cell->Index].Cached);
  case TCellType::Number:
    break;
  }
  const double number = cell->Number;
  if (FStyles->IsDate(cell->Style)) {
    const double days = std::floor(number);
    const QDate date = SerialEpoch.addDays(static_cast<qint64>(days));
    const double fraction = number - days;
    if (fraction == 0) return date;
    return QDateTime(date, QTime(0, 0).addMSecs(static_cast<int>(std::lround(fraction * 86400000.0))));
  }
  if (number == std::trunc(number) && std::fabs(number) < 9.0e15) return static_cast<qlonglong>(number);
  return number;
}

void TWorksheet::StoreValue(int32_t Row, TCell& Cell, const QVariant& Value) {
  auto setNumber = [&](double number, int32_t dateFormat) {
    Cell.Type = TCellType::Number;
    Cell.Number = number;
    if (dateFormat != 0 && !FStyles->IsDate(Cell.Style))
      Cell.Style = FStyles->Derive(Cell.Style, {TStyleChange::NumFmt, dateFormat});
  };
  switch (Value.typeId()) {
  case QMetaType::UnknownType:
  case QMetaType::Nullptr:
    Cell.Type = TCellType::Empty;
    return;
  case QMetaType::Bool:
    Cell.Type = TCellType::Bool;
    Cell.Bool = Value.toBool();
    return;
  case QMetaType::Int:
  case QMetaType::UInt:
  case QMetaType::LongLong:
  case QMetaType::ULongLong:
  case QMetaType::Short:
  case QMetaType::UShort:
  case QMetaType::Long:
  case QMetaType::ULong:
  case QMetaType::Char:
  case QMetaType::SChar:
  case QMetaType::UChar:
  case QMetaType::Double:
  case QMetaType::Float:
    setNumber(Value.toDouble(), 0);
    return;
  case QMetaType::QDate: {
    const QDate date = Value.toDate();
    if (date.isValid())
      setNumber(static_cast<double>(SerialEpoch.daysTo(date)), DateFormat);
    else
      Cell.Type = TCellType::Empty;
    return;
  }
  case QMetaType::QDateTime: {
    const QDateTime stamp = Value.toDateTime();
    if (!stamp.isValid()) {
      Cell.Type = TCellType::Empty;
      return;
    }
    const double days = static_cast<double>(SerialEpoch.daysTo(stamp.date()));
    setNumber(days + stamp.time().msecsSinceStartOfDay() / 86400000.0,
              stamp.time().msecsSinceStartOfDay() == 0 ? DateFormat : DateTimeFormat);
    return;
  }
  case QMetaType::QTime:
    setNumber(Value.toTime().msecsSinceStartOfDay() / 86400000.0, TimeFormat);
    return;
  default:
    break;
  }
  const QString text = Value.toString();
  if (text.isEmpty()) {
    Cell.Type = TCellType::Empty;
    return;
  }
  if (text.size() > MaxCellTextLength)
    throw Exception(Format(QStringLiteral("Текст из %s знаков не помещается в ячейку %s листа «%s»: ячейка вмещает "
                                          "не больше %s."),
                           {QString::number(text.size()), QString::fromStdString(CellName(Row, Cell.Col)), FName,
                            QString::number(MaxCellTextLength)}));
  const QByteArray stored = StoredText(text);
  Cell.Type = TCellType::String;
  Cell.Index = FStrings->Add(std::string_view(stored.constData(), static_cast<size_t>(stored.size())));
  NoteText(Row, Cell.Index);
}

void TWorksheet::NoteText(int32_t Row, uint32_t StringIndex) {
  for (auto& [text, search] : FSearches)
    if (Row < search->CleanAbove && search->Matches(*FStrings, StringIndex)) search->CleanAbove = Row;
}

void TWorksheet::SetValue(int32_t Row, int32_t Col, const QVariant& Value) {
  CheckRect({Row, Col, Row, Col});
  // Clearing a cell that does not exist makes none.
  const bool clears = !Value.isValid() || (Value.typeId() == QMetaType::QString && Value.toString().isEmpty());
  if (clears && !FindCell(Row, Col)) return;
  StoreValue(Row, CellAt(Row, Col), Value);
}

void TWorksheet::SetRowValues(int32_t Row, int32_t Col, const QVariant* Values, size_t Count) {
  if (Count == 0) return;
  CheckRect({Row, Col, Row, Col + static_cast<int32_t>(Count) - 1});
  // A text too long for its cell fails before any cell of the row changes.
  for (size_t i = 0; i < Count; ++i)
    if (Values[i].typeId() == QMetaType::QString &&
        static_cast<const QString*>(Values[i].constData())->size() > MaxCellTextLength) {
      TCell probe;
      probe.Col = static_cast<uint16_t>(Col + static_cast<int32_t>(i));
      StoreValue(Row, probe, Values[i]);
    }
  TRow& row = FRows.Get(Row);
  // One merge of the new columns into the row's ordered cells.
  const uint16_t first = static_cast<uint16_t>(Col);
  const uint16_t last = static_cast<uint16_t>(Col + static_cast<int32_t>(Count) - 1);
  auto begin = std::lower_bound(row.Cells.begin(), row.Cells.end(), first, ColumnLess);
  auto end = std::lower_bound(begin, row.Cells.end(), last + 1, ColumnLess);
  const bool complete = static_cast<size_t>(end - begin) == Count;
  if (!complete) {
    std::vector<TCell> span(Count);
    for (size_t i = 0; i < Count; ++i) span[i].Col = static_cast<uint16_t>(first + i);
    for (auto it = begin; it != end; ++it) span[it->Col - first] = *it;
    const auto at = row.Cells.erase(begin, end);
    begin = row.Cells.insert(at, span.begin(), span.end());
  }
  for (size_t i = 0; i < Count; ++i) StoreValue(Row, begin[static_cast<ptrdiff_t>(i)], Values[i]);
}

bool TWorksheet::CellMatches(const TCell& Cell, TTextSearch& Search) const {
  return Cell.Type == TCellType::String && Search.Matches(*FStrings, Cell.Index);
}

std::optional<TCellPos> TWorksheet::Find(const QString& What, const std::optional<TCellRect>& Within) {
  if (What.isEmpty()) return std::nullopt;
  const TCellRect area = Within.value_or(TCellRect{1, 1, MaxSheetRow, MaxSheetColumn});
  CheckRect(area);
  const bool wholeSheet = !Within || area == TCellRect{1, 1, MaxSheetRow, MaxSheetColumn};
  std::unique_ptr<TTextSearch> scratch;
  TTextSearch* search = nullptr;
  if (wholeSheet) {
    auto& slot = FSearches[What.toStdU16String()];
    if (!slot) slot = std::make_unique<TTextSearch>(What);
    search = slot.get();
  } else {
    scratch = std::make_unique<TTextSearch>(What);
    search = scratch.get();
  }

  std::optional<TCellPos> found;
  const int32_t from = std::max(area.R1, wholeSheet ? search->CleanAbove : area.R1);
  FRows.ForEach(from, [&](TRow& row) {
    if (row.Number > area.R2) return false;
    auto it = std::lower_bound(row.Cells.begin(), row.Cells.end(), area.C1, ColumnLess);
    for (; it != row.Cells.end() && it->Col <= area.C2; ++it) {
      if (row.Number == area.R1 && it->Col == area.C1) continue;  // the top-left cell comes last
      if (CellMatches(*it, *search)) {
        found = TCellPos{row.Number, it->Col};
        return false;
      }
    }
    return true;
  });
  if (wholeSheet) search->CleanAbove = found ? found->Row : std::max(from, FRows.LastNumber() + 1);
  if (found) return found;
  if (const TCell* corner = FindCell(area.R1, area.C1); corner && CellMatches(*corner, *search))
    return TCellPos{area.R1, area.C1};
  return std::nullopt;
}
