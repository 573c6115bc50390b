// The whole road on the demo database: every entry of the three lookups, a year, the report
// procedure, ExcelDraw. A Python reader works the expected schedule out of the database on its own
// (its own reading of the procedure, the sort and the month rule) and compares it with the workbook.
#include "tests/report/ScheduleFixture.h"

#include "platform/base/IdArray.h"
#include "platform/data/ado/ADOQuery.h"
#include "report/DatabaseContract.h"
#include "report/ExcelCore.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

const QString CheckScript =
    uR"py(
import sqlite3, struct, sys, openpyxl
db, xlsx, year = sys.argv[1], sys.argv[2], int(sys.argv[3])
con = sqlite3.connect(db)
def contains(array, id):
    if array is None: return 0
    return int(id in struct.unpack(">%di" % (len(array) // 4), array[:len(array) // 4 * 4]))
con.create_function("idarray_contains", 2, contains)
con.row_factory = sqlite3.Row
pack = lambda ids: struct.pack(">%di" % len(ids), *ids)
ids = {t: [r[0] for r in con.execute("SELECT id FROM " + t)] for t in ("tMiTypes", "MMState", "tSubDivs")}
body = con.execute("SELECT body FROM procedures WHERE name = 'rprt_get_PPR_box'").fetchone()[0]
rows = [dict(r) for r in con.execute(body, {"MiTypesArray": pack(ids["tMiTypes"]), "MMStateArray": pack(ids["MMState"]),
                                            "SubDivsArray": pack(ids["tSubDivs"]), "year": str(year)})]
rows.sort(key=lambda r: (r["Sub"] is not None, (r["Sub"] or "").casefold()))  # stable, NULL first
due = lambda vy, vm, m, period: abs((year - vy) * 12 + m - vm) % period == 0
expected, headers, last, i, number = [], [], -2, 0, 1
while i < len(rows):
    first = rows[i]
    vm, vy = int(first["VrfDate"][0:2]), int(first["VrfDate"][3:7])
    if first["Sid"] is not None and first["Sid"] != last:
        last = first["Sid"]
        headers.append(11 + len(expected))
        expected.append([None, first["Sub"]] + [None] * 19)
    months, any_due = [None] * 13, False
    while i < len(rows) and rows[i]["IdN"] == first["IdN"]:
        if rows[i]["RemPeriod"] is not None:
            for m in range(1, 13):
                if due(vy, vm, m, rows[i]["RemPeriod"]): months[m], any_due = rows[i]["RemName"], True
        i += 1
    for m in range(1, 13):
        if due(vy, vm, m, first["VrfInterval"]): months[m], any_due = first["VrfType"], True
    if any_due:
        expected.append([number] + [first[c] for c in ("MIname", "MItype", "LocN", "Limits", "PrecisClass", "VrfDateF")]
                        + months[1:] + [None, None])
        number += 1
ws = openpyxl.load_workbook(xlsx).active
problems = []
if ws["J6"].value != str(year): problems.append("J6 holds %r" % ws["J6"].value)
for k, cells in enumerate(expected):
    got = [None if v == "" else v for v in (ws.cell(11 + k, c).value for c in range(1, 22))]
    if got != cells: problems.append("row %d: %r, expected %r" % (11 + k, got, cells))
after = ws.cell(11 + len(expected), 1).value
if isinstance(after, int): problems.append("a number after the body: %r" % after)
merged = sorted(str(m) for m in ws.merged_cells.ranges if m.min_row >= 11)
want = sorted("B%d:U%d" % (r, r) for r in headers)
if merged != want: problems.append("merged %r, expected %r" % (merged, want))
for k in range(len(expected)):
    b = ws.cell(11 + k, 1).border
    if not (b.left.style and b.right.style and b.top.style and b.bottom.style): problems.append("row %d unframed" % (11 + k))
print("\n".join(problems[:10]) if problems else "OK %d %d" % (number - 1, len(headers)))
)py"_s;

std::vector<std::int32_t> AllIds(TADOConnection& Connection, QStringView Sql) {
  TADOQuery query;
  query.SetConnection(&Connection);
  query.SetSQL(Sql.toString());
  query.Open();
  std::vector<std::int32_t> ids;
  for (query.First(); !query.Eof(); query.Next()) ids.push_back(query.FieldByName(u"id"_s).AsInteger());
  return ids;
}

TEST(ScheduleDemo, WholeDemoDatabaseForOneYear) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "python3-openpyxl is not installed";
  const QString demo = TestSupport::BinDir() + u"/demo.db"_s;
  ASSERT_TRUE(QFileInfo::exists(demo)) << "the build makes demo.db beside the executable";
  TADOConnection connection;
  connection.SetConnectionString(u"Data Source=sqlite;Initial Catalog="_s + demo);
  connection.Open();
  const std::vector<std::vector<std::int32_t>> arrays = {AllIds(connection, DatabaseContract::LookupTypesSql),
                                                         AllIds(connection, DatabaseContract::LookupStatesSql),
                                                         AllIds(connection, DatabaseContract::LookupSubdivisionsSql)};

  TADOStoredProc sp1;
  sp1.SetConnection(&connection);
  DatabaseContract::DeclareReportProcedure(sp1);
  for (std::size_t i = 0; i < arrays.size(); ++i)
    sp1.Parameters().Items(static_cast<int>(i)).LoadFromStream(EncodeIdArray(arrays[i]));
  sp1.Parameters().Items(3).SetValue(u"2024"_s);
  sp1.Open();
  ASSERT_GT(sp1.RecordCount(), 0);

  QTemporaryDir dir;
  const ScheduleFixture::TRun run = ScheduleFixture::Draw(sp1, u"2024"_s, dir);
  ASSERT_EQ(run.Error, QString());
  ASSERT_TRUE(run.Saved);
  EXPECT_EQ(ExcelCore::LastSavedWorkbookPath(), run.Output);

  const TestSupport::ProcessResult check = TestSupport::RunPython(CheckScript, {demo, run.Output, u"2024"_s});
  ASSERT_EQ(check.ExitCode, 0) << check.Stderr.toStdString();
  ASSERT_TRUE(check.Stdout.startsWith(u"OK "_s)) << check.Stdout.toStdString();
  const QStringList counts = check.Stdout.trimmed().split(u' ');
  EXPECT_GT(counts.value(1).toInt(), 100) << "instruments written";
  EXPECT_GT(counts.value(2).toInt(), 5) << "subdivision headers";
  // More subdivisions than the template has rows below the anchor: the form keeps every text of its own.
  EXPECT_EQ(ScheduleFixture::LostTemplateTexts(run.Output), QStringList());
}

TEST(ScheduleDemo, FortySubdivisionsLoseNothingOfTheForm) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "python3-openpyxl is not installed";
  QTemporaryDir dir;
  std::vector<ScheduleFixture::TBoxRow> rows;
  std::vector<QByteArray> captions;
  for (int i = 1; i <= 40; ++i) captions.push_back(QStringLiteral("Цех %1").arg(i, 2, 10, QChar(u'0')).toUtf8());
  for (int i = 1; i <= 40; ++i)
    rows.push_back({.IdN = i, .Sid = i, .Sub = captions[static_cast<std::size_t>(i - 1)].constData()});
  ScheduleFixture::TReport report(ScheduleFixture::MakeReportDb(dir, rows));
  const ScheduleFixture::TRun run = ScheduleFixture::Draw(report.sp1, u"2013"_s, dir);
  ASSERT_EQ(run.Error, QString());
  ASSERT_TRUE(run.Saved);
  const ScheduleFixture::TSheetDump sheet = ScheduleFixture::ReadWorkbook(run.Output);
  ASSERT_EQ(sheet.Error, QString());
  EXPECT_EQ(sheet.MergedFrom(11).size(), 40) << "one header per subdivision";
  EXPECT_EQ(ScheduleFixture::LostTemplateTexts(run.Output), QStringList());
}

}  // namespace
