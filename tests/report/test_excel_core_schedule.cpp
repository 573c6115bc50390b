// A whole report on the shipped template, the way the schedule drives it, read back by openpyxl.
#include "tests/report/ExcelCoreFixture.h"
#include "tests/support/TestSupport.h"

#include <sys/stat.h>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

using namespace ExcelCore;
using namespace SheetFixture;
using namespace Qt::StringLiterals;

namespace {

void Header(const QString& Caption) {
  SetBufferCell(0, QString());
  SetBufferCell(1, Caption);
  SetBufferCell(2, u"#merge#"_s);
  WriteRowBuffer();
  NextRow();
}

void Instrument(int Number, const QString& Name, int DueMonth) {
  SetBufferCell(0, Number);
  SetBufferCell(1, Name);
  SetBufferCell(2, u"МП-100"_s);
  SetBufferCell(6, u"03.2012"_s);
  for (int m = 1; m <= 12; ++m) SetBufferCell(6 + m, m == DueMonth ? QVariant(u"П"_s) : QVariant());
  WriteRowBuffer();
  InsertRowBelow();
  NextRow();
}

}  // namespace

TEST_F(TExcelCoreTest, AScheduleOnTheShippedTemplateReadsBackAsWorkedOut) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
  ASSERT_TRUE(QFileInfo::exists(TestSupport::BinDir() + u"/PPR.xltx"_s));
  OpenExcel(u"PPR.xlt"_s);  // the name the report asks for; PPR.xltx is taken in its place
  ReplaceText(u"#year#"_s, u"2024"_s);
  StartBody(u"#body#"_s);
  CreateRowBuffer(20);
  Header(u"Цех 1"_s);
  Instrument(1, u"Манометр"_s, 2);  // February: position 8, column I
  Instrument(2, u"Термометр"_s, 5);
  Header(u"Цех 2"_s);
  Instrument(3, u"Весы"_s, 12);
  const int32_t afterBody = CurRow;
  DrawBodyBorders();
  MergeMarkedRows(2, 18);
  ShowWorkbook();
  ReleaseExcel();

  // Hand-worked: the body starts on the anchor row 11; each header writes over one template row and each
  // instrument pushes the rest down, so the body is A11:T15, the position ends on 16 and the signature
  // rows (template rows 17 and 19) end on 20 and 22.
  EXPECT_EQ(BodyTop, 10);
  EXPECT_EQ(BodyLeft, 1);
  EXPECT_EQ(afterBody, 16);
  EXPECT_EQ(CurRow, 14);  // the merge leaves the position on the last marker it found
  const QString saved = LastSavedWorkbookPath();
  ASSERT_FALSE(saved.isEmpty());
  // The window's hand-over: a template, which the spreadsheet application opens as a new, unsaved book.
  EXPECT_TRUE(saved.endsWith(u"/PPR.xltx"_s));
  struct stat folder {};
  ASSERT_EQ(stat(QFileInfo(saved).absolutePath().toLocal8Bit().constData(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);  // a private folder

  const QJsonObject got =
      ReadWithOpenpyxl(
          saved,
          u"wb = openpyxl.load_workbook(sys.argv[1]); ws = wb.active\n"
          "row = lambda r: [ws.cell(r, c).value for c in range(1, 22)]\n"
          "b = lambda a: ''.join(k for k, s in (('L', ws[a].border.left), ('R', ws[a].border.right),"
          " ('T', ws[a].border.top), ('B', ws[a].border.bottom)) if s.style == 'thin')\n"
          "print(json.dumps({\n"
          " 'year': ws['J6'].value, 'r11': row(11), 'r12': row(12)[:9], 'r14': row(14)[:3], 'r15': row(15)[:3],\n"
          " 'r16': row(16), 'form': [ws['A1'].value, ws['P1'].value, ws['A7'].value],\n"
          " 'merges': sorted(str(m) for m in ws.merged_cells.ranges if m.min_row >= 11),\n"
          " 'header': [ws['B11'].font.b, ws['B11'].alignment.horizontal, ws['B14'].font.b],\n"
          " 'borders': [b('A11'), b('T15'), b('J13'), b('A16'), b('U12')],\n"
          " 'wrap': [bool(ws[a].alignment.wrap_text) for a in ('A11', 'T15', 'U12')],\n"
          " 'shrink': [bool(ws.cell(r, 1).alignment.shrink_to_fit) for r in (9, 11, 16, 17)] + "
          "[bool(ws['B12'].alignment.shrink_to_fit)],\n"
          " 'titles': ws.print_title_rows, 'area': str(ws.print_area).split('!')[-1].strip(\"[]'\"),\n"
          " 'page': [ws.page_setup.orientation, str(ws.page_setup.paperSize)],\n"
          " 'template': wb.template}))\n"_s)
          .toObject();

  QJsonArray header11{QJsonValue(), u"Цех 1"_s};
  for (int c = 3; c <= 21; ++c) header11.append(QJsonValue());
  EXPECT_EQ(got[u"year"_s].toString(), u"2024"_s);
  EXPECT_EQ(Json(got[u"r11"_s]), Json(header11));
  EXPECT_EQ(Json(got[u"r12"_s]), Json(QJsonArray{1, u"Манометр"_s, u"МП-100"_s, QJsonValue(), QJsonValue(),
                                                 QJsonValue(), u"03.2012"_s, QJsonValue(), u"П"_s}));
  EXPECT_EQ(Json(got[u"r14"_s]), Json(QJsonArray{QJsonValue(), u"Цех 2"_s, QJsonValue()}));
  EXPECT_EQ(Json(got[u"r15"_s]), Json(QJsonArray{3, u"Весы"_s, u"МП-100"_s}));
  QJsonArray empty;
  for (int c = 1; c <= 21; ++c) empty.append(QJsonValue());
  EXPECT_EQ(Json(got[u"r16"_s]), Json(empty));
  // The approvals and the signature stand above the body, out of the header rows' reach.
  EXPECT_EQ(got[u"form"_s].toArray()[0].toString(), u"СОГЛАСОВАНО"_s);
  EXPECT_EQ(got[u"form"_s].toArray()[1].toString(), u"УТВЕРЖДАЮ"_s);
  EXPECT_TRUE(got[u"form"_s].toArray()[2].toString().startsWith(u"Составил"_s));
  EXPECT_EQ(Json(got[u"merges"_s]), Json(QJsonArray{u"B11:U11"_s, u"B14:U14"_s}));
  EXPECT_EQ(Json(got[u"header"_s]), Json(QJsonArray{true, u"center"_s, true}));
  EXPECT_EQ(Json(got[u"borders"_s]), Json(QJsonArray{u"LRTB"_s, u"LRTB"_s, u"LRTB"_s, u""_s, u""_s}));
  EXPECT_EQ(Json(got[u"wrap"_s]), Json(QJsonArray{true, true, false}));
  // Row 10 is shrunk too, but openpyxl reads it as part of the heading merge A9:A10.
  EXPECT_EQ(Json(got[u"shrink"_s]), Json(QJsonArray{false, true, true, false, false}));
  EXPECT_EQ(got[u"titles"_s].toString(), u"$9:$10"_s);
  EXPECT_EQ(got[u"area"_s].toString(), u"$A:$T"_s);  // columns only: no row to move
  EXPECT_EQ(Json(got[u"page"_s]), Json(QJsonArray{u"landscape"_s, u"9"_s}));
  EXPECT_TRUE(got[u"template"_s].toBool());
  QDir(QFileInfo(saved).absolutePath()).removeRecursively();
}
