#include "report/ExcelCore.h"

#include "platform/base/Exception.h"
#include "platform/desktop/DesktopHandover.h"
#include "platform/desktop/LegacyTemplate.h"
#include "platform/sheet/FileSignature.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <new>
#include <stdexcept>

namespace ExcelCore {

std::shared_ptr<TSheetApplication> ExcelApp;
std::shared_ptr<TWorkbook> ExcelBook;
std::shared_ptr<TWorksheet> ExcelSheet;
int32_t CurRow = 0;
int32_t CurCol = 0;
uint16_t BodyTop = 0;
uint16_t BodyLeft = 0;
int32_t BufferSize = 0;
QList<QVariant> RowBuffer;

namespace {

QString GLastSaved;
TSheetApplicationFactory GFactory;

const QString MergeMarker = QStringLiteral("#merge#");

TSheetApplication& App() {
  if (!ExcelApp) throw Exception(QStringLiteral("Табличный процессор не запущен."));
  return *ExcelApp;
}

const std::shared_ptr<TWorksheet>& Sheet() {
  if (!ExcelSheet) throw Exception(QStringLiteral("Нет открытой книги."));
  return ExcelSheet;
}

// Sheet.Cells: every cell of the sheet as one range.
TRange Cells() { return TRange(Sheet(), {1, 1, MaxSheetRow, MaxSheetColumn}); }
// Cells.item(r, c).
TRange CellsItem(int32_t Row, int32_t Col) { return Cells().Item(Row, Col); }
// Sheet.Range(a, b): the rectangle between two cells, corners in any order.
TRange Range(const TRange& A, const TRange& B) { return A.Span(B); }
// Sheet.Rows(r).
TRange Rows(int32_t Row) {
  const TRange first = CellsItem(Row, 1);
  return TRange(Sheet(), {first.Row(), 1, first.Row(), MaxSheetColumn});
}

// A search over all cells; the found cell is read through the cell above it (Cells(0)), which is
// what puts placeholders below row 1.
std::optional<TRange> SearchAbove(const QString& What) {
  const std::optional<TRange> found = Cells().Find(What);
  if (!found) return std::nullopt;
  return found->Item(0, 1);
}

void PutText(int32_t Row, int32_t Col, const QString& Text) { Sheet()->SetValue(Row, Col, Text); }

QString ExecutableFolder() {
  const QFileInfo self(QStringLiteral("/proc/self/exe"));
  if (self.exists()) return QFileInfo(self.canonicalFilePath()).absolutePath();
  return QCoreApplication::applicationDirPath();
}

// "X.xlt", the name the report asks for, prefers "X.xltx" beside it: the engine reads Office Open XML.
// A binary .xlt alone is converted when LibreOffice is there, and refused clearly when it is not.
QString TemplateFile(const QString& Path) {
  if (!Path.endsWith(QStringLiteral(".xlt"), Qt::CaseInsensitive)) return Path;
  const QString xml = Path + QStringLiteral("x");
  if (QFileInfo::exists(xml) || !QFileInfo::exists(Path)) return xml;
  if (IsBinaryWorkbookFile(Path)) return ConvertLegacyTemplate(Path);
  return Path;
}

}  // namespace

bool OpenExcel(const QString& TemplateName) {
  try {
    ExcelApp = GFactory ? GFactory() : std::make_shared<TSheetApplication>();
    if (!ExcelApp) throw Exception(QStringLiteral("движок не создан"));
    ExcelApp->SetHandOver(&TDesktopHandover::HandOver);
  } catch (const Exception& error) {
    ExcelApp.reset();
    throw Exception(QStringLiteral("Ошибка открытия Excel.") + error.Message());
  } catch (const std::exception& error) {
    ExcelApp.reset();
    throw Exception(QStringLiteral("Ошибка открытия Excel.") + QString::fromLocal8Bit(error.what()));
  }
  OpenTemplate(TemplateName);
  return true;
}

bool OpenTemplate(const QString& TemplateName) {
  const QString path = ExecutableFolder() + QDir::separator() + TemplateName;
  ExcelBook = App().AddWorkbook(TemplateFile(path));
  ExcelSheet = App().ActiveSheet();
  CurRow = 1;
  CurCol = 1;
  return true;
}

bool ReplaceText(const QString& What, const QString& NewText) {
  const std::optional<TRange> above = SearchAbove(What);
  if (!above) return false;
  CurRow = above->Row() + 1;
  CurCol = above->Column();
  PutText(CurRow, CurCol, NewText);
  return true;
}

bool ClearText(const QString& What) {
  while (const std::optional<TRange> above = SearchAbove(What)) {
    CurRow = above->Row() + 1;
    CurCol = above->Column();
    PutText(CurRow, CurCol, QString());
  }
  return false;
}

void StartBody(const QString& Anchor) {
  App().SetDisplayAlerts(false);
  const std::optional<TRange> above = SearchAbove(Anchor);
  if (!above) return;
  CurRow = above->Row();
  CurCol = above->Column();
  BodyTop = static_cast<uint16_t>(CurRow);
  BodyLeft = static_cast<uint16_t>(CurCol);
  ClearText(Anchor);
}

bool CreateRowBuffer(int32_t Size) {
  BufferSize = Size;
  // A buffer wider than a sheet could never be written; refusing it also spares a huge allocation.
  if (Size < 0 || Size > MaxSheetColumn) throw Exception(QStringLiteral("Ошибка создания буфера чтения данных."));
  try {
    RowBuffer = QList<QVariant>(Size);
  } catch (const std::bad_alloc&) {
    throw Exception(QStringLiteral("Ошибка создания буфера чтения данных."));
  } catch (const std::length_error&) {
    throw Exception(QStringLiteral("Ошибка создания буфера чтения данных."));
  }
  return true;
}

void SetBufferCell(int32_t Index, const QVariant& Value) {
  if (Index < 0 || Index >= RowBuffer.size())
    throw Exception(QStringLiteral("Variant or safe array index out of bounds"));
  RowBuffer[Index] = Value;
}

void WriteRowBuffer() {
  Range(CellsItem(CurRow, BodyLeft), CellsItem(CurRow, BodyLeft + BufferSize - 1))
      .SetValues(RowBuffer.constData(), static_cast<size_t>(RowBuffer.size()));
}

void InsertRowBelow() {
  Rows(CurRow + 1).Select();
  App().Selection().Insert();
}

void NextRow() { CurRow = CurRow + 1; }

void DrawBodyBorders() {
  const auto Bottom = static_cast<uint16_t>(CurRow - 1);
  const auto Right = static_cast<uint16_t>(CurCol + BufferSize - 1);
  auto R = [&] { return Range(CellsItem(BodyTop + 1, BodyLeft), CellsItem(Bottom, Right)); };
  R().SetBorderLineStyle(TBorderIndex::InsideVertical, TLineStyle::Continuous);
  if (BodyTop + 1 != Bottom) R().SetBorderLineStyle(TBorderIndex::InsideHorizontal, TLineStyle::Continuous);
  R().SetBorderLineStyle(TBorderIndex::EdgeLeft, TLineStyle::Continuous);
  R().SetBorderLineStyle(TBorderIndex::EdgeTop, TLineStyle::Continuous);
  R().SetBorderLineStyle(TBorderIndex::EdgeBottom, TLineStyle::Continuous);
  R().SetBorderLineStyle(TBorderIndex::EdgeRight, TLineStyle::Continuous);
  R().SetShrinkToFit(false);
  R().SetWrapText(true);
}

void MergeMarkedRows(int32_t FirstCol, int32_t LastCol) {
  const auto Bottom = static_cast<uint16_t>(CurRow);
  const auto Right = static_cast<uint16_t>(CurCol);
  Range(CellsItem(BodyTop, BodyLeft), CellsItem(Bottom, Right)).SetShrinkToFit(true);
  const int32_t N = Bottom - BodyTop + 1;
  if (N < 1) return;
  for (int32_t i = 0; i < N; ++i) {
    PutText(CurRow, CurCol, QString());
    const std::optional<TRange> above = SearchAbove(MergeMarker);
    if (!above) return;
    CurRow = above->Row() + 1;
    CurCol = above->Column();
    PutText(CurRow, CurCol, QString());
    for (int32_t c = FirstCol + 1; c <= LastCol; ++c) PutText(CurRow, c, QString());
    auto M = [&] { return Range(CellsItem(CurRow, FirstCol), CellsItem(CurRow, CurCol + LastCol)); };
    M().Merge();
    M().SetBold(true);
    M().SetHorizontalAlignment(THorizontalAlignment::Center);
    CellsItem(CurRow, CurCol).SetValue(QString());
  }
}

void ShowWorkbook() {
  App().SetUserControl(true);
  App().SetVisible(true);
  if (!ExcelApp->HandedOver().empty()) GLastSaved = ExcelApp->HandedOver().back();
}

void ReleaseExcel() {
  ExcelApp.reset();
  ExcelBook.reset();
  ExcelSheet.reset();
  RowBuffer = QList<QVariant>();
}

void SetOutputFile(const QString& Path) { TDesktopHandover::SetOutputFile(Path); }

QString LastSavedWorkbookPath() { return GLastSaved; }

TSheetApplicationFactory SetSheetApplicationFactory(TSheetApplicationFactory Factory) {
  return std::exchange(GFactory, std::move(Factory));
}

}  // namespace ExcelCore
