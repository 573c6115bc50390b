#include "report/ScheduleLayout.h"

#include "platform/base/Exception.h"
#include "platform/base/IntegerConversion.h"
#include "platform/base/MessageService.h"
#include "platform/base/Screen.h"
#include "platform/data/cursor/DataSet.h"
#include "report/DatabaseContract.h"
#include "report/DueMonths.h"
#include "report/ExcelCore.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <new>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr std::int32_t BufferPositions = 20;
constexpr int Months = 12;
constexpr std::int32_t NoSid = -2;  // never a real "Sid", so the first subdivision always gets its header

using namespace DatabaseContract;
using TColumn = TReportColumn;

class TScheduleLayout {
public:
  TScheduleLayout(TDataSet& sp1, const TScheduleYear& meYear) : Fsp1(sp1), FmeYear(meYear) {}
  void Run();

private:
  // A column looked up by name on its first use and kept: a field lives while the dataset is open,
  // and a name lookup per read would dominate a long result. A missing column still fails where the
  // layout first reads it.
  TField& Field(TColumn Column);
  // "RemName", which only a due repair needs: looked up once, nullptr when the result lacks it.
  TField* RepairNameField();
  // A column's stored value for a cell; a text longer than a cell holds fails, naming the column and the
  // instrument, before anything of it is written.
  QVariant CellValue(TColumn Column, std::int32_t Instrument);
  // Fails as CellValue does when Value is a text longer than a cell holds.
  void CheckCellLength(TColumn Column, const QVariant& Value, std::int32_t Instrument) const;
  void LayOutInstrument();

  TDataSet& Fsp1;
  const TScheduleYear& FmeYear;
  std::array<TField*, cReportColumnCount> FFields{};
  std::optional<TField*> FRepairName;
  std::int32_t FLastSid = NoSid;
  std::int32_t FRowNumber = 1;
  // The current instrument's repair rows: their periods, and their names as read (none where the
  // result has no "RemName": only a due repair needs it).
  std::vector<std::optional<std::int32_t>> FRepairPeriods;
  std::vector<std::optional<QVariant>> FRepairNames;
};

TField& TScheduleLayout::Field(TColumn Column) {
  TField*& field = FFields[static_cast<std::size_t>(Column)];
  if (!field) field = &Fsp1.FieldByName(ReportColumns[static_cast<std::size_t>(Column)].toString());
  return *field;
}

TField* TScheduleLayout::RepairNameField() {
  if (!FRepairName) FRepairName = Fsp1.FindField(ReportColumns[cRemName].toString());
  return *FRepairName;
}

QVariant TScheduleLayout::CellValue(TColumn Column, std::int32_t Instrument) {
  QVariant value = Field(Column).Value();
  CheckCellLength(Column, value, Instrument);
  return value;
}

void TScheduleLayout::CheckCellLength(TColumn Column, const QVariant& Value, std::int32_t Instrument) const {
  if (Value.typeId() != QMetaType::QString) return;
  const qsizetype length = static_cast<const QString*>(Value.constData())->size();
  if (length > MaxCellTextLength)
    throw Exception(
        Format(u"Значение столбца «%s» у прибора IdN %s длиннее, чем вмещает ячейка: %s знаков при "
               u"пределе %s. График не сформирован."_s,
               {ReportColumns[static_cast<std::size_t>(Column)].toString(), QString::number(Instrument),
                QString::number(length), QString::number(MaxCellTextLength)}));
}

void TScheduleLayout::Run() {
  using namespace ExcelCore;
  if (Fsp1.IsEmpty()) {
    ShowMessage(u"Для выбранной комбинации типов СИ и подразделения отсутствуют данные."_s);
    ReleaseExcel();
    return;
  }
  Fsp1.SetSort(ReportSortField.toString());
  OpenExcel(u"PPR.xlt"_s);
  FLastSid = NoSid;
  ReplaceText(u"#year#"_s, FmeYear.Text());
  // Without the anchor the body would land wherever the last run left the position: refuse instead.
  if (!ExcelSheet->Find(u"#body#"_s))
    throw Exception(Format(u"В шаблоне «%s» нет ячейки с меткой «#body#», с которой начинается тело графика."_s,
                           {ExcelBook->SourcePath()}));
  StartBody(u"#body#"_s);
  Fsp1.First();
  CreateRowBuffer(BufferPositions);
  FRowNumber = 1;
  while (!Fsp1.Eof()) LayOutInstrument();
  DrawBodyBorders();
  MergeMarkedRows(2, 18);
  ShowWorkbook();
  ReleaseExcel();
}

