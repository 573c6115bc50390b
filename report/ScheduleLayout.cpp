#include "report/ScheduleLayout.h"

#include "platform/base/Exception.h"
#include "platform/base/IntegerConversion.h"
#include "platform/base/MessageService.h"
#include "platform/base/Screen.h"
#include "platform/data/DataSet.h"
#include "report/ExcelCore.h"

#include <array>
#include <new>
#include <cstdint>

using namespace Qt::StringLiterals;

namespace {

constexpr std::int32_t BufferPositions = 20;
constexpr int Months = 12;
constexpr std::int32_t NoSid = -2;  // never a real "Sid", so the first subdivision always gets its header

// The result columns the layout reads, by name.
enum TColumn {
  cVrfDate, cVrfInterval, cIdN, cCA, cVrfType, cSid, cSub, cMIname, cMItype, cLocN, cLimits,
  cPrecisClass, cVrfDateF, cRemPeriod, cRemName, cColumnCount
};
constexpr std::array<const char16_t*, cColumnCount> ColumnNames{
    u"VrfDate", u"VrfInterval", u"IdN",         u"CA",       u"VrfType",   u"Sid",    u"Sub",   u"MIname",
    u"MItype",  u"LocN",        u"Limits",      u"PrecisClass", u"VrfDateF", u"RemPeriod", u"RemName"};

// |(Year - VrfYear) * 12 + Month - VrfMonth| in 32-bit arithmetic that wraps like the machine's,
// kept as its low 16 bits. Unsigned operations spare the undefined overflow of signed ones.
std::uint16_t Distance(std::int32_t Year, std::uint16_t VrfYear, std::uint16_t VrfMonth, int Month) {
  const std::uint32_t d =
      (static_cast<std::uint32_t>(Year) - VrfYear) * 12u + static_cast<std::uint32_t>(Month) - VrfMonth;
  const std::uint32_t magnitude = static_cast<std::int32_t>(d) < 0 ? 0u - d : d;
  return static_cast<std::uint16_t>(magnitude);
}

[[noreturn]] void DivisionByZero() { throw Exception(u"Division by zero"_s); }

// Signed 32-bit remainder, due when its low 16 bits are 0.
bool RepairDue(std::uint16_t D, std::int32_t Period) {
  if (Period == 0) DivisionByZero();
  return static_cast<std::uint16_t>(static_cast<std::int32_t>(D) % Period) == 0;
}

// Unsigned remainder on the 16-bit interval.
bool VerificationDue(std::uint16_t D, std::uint16_t Interval) {
  if (Interval == 0) DivisionByZero();
  return D % Interval == 0;
}

class TScheduleLayout {
public:
  TScheduleLayout(TDataSet& sp1, const TScheduleYear& meYear) : Fsp1(sp1), FmeYear(meYear) {}
  void Run();

private:
  // A column looked up by name on its first use and kept: a field lives while the dataset is open,
  // and a name lookup per read would dominate a long result. A missing column still fails where the
  // layout first reads it.
  TField& Field(TColumn Column);
  // A column's stored value for a cell; a text longer than a cell holds fails, naming the column and the
  // instrument, before anything of it is written.
  QVariant CellValue(TColumn Column, std::int32_t Instrument);
  void LayOutInstrument();

  TDataSet& Fsp1;
  const TScheduleYear& FmeYear;
  std::array<TField*, cColumnCount> FFields{};
  std::int32_t FLastSid = NoSid;
  std::int32_t FRowNumber = 1;
  std::array<QVariant, Months + 1> FMonthValues;  // 1 is January; 0 unused
};

TField& TScheduleLayout::Field(TColumn Column) {
  TField*& field = FFields[static_cast<std::size_t>(Column)];
  if (!field) field = &Fsp1.FieldByName(QString::fromUtf16(ColumnNames[static_cast<std::size_t>(Column)]));
  return *field;
}

QVariant TScheduleLayout::CellValue(TColumn Column, std::int32_t Instrument) {
  QVariant value = Field(Column).Value();
  if (value.typeId() == QMetaType::QString) {
    const qsizetype length = static_cast<const QString*>(value.constData())->size();
    if (length > MaxCellTextLength)
      throw Exception(Format(u"Значение столбца «%s» у прибора IdN %s длиннее, чем вмещает ячейка: %s знаков при "
                             u"пределе %s. График не сформирован."_s,
                             {QString::fromUtf16(ColumnNames[static_cast<std::size_t>(Column)]),
                              QString::number(Instrument), QString::number(length),
                              QString::number(MaxCellTextLength)}));
  }
  return value;
}

void TScheduleLayout::Run() {
  using namespace ExcelCore;
  if (Fsp1.IsEmpty()) {
    ShowMessage(u"Для выбранной комбинации типов СИ и подразделения отсутствуют данные."_s);
    ReleaseExcel();
    return;
  }
  Fsp1.SetSort(u"sub"_s);
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
  const auto vrfMonth = static_cast<std::uint16_t>(StrToInt(vrfDate.mid(0, 2)));
  const auto vrfYear = static_cast<std::uint16_t>(StrToInt(vrfDate.mid(3, 4)));
  const auto interval = static_cast<std::uint16_t>(Field(cVrfInterval).AsInteger());
  const std::int32_t key = Field(cIdN).AsInteger();
  (void)Field(cCA).AsString();  // not shown, but the result must carry it
  bool noDueMonth = true;
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

  const std::int32_t repairYear = FmeYear.Value();
  while (!Fsp1.Eof() && Field(cIdN).AsInteger() == key) {
    TField& period = Field(cRemPeriod);
    if (!period.IsNull()) {
      const std::int32_t p = period.AsInteger();
      for (int i = 1; i <= Months; ++i) {
        if (RepairDue(Distance(repairYear, vrfYear, vrfMonth, i), p)) {
          FMonthValues[static_cast<std::size_t>(i)] = CellValue(cRemName, key);
          noDueMonth = false;
        }
      }
    }
    Fsp1.Next();
  }

  // After the repairs, so that a month shared with a repair shows the verification.
  const std::int32_t verificationYear = StrToInt(FmeYear.Text());
  for (int i = 1; i <= Months; ++i) {
    if (VerificationDue(Distance(verificationYear, vrfYear, vrfMonth, i), interval)) {
      FMonthValues[static_cast<std::size_t>(i)] = verification;
      noDueMonth = false;
    }
  }

  if (noDueMonth) return;  // dropped; a header written for it above stays
  for (int i = 1; i <= Months; ++i) {
    SetBufferCell(6 + i, FMonthValues[static_cast<std::size_t>(i)]);
    FMonthValues[static_cast<std::size_t>(i)] = QVariant();
  }
  WriteRowBuffer();
  InsertRowBelow();
  NextRow();
  FRowNumber = FRowNumber + 1;
}

}  // namespace

void ExcelDraw(TDataSet& sp1, const TScheduleYear& meYear) {
  Screen().SetCursor(crHourGlass);
  try {
    TScheduleLayout(sp1, meYear).Run();
  } catch (const std::bad_alloc&) {
    Screen().SetCursor(crDefault);
    ExcelCore::ReleaseExcel();
    throw Exception(u"Недостаточно памяти, чтобы составить график: он не сформирован."_s);
  } catch (...) {
    // A failed run is never shown: the workbook goes with the references.
    Screen().SetCursor(crDefault);
    ExcelCore::ReleaseExcel();
    throw;
  }
  Screen().SetCursor(crDefault);
  ExcelCore::ReleaseExcel();
}
