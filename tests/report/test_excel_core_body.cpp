// Framing and merging the body, read back by openpyxl from the saved workbook.
#include "tests/report/ExcelCoreFixture.h"
#include "tests/support/TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace ExcelCore;
using namespace SheetFixture;
using namespace Qt::StringLiterals;

namespace {

// For the cells named on the command line: thin sides ("LRTB"), wrap and shrink flags.
const QString CellFormats =
    u"ws = openpyxl.load_workbook(sys.argv[1]).active\n"
    "out = {}\n"
    "for a in sys.argv[2].split(','):\n"
    "    c = ws[a]; b = c.border\n"
    "    out[a] = [''.join(k for k, s in (('L', b.left), ('R', b.right), ('T', b.top),"
    " ('B', b.bottom)) if s.style == 'thin'), bool(c.alignment.wrap_text),"
    " bool(c.alignment.shrink_to_fit)]\n"
    "print(json.dumps(out))\n"_s;

QJsonObject Formats(const QString& Path, const QString& Cells) {
  const auto result = TestSupport::RunPython(u"import sys, json, openpyxl\n"_s + CellFormats, {Path, Cells});
  EXPECT_EQ(result.ExitCode, 0) << result.Stderr.toStdString();
  return QJsonDocument::fromJson(result.Stdout.toUtf8()).object();
}

QJsonArray F(const char* Sides, bool Wrap, bool Shrink) { return QJsonArray{QString::fromLatin1(Sides), Wrap, Shrink}; }

}  // namespace

TEST_F(TExcelCoreTest, BodiesOfZeroOneAndTwoRowsAreFramedAsWorkedOut) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
  struct TCase {
    const char* Name;
    int Rows;
    QJsonObject Expected;  // anchor A5, buffer of 3: the body is A5:C(4 + Rows)
  };
  const TCase cases[] = {
      // No row: Bottom is the row above the anchor, so rows 4 and 5 are framed, inner horizontals included.
      {"zero rows",
       0,
       {{u"A4"_s, F("LRTB", true, false)},
        {u"C5"_s, F("LRTB", true, false)},
        {u"A3"_s, F("", false, false)},
        {u"A6"_s, F("", false, false)}}},
      // One row: no inner horizontal line, nothing above or below it touched.
      {"one row",
       1,
       {{u"A5"_s, F("LRTB", true, false)},
        {u"B5"_s, F("LRTB", true, false)},
        {u"A4"_s, F("", false, false)},
        {u"A6"_s, F("", false, false)}}},
      {"two rows",
       2,
       {{u"A5"_s, F("LRTB", true, false)},
        {u"C6"_s, F("LRTB", true, false)},
        {u"D5"_s, F("", false, false)},
        {u"A7"_s, F("", false, false)}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TBook book;
    book.Rows = Row(5, {Text("A5", "#body#")});
    const QString out = OutputTo(QString::fromLatin1(c.Name) + u".xlsx"_s);
    OpenExcel(PlaceTemplate(book));
    StartBody(u"#body#"_s);
    CreateRowBuffer(3);
    for (int i = 0; i < c.Rows; ++i) {
      SetBufferCell(0, i + 1);
      WriteRowBuffer();
      InsertRowBelow();
      NextRow();
    }
    DrawBodyBorders();
    ShowWorkbook();
    ReleaseExcel();
    QStringList cells = c.Expected.keys();
    EXPECT_EQ(Json(Formats(out, cells.join(u','))), Json(c.Expected));
  }
}

TEST_F(TExcelCoreTest, MergeMarkedRowsWithoutMarkersOnlyShrinksAndStopsAfterNMarkers) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
  const QString script =
      u"ws = openpyxl.load_workbook(sys.argv[1]).active\n"
      "print(json.dumps({'merges': sorted(str(m) for m in ws.merged_cells.ranges),\n"
      " 'shrink': [bool(ws.cell(r, 1).alignment.shrink_to_fit) for r in range(1, 7)],\n"
      " 'C12': ws['C12'].value, 'B3': [ws['B3'].value, ws['B3'].font.b,"
      " ws['B3'].alignment.horizontal]}))\n"_s;
  {
    SCOPED_TRACE("no marker");
    TBook book;
    book.Rows = Row(3, {Text("A3", "#body#")});
    const QString out = OutputTo(u"nomarker.xlsx"_s);
    OpenExcel(PlaceTemplate(book));
    StartBody(u"#body#"_s);
    CreateRowBuffer(3);
    SetBufferCell(1, u"row"_s);
    WriteRowBuffer();
    InsertRowBelow();
    NextRow();
    MergeMarkedRows(2, 18);
    ShowWorkbook();
    ReleaseExcel();
    const QJsonObject got = ReadWithOpenpyxl(out, script).toObject();
    EXPECT_EQ(Json(got[u"merges"_s]), Json(QJsonArray{}));
    // Shrink-to-fit on the anchor column from the row above the anchor to the row after the body.
    EXPECT_EQ(Json(got[u"shrink"_s]), Json(QJsonArray{false, true, true, true, false, false}));
  }
  {
    SCOPED_TRACE("markers beyond N");
    // Two marked body rows and three markers further down; N = CurRow - BodyTop + 1 = 5 - 2 + 1 = 4.
    TBook book;
    book.Rows = Row(3, {Text("A3", "#body#")}) + Row(10, {Text("C10", "#merge#")}) + Row(11, {Text("C11", "#merge#")}) +
                Row(12, {Text("C12", "#merge#")});
    const QString out = OutputTo(u"beyond.xlsx"_s);
    OpenExcel(PlaceTemplate(book));
    StartBody(u"#body#"_s);
    CreateRowBuffer(20);
    for (int i = 0; i < 2; ++i) {
      SetBufferCell(1, QStringLiteral("Цех %1").arg(i + 1));
      SetBufferCell(2, u"#merge#"_s);
      SetBufferCell(3, u"stale"_s);  // emptied before the merge
      WriteRowBuffer();
      NextRow();
    }
    MergeMarkedRows(2, 18);
    ShowWorkbook();
    ReleaseExcel();
    const QJsonObject got = ReadWithOpenpyxl(out, script).toObject();
    EXPECT_EQ(Json(got[u"merges"_s]), Json(QJsonArray{u"B10:U10"_s, u"B11:U11"_s, u"B3:U3"_s, u"B4:U4"_s}));
    EXPECT_EQ(got[u"C12"_s].toString(), u"#merge#"_s);
    EXPECT_EQ(Json(got[u"B3"_s]), Json(QJsonArray{u"Цех 1"_s, true, u"center"_s}));
  }
}
