#include "tests/report/ScheduleFixture.h"

#include "platform/base/Exception.h"
#include "platform/base/MessageService.h"
#include "platform/base/Screen.h"
#include "report/DatabaseContract.h"
#include "report/ExcelCore.h"
#include "report/PlainScheduleYear.h"
#include "report/ScheduleLayout.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WorkbookCheck.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace ScheduleFixture {

namespace {

QString Text(const char* Value) {
  if (!Value) return u"NULL"_s;
  return u"'"_s + QString::fromUtf8(Value).replace(u"'"_s, u"''"_s) + u"'"_s;
}
QString Number(std::optional<int> Value) { return Value ? QString::number(*Value) : u"NULL"_s; }

void Exec(sqlite3* Db, const QString& Sql) {
  char* error = nullptr;
  const int rc = sqlite3_exec(Db, Sql.toUtf8().constData(), nullptr, nullptr, &error);
  EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
  sqlite3_free(error);
}

const QStringList Columns{u"VrfDate"_s,  u"VrfInterval"_s, u"IdN"_s,     u"CA"_s,   u"VrfType"_s, u"Sid"_s,
                          u"Sub"_s,      u"MIname"_s,      u"MItype"_s,  u"LocN"_s, u"Limits"_s,  u"PrecisClass"_s,
                          u"VrfDateF"_s, u"RemPeriod"_s,   u"RemName"_s, u"Extra"_s};

// Reads the active sheet into JSON: every cell's value and format on every row, and the merges.
const QString DumpScript =
    uR"py(
import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.active
def text(v):
    if v is None: return ""
    if isinstance(v, bool): return "?" + str(v)
    if isinstance(v, (int, float)): return "#" + (str(int(v)) if float(v).is_integer() else repr(v))
    return str(v)
def fmt(c):
    b = c.border
    s = "".join(k for k, side in (("L", b.left), ("R", b.right), ("T", b.top), ("B", b.bottom)) if side is not None and side.style)
    f = ("b" if c.font is not None and c.font.b else "") + ("c" if c.alignment.horizontal == "center" else "") + ("s" if c.alignment.shrink_to_fit else "")
    return s + "|" + f
out = {"max_row": ws.max_row, "cells": {}, "formats": {},
       "merged": sorted(str(m) for m in ws.merged_cells.ranges)}
for r in range(1, ws.max_row + 2):
    out["cells"][str(r)] = [text(ws.cell(r, c).value) for c in range(1, 22)]
    out["formats"][str(r)] = [fmt(ws.cell(r, c)) for c in range(1, 22)]
print(json.dumps(out, ensure_ascii=False))
)py"_s;

QMap<int, QStringList> Rows(const QJsonObject& Object) {
  QMap<int, QStringList> rows;
  for (auto it = Object.begin(); it != Object.end(); ++it) {
    QStringList cells;
    for (const QJsonValue& cell : it.value().toArray()) cells << cell.toString();
    rows.insert(it.key().toInt(), cells);
  }
  return rows;
}

}  // namespace

QString MakeReportDb(const QTemporaryDir& Dir, const std::vector<TBoxRow>& Rows, const QString& Omit) {
  const QString path = Dir.filePath(u"report.db"_s);
  QFile::remove(path);
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
  Exec(db,
       u"CREATE TABLE procedures (name TEXT PRIMARY KEY, body TEXT NOT NULL);"
       "CREATE TABLE box (seq INTEGER PRIMARY KEY, VrfDate TEXT, VrfInterval INTEGER, IdN INTEGER, CA TEXT,"
       " VrfType TEXT, Sid INTEGER, Sub TEXT, MIname TEXT, MItype TEXT, LocN INTEGER, Limits TEXT,"
       " PrecisClass TEXT, VrfDateF TEXT, RemPeriod INTEGER, RemName TEXT, Extra TEXT);"_s);
  int seq = 0;
  for (const TBoxRow& row : Rows) {
    const QString id = QString::number(row.IdN);
    const QString vrfDateF =
        row.VrfDate ? Text((u"15."_s + QString::fromUtf8(row.VrfDate)).toUtf8().constData()) : u"NULL"_s;
    Exec(
        db,
        u"INSERT INTO box VALUES (%1, %2, %3, %4, 'ЦСМ', %5, %6, %7, %8, 'T%4', %9, '0-10', '1,5', %10, %11, %12, 'zzz');"_s
            .arg(++seq)
            .arg(Text(row.VrfDate), Number(row.VrfInterval), id, Text(row.VrfType), Number(row.Sid), Text(row.Sub),
                 Text(row.MIname), QString::number(1000 + row.IdN), vrfDateF, Number(row.RemPeriod),
                 Text(row.RemName)));
  }
  QStringList select = Columns;
  select.removeAll(Omit);
  Exec(db, u"INSERT INTO procedures VALUES ('rprt_get_PPR_box', 'SELECT %1 FROM box ORDER BY seq');"_s.arg(
               select.join(u", "_s)));
  sqlite3_close(db);
  return path;
}

