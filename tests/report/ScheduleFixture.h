#pragma once
// Fixtures for the schedule layout tests: a scratch SQLite report database whose rprt_get_PPR_box
// returns given rows, the procedure opened as sp1, one ExcelDraw run into a scratch output file,
// and the saved workbook read back by openpyxl.
#include "platform/data/ado/ADOConnection.h"
#include "platform/data/ado/ADOStoredProc.h"
#include "platform/sheet/SheetApplication.h"
#include "platform/sheet/Workbook.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>
#include <utility>
#include <vector>

namespace ScheduleFixture {

// One row of the report result. The other columns follow from IdN: CA "ЦСМ", MItype "T<IdN>",
// LocN the integer 1000 + IdN, Limits "0-10", PrecisClass "1,5", VrfDateF "15." + VrfDate, and an
// extra column "Extra" the layout never reads.
struct TBoxRow {
  int IdN = 1;
  const char* VrfDate = "03.2012";  // nullptr: NULL
  std::optional<int> VrfInterval = 12;
  std::optional<int> RemPeriod = std::nullopt;
  const char* RemName = nullptr;
  std::optional<int> Sid = 10;
  const char* Sub = "Цех 1";
  const char* VrfType = "П";
  const char* MIname = "Манометр";
};

// A report database in Dir whose procedure returns Rows in their order; Omit leaves that column out.
QString MakeReportDb(const QTemporaryDir& Dir, const std::vector<TBoxRow>& Rows, const QString& Omit = {});

// The report procedure over a database file, opened.
class TReport {
public:
  explicit TReport(const QString& DbPath);
  TADOConnection Connection;
  TADOStoredProc sp1;
};

// An engine that makes every workbook from the template at Path, whatever name the layout asks for
// (install it with ExcelCore::SetSheetApplicationFactory).
class TFixedTemplateApplication : public TSheetApplication {
public:
  explicit TFixedTemplateApplication(QString Path) : FPath(std::move(Path)) {}
  std::shared_ptr<TWorkbook> AddWorkbook(const QString&) override { return TSheetApplication::AddWorkbook(FPath); }

private:
  QString FPath;
};

// The saved workbook's active sheet, as openpyxl reads it.
struct TSheetDump {
  QString Error;  // the reader's failure, empty when it read the file
  int MaxRow = 0;
  QMap<int, QStringList> Cells;    // row -> columns A..U: text as is, numbers "#n", empty ""
  QMap<int, QStringList> Formats;  // row -> columns A..U: borders "LRTB" present, "|" then b(old), c(entre), s(hrink)
  QStringList Merged;              // "B11:U11", sorted
  QString Cell(int Row, int Col) const { return Cells.value(Row).value(Col - 1); }
  QString Format(int Row, int Col) const { return Formats.value(Row).value(Col - 1); }
  // The due months of a body row (columns H..S) as "3=П,9=Т"; "" when none.
  QString Due(int Row) const;
  // Merged ranges starting on row From or below.
  QStringList MergedFrom(int From) const;
};
TSheetDump ReadWorkbook(const QString& Path);

// The texts of the shipped template (placeholders aside) that the workbook at Path lost, as "B7: text"; a
// text above the body must stand in its cell, one below it anywhere at or below its row. Empty when none
// is lost; the reader's failure comes back as one entry.
QStringList LostTemplateTexts(const QString& Path);

// One ExcelDraw run for Year over sp1 with the output file in a scratch folder; records the cursor changes
// and message boxes. Error holds the message of a failure, empty on success.
struct TRun {
  QString Error;
  QString Output;  // the output file it was given
  bool Saved = false;
  QStringList Cursors;   // "hourglass" / "default", in order
  QStringList Messages;  // "caption: text"
};
TRun Draw(TDataSet& sp1, const QString& Year, const QTemporaryDir& Dir);

}  // namespace ScheduleFixture
