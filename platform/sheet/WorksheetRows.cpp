// Row inserts: the rows below move down, and what names rows follows them (merges, references of the
// sheet's parts, the selection, formulas on this sheet and, through ShiftFormulas, on the others).
#include "platform/base/Exception.h"
#include "platform/sheet/FormulaRefs.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/WorksheetXml.h"

#include <algorithm>

void TWorksheet::InsertRow(int32_t Row) {
  CheckRect({Row, 1, Row, 1});
  if (!FRows.Empty() && FRows.LastNumber() >= Row && FRows.LastNumber() >= MaxSheetRow)
    throw Exception(
        Format(QStringLiteral("Нельзя вставить строку на листе «%s»: последняя строка листа занята."), {FName}));
  FRows.InsertBefore(Row);
  // The new row takes the format of the row above: its attributes and each cell's style, no values.
  if (Row > 1) {
    if (const TRow* above = FRows.Find(Row - 1); above && (above->Attrs != 0 || !above->Cells.empty())) {
      TRow copy;
      copy.Number = Row;
      copy.Attrs = above->Attrs;
      copy.Cells.reserve(above->Cells.size());
      for (const TCell& cell : above->Cells)
        if (cell.Style != 0) {
          TCell blank;
          blank.Col = cell.Col;
          blank.Style = cell.Style;
          copy.Cells.push_back(blank);
        }
      FRows.Get(Row) = std::move(copy);
    }
  }
  for (TCellRect& merge : FMerges) ShiftRectForInsert(merge, Row);
  for (TSheetRef& ref : FXml->Refs)
    for (TCellRect& rect : ref.Rects) ShiftRectForInsert(rect, Row);
  if (FSelection) ShiftRectForInsert(*FSelection, Row);
  FInsertLog.push_back(Row);
}

bool TWorksheet::HasFormulas() const {
  return !FXml->FormulaNodes.empty() ||
         std::any_of(FXml->RawCells.begin(), FXml->RawCells.end(), [](const TRawCell& raw) { return raw.Formula; });
}

void TWorksheet::ShiftFormulas(const QString& Sheet, const std::vector<int32_t>& Rows) {
  if (Rows.empty()) return;
  const bool own = Sheet.compare(FName, Qt::CaseInsensitive) == 0;
  for (TRawCell& raw : FXml->RawCells) {
    if (!raw.Formula) continue;
    TFormulaRefs refs(raw.FormulaText, FName);
    if (refs.InsertRows(Sheet, Rows)) raw.FormulaText = refs.Text();
    if (own && raw.HasRef)
      for (const int32_t row : Rows) ShiftRectForInsert(raw.Ref, row);
  }
  for (pugi::xml_node node : FXml->FormulaNodes) {
    TFormulaRefs refs(node.text().get(), FName);
    if (refs.InsertRows(Sheet, Rows)) node.text().set(refs.Text().c_str());
  }
}