TReport::TReport(const QString& DbPath) {
  Connection.SetConnectionString(u"Data Source=sqlite;Initial Catalog="_s + DbPath);
  Connection.SetLoginPrompt(false);
  Connection.Open();
  sp1.SetConnection(&Connection);
  sp1.SetProcedureName(DatabaseContract::ReportProcedure.toString());
  sp1.Open();
}

QString TSheetDump::Due(int Row) const {
  QStringList due;
  for (int month = 1; month <= 12; ++month) {
    const QString value = Cell(Row, 7 + month);
    if (!value.isEmpty()) due << QString::number(month) + u'=' + value;
  }
  return due.join(u',');
}

QStringList TSheetDump::MergedFrom(int From) const {
  QStringList merged;
  for (const QString& range : Merged) {
    qsizetype digit = 0;
    while (digit < range.size() && !range[digit].isDigit()) ++digit;
    if (range.mid(digit).section(u':', 0, 0).toInt() >= From) merged << range;
  }
  return merged;
}

TSheetDump ReadWorkbook(const QString& Path) {
  TSheetDump dump;
  const TestSupport::ProcessResult result = TestSupport::RunPython(DumpScript, {Path});
  if (result.ExitCode != 0) {
    dump.Error = u"openpyxl could not read "_s + Path + u": "_s + result.Stderr;
    return dump;
  }
  const QJsonObject json = QJsonDocument::fromJson(result.Stdout.toUtf8()).object();
  dump.MaxRow = json.value(u"max_row"_s).toInt();
  dump.Cells = Rows(json.value(u"cells"_s).toObject());
  dump.Formats = Rows(json.value(u"formats"_s).toObject());
  for (const QJsonValue& range : json.value(u"merged"_s).toArray()) dump.Merged << range.toString();
  return dump;
}

QStringList LostTemplateTexts(const QString& Path) {
  const TestSupport::ProcessResult result = TestSupport::RunPython(
      uR"py(
import json, sys, openpyxl
template, out = openpyxl.load_workbook(sys.argv[1]).active, openpyxl.load_workbook(sys.argv[2]).active
texts = [(c.row, c.column, c.value) for row in template.iter_rows() for c in row if isinstance(c.value, str)]
body = [r for r, c, v in texts if "#body#" in v][0]
found = {}
for row in out.iter_rows():
    for c in row:
        if isinstance(c.value, str): found.setdefault(c.value, []).append(c.row)
lost = []
for r, c, v in texts:
    if "#body#" in v or "#year#" in v: continue
    kept = out.cell(r, c).value == v if r < body else any(x >= r for x in found.get(v, []))
    if not kept: lost.append("%s%d: %s" % (openpyxl.utils.get_column_letter(c), r, v))
print(json.dumps({"lost": lost, "count": len(texts)}, ensure_ascii=False))
)py"_s,
      {TestSupport::BinDir() + u"/PPR.xltx"_s, Path});
  if (result.ExitCode != 0) return {u"openpyxl could not read "_s + Path + u": "_s + result.Stderr};
  const QJsonObject json = QJsonDocument::fromJson(result.Stdout.toUtf8()).object();
  if (json.value(u"count"_s).toInt() < 10) return {u"the template holds too few texts: "_s + result.Stdout};
  QStringList lost;
  for (const QJsonValue& text : json.value(u"lost"_s).toArray()) lost << text.toString();
  return lost;
}

TRun Draw(TDataSet& sp1, const QString& Year, const QTemporaryDir& Dir) {
  TRun run;
  run.Output = Dir.filePath(u"schedule.xlsx"_s);
  ExcelCore::SetOutputFile(run.Output);
  // Never a desktop application, whatever the runner passes on.
  qputenv("PPR_OPEN_COMMAND", "true");
  TMessageRecorder messages;
  Screen().OnCursorChange = [&run](TCursor Cursor) {
    run.Cursors << (Cursor == crHourGlass ? u"hourglass"_s : Cursor == crDefault ? u"default"_s : u"other"_s);
  };
  try {
    ExcelDraw(sp1, TPlainScheduleYear(Year));
  } catch (const Exception& error) {
    run.Error = error.Message();
  }
  Screen().OnCursorChange = nullptr;
  ExcelCore::SetOutputFile({});
  for (const TMessageBox& box : messages.Shown) run.Messages << box.Caption + u": "_s + box.Text;
  run.Saved = QFileInfo::exists(run.Output);
  if (run.Saved) ExpectStrictWorkbook(run.Output);
  return run;
}

}  // namespace ScheduleFixture