// Starts on an instrument's first row and ends on the first row after it.
void TScheduleLayout::LayOutInstrument() {
  using namespace ExcelCore;
  const QString vrfDate = Field(cVrfDate).AsString();
  TDueInstrument instrument;
  instrument.VrfMonth = static_cast<std::uint16_t>(StrToInt(vrfDate.mid(0, 2)));
  instrument.VrfYear = static_cast<std::uint16_t>(StrToInt(vrfDate.mid(3, 4)));
  instrument.Interval = static_cast<std::uint16_t>(Field(cVrfInterval).AsInteger());
  const std::int32_t key = Field(cIdN).AsInteger();
  (void)Field(cCA).AsString();  // not shown, but the result must carry it
  const QVariant verification = CellValue(cVrfType, key);

  TField& sid = Field(cSid);
  if (!sid.IsNull() && sid.AsInteger() != FLastSid) {
    SetBufferCell(0, QString());
    SetBufferCell(1, CellValue(cSub, key));
    SetBufferCell(2, u"#merge#"_s);
    FLastSid = sid.AsInteger();
    WriteRowBuffer();
    NextRow();
  }

  // Stored before it is known whether the instrument is written; the buffer keeps them either way.
  SetBufferCell(0, FRowNumber);
  SetBufferCell(1, CellValue(cMIname, key));
  SetBufferCell(2, CellValue(cMItype, key));
  SetBufferCell(3, CellValue(cLocN, key));
  SetBufferCell(4, CellValue(cLimits, key));
  SetBufferCell(5, CellValue(cPrecisClass, key));
  SetBufferCell(6, CellValue(cVrfDateF, key));

  FRepairPeriods.clear();
  FRepairNames.clear();
  while (!Fsp1.Eof() && Field(cIdN).AsInteger() == key) {
    TField& period = Field(cRemPeriod);
    if (period.IsNull()) {
      FRepairPeriods.emplace_back();
      FRepairNames.emplace_back();
    } else {
      FRepairPeriods.emplace_back(period.AsInteger());
      TField* name = RepairNameField();
      FRepairNames.push_back(name ? std::optional<QVariant>(name->Value()) : std::nullopt);
    }
    Fsp1.Next();
  }

  const TMonthCells cells = DueMonths(instrument, FRepairPeriods, FmeYear.Value(), StrToInt(FmeYear.Text()));
  if (std::all_of(cells.begin(), cells.end(), [](int Cell) { return Cell == NoWorkDue; }))
    return;  // dropped; a header written for it above stays
  for (int i = 0; i < Months; ++i) {
    QVariant value;
    if (cells[static_cast<std::size_t>(i)] == VerificationDue) {
      value = verification;
    } else if (cells[static_cast<std::size_t>(i)] != NoWorkDue) {
      const std::optional<QVariant>& name = FRepairNames[static_cast<std::size_t>(cells[static_cast<std::size_t>(i)])];
      if (!name) (void)Field(cRemName);  // fails naming the missing column
      CheckCellLength(cRemName, *name, key);
      value = *name;
    }
    SetBufferCell(7 + i, value);
  }
  WriteRowBuffer();
  InsertRowBelow();
  NextRow();
  FRowNumber = FRowNumber + 1;
}

}  // namespace

void ExcelDraw(TDataSet& sp1, const TScheduleYear& meYear) {
  // The default cursor is back before the references go, on every path.
  try {
    TBusyCursor busy;
    TScheduleLayout(sp1, meYear).Run();
  } catch (const std::bad_alloc&) {
    ExcelCore::ReleaseExcel();
    throw Exception(u"Недостаточно памяти, чтобы составить график: он не сформирован."_s);
  } catch (...) {
    // A failed run is never shown: the workbook goes with the references.
    ExcelCore::ReleaseExcel();
    throw;
  }
  ExcelCore::ReleaseExcel();
}
