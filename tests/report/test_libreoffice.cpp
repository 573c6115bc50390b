// LibreOffice, where it is installed, opens what we write, and converts a binary template for us.
#include "platform/desktop/LegacyTemplate.h"
#include "platform/sheet/FileSignature.h"
#include "tests/report/ExcelCoreFixture.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

using namespace ExcelCore;
using namespace SheetFixture;
using namespace Qt::StringLiterals;

namespace {

// Runs soffice headless with its own profile folder, so that no running instance or user profile matters.
TestSupport::ProcessResult Soffice(const QString& Profile, const QStringList& Args) {
  return TestSupport::Run(
      LibreOfficeProgram(),
      QStringList{u"--headless"_s, u"--norestore"_s, u"-env:UserInstallation=file://"_s + Profile} + Args, {}, 180000);
}

// What LibreOffice said beyond its progress lines ("convert a -> b using filter ...") and the Java
// launcher's note, which every headless start prints: a warning or an error about our files.
QStringList Complaints(const TestSupport::ProcessResult& Result) {
  QStringList complaints;
  for (const QString& line : QString(Result.Stdout + u'\n' + Result.Stderr).split(u'\n', Qt::SkipEmptyParts))
    if (!line.startsWith(u"convert "_s) && !line.contains(u"javaldx"_s)) complaints << line;
  return complaints;
}

// A schedule on the shipped template with as many subdivisions as the demo has and more, names holding
// characters XML cannot carry as they are.
void WriteSchedule(int Subdivisions, const QStringList& Names) {
  OpenExcel(u"PPR.xlt"_s);
  ReplaceText(u"#year#"_s, u"2024"_s);
  StartBody(u"#body#"_s);
  CreateRowBuffer(20);
  int number = 0;
  for (int s = 1; s <= Subdivisions; ++s) {
    SetBufferCell(0, QString());
    SetBufferCell(1, u"Цех %1"_s.arg(s));
    SetBufferCell(2, u"#merge#"_s);
    WriteRowBuffer();
    NextRow();
    SetBufferCell(0, ++number);
    SetBufferCell(1, Names.value(number - 1, u"Прибор %1"_s.arg(number)));
    SetBufferCell(2, u"МП-100"_s);
    for (int m = 1; m <= 12; ++m) SetBufferCell(6 + m, m == 3 ? QVariant(u"П"_s) : QVariant());
    WriteRowBuffer();
    InsertRowBelow();
    NextRow();
  }
  DrawBodyBorders();
  MergeMarkedRows(2, 18);
  ShowWorkbook();
  ReleaseExcel();
}

}  // namespace

// Representative workbooks of ours, printed to PDF and saved back to .xlsx by LibreOffice in one start
// each: no complaint, every page printed, the texts and the recalculated formulas as we meant them.
TEST_F(TExcelCoreTest, LibreOfficePrintsAndResavesOurWorkbooksWithoutAComplaint) {
  if (LibreOfficeProgram().isEmpty()) GTEST_SKIP() << "LibreOffice is not installed";
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
  const QStringList names{u"Манометр"_s + QChar(0xFFFF), u"Термометр\rТС-1"_s, u"Весы"_s + QChar(0x0001) + u"ВЛ"_s,
                          u"Гиря\tF1\nкласс"_s};
  const QString schedule = OutputTo(u"schedule.xlsx"_s);
  WriteSchedule(40, names);
  // A template total below the body: after the inserts it must count the rows the body pushed down.
  TBook book;
  book.Rows = Row(2, {Text("A2", "#body#")}) + Row(3, {Number("A3", 5)}) + Row(4, {Number("A4", 7)}) +
              Row(6, {"<c r=\"A6\"><f>COUNT(A2:A4)</f><v>2</v></c>", "<c r=\"B6\"><f>SUM($A$3:A4)</f><v>12</v></c>"});
  const QString formulas = OutputTo(u"formulas.xlsx"_s);
  OpenExcel(PlaceTemplate(book));
  StartBody(u"#body#"_s);
  CreateRowBuffer(1);
  for (int i = 1; i <= 3; ++i) {
    SetBufferCell(0, i * 100);
    WriteRowBuffer();
    InsertRowBelow();
    NextRow();
  }
  ShowWorkbook();
  ReleaseExcel();
  ASSERT_TRUE(QFileInfo::exists(schedule) && QFileInfo::exists(formulas));

  const QString pdfs = FScratch.filePath(u"pdf"_s), back = FScratch.filePath(u"back"_s);
  const auto printed =
      Soffice(FScratch.filePath(u"profile"_s), {u"--convert-to"_s, u"pdf"_s, u"--outdir"_s, pdfs, schedule, formulas});
  EXPECT_EQ(Complaints(printed), QStringList());
  const auto resaved = Soffice(FScratch.filePath(u"profile"_s), {u"--convert-to"_s, u"xlsx:Calc MS Excel 2007 XML"_s,
                                                                 u"--outdir"_s, back, schedule, formulas});
  EXPECT_EQ(Complaints(resaved), QStringList());
  for (const QString& pdf : QStringList{pdfs + u"/schedule.pdf"_s, pdfs + u"/formulas.pdf"_s})
    EXPECT_GT(QFileInfo(pdf).size(), 1000) << pdf.toStdString();
  if (const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s); !pdftotext.isEmpty()) {
    const QString text = TestSupport::Run(pdftotext, {pdfs + u"/schedule.pdf"_s, u"-"_s}).Stdout;
    for (const QString& word : {u"СОГЛАСОВАНО"_s, u"УТВЕРЖДАЮ"_s, u"Составил:"_s, u"Цех 40"_s, u"Прибор 40"_s})
      EXPECT_TRUE(text.contains(word)) << word.toStdString() << " is not printed";
  }

  // What LibreOffice read, as it saved it: our names exactly (the format's escape applied), and the
  // template's formulas recalculated over the rows they now cover: COUNT(A2:A7) finds the three body
  // numbers and the template's two, SUM($A$6:A7) the template's two alone.
  const auto read = TestSupport::RunPython(
      uR"py(
import json, re, sys, openpyxl
unescape = lambda s: re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), s or "")
units = lambda s: list(memoryview(s.encode("utf-16-le", "surrogatepass")).cast("H"))
ws = openpyxl.load_workbook(sys.argv[1]).active
f = openpyxl.load_workbook(sys.argv[2], data_only=True).active
print(json.dumps({"names": [units(unescape(ws.cell(10 + 2 * k, 2).value)) for k in range(1, 5)],
                  "form": [ws["A1"].value, ws["P1"].value, ws["B89"].value],
                  "totals": [f["A9"].value, f["B9"].value]}))
)py"_s,
      {back + u"/schedule.xlsx"_s, back + u"/formulas.xlsx"_s});
  ASSERT_EQ(read.ExitCode, 0) << read.Stderr.toStdString();
  const QJsonObject got = QJsonDocument::fromJson(read.Stdout.toUtf8()).object();
  for (qsizetype k = 0; k < names.size(); ++k) {
    QJsonArray units;
    for (const QChar ch : names[k]) units.append(ch.unicode());
    EXPECT_EQ(Json(got[u"names"_s].toArray()[k]), Json(units)) << names[k].toStdString();
  }
  EXPECT_EQ(Json(got[u"form"_s]), Json(QJsonArray{u"СОГЛАСОВАНО"_s, u"УТВЕРЖДАЮ"_s, u"Цех 40"_s}));
  EXPECT_EQ(Json(got[u"totals"_s]), Json(QJsonArray{5, 12}));
}

TEST_F(TExcelCoreTest, LibreOfficeOpensAScheduleWeWrote) {
  if (LibreOfficeProgram().isEmpty()) GTEST_SKIP() << "LibreOffice is not installed";
  const QString out = OutputTo(u"schedule.xlsx"_s);
  OpenExcel(u"PPR.xlt"_s);
  ReplaceText(u"#year#"_s, u"2024"_s);
  StartBody(u"#body#"_s);
  CreateRowBuffer(20);
  SetBufferCell(1, u"Цех 1"_s);
  SetBufferCell(2, u"#merge#"_s);
  WriteRowBuffer();
  NextRow();
  SetBufferCell(0, 1);
  SetBufferCell(1, u"Манометр"_s);
  SetBufferCell(2, QString());
  WriteRowBuffer();
  InsertRowBelow();
  NextRow();
  DrawBodyBorders();
  MergeMarkedRows(2, 18);
  ShowWorkbook();
  ReleaseExcel();

  const QString csvFolder = FScratch.filePath(u"csv"_s);
  const auto result =
      Soffice(FScratch.filePath(u"profile"_s),
              {u"--convert-to"_s, u"csv:Text - txt - csv (StarCalc):44,34,76"_s, u"--outdir"_s, csvFolder, out});
  QFile csv(csvFolder + u"/schedule.csv"_s);
  ASSERT_TRUE(csv.open(QIODevice::ReadOnly)) << result.Stdout.toStdString() << result.Stderr.toStdString();
  const QStringList lines = QString::fromUtf8(csv.readAll()).split(u'\n');
  ASSERT_GT(lines.size(), 12);
  EXPECT_TRUE(lines[5].contains(u",2024,год"_s)) << lines[5].toStdString();
  EXPECT_TRUE(lines[10].startsWith(u",Цех 1,"_s)) << lines[10].toStdString();
  EXPECT_TRUE(lines[11].startsWith(u"1,Манометр,"_s)) << lines[11].toStdString();
}

TEST_F(TExcelCoreTest, ABinaryTemplateAloneIsConvertedWithLibreOffice) {
  if (LibreOfficeProgram().isEmpty()) GTEST_SKIP() << "LibreOffice is not installed";
  // A binary .xlt made by LibreOffice from a small template, placed beside the executable alone.
  TBook book;
  book.Rows = Row(2, {Text("B2", "#year#")});
  const QString source = FScratch.filePath(u"legacy.xltx"_s);
  book.Write(source);
  const auto made = Soffice(FScratch.filePath(u"profile"_s), {u"--convert-to"_s, u"xlt:MS Excel 97 Vorlage/Template"_s,
                                                              u"--outdir"_s, FScratch.path(), source});
  QFile binary(FScratch.filePath(u"legacy.xlt"_s));
  ASSERT_TRUE(binary.open(QIODevice::ReadOnly)) << made.Stderr.toStdString();
  const QString name = PlaceFile(binary.readAll(), u".xlt"_s);
  ASSERT_TRUE(IsBinaryWorkbookFile(TestSupport::BinDir() + u'/' + name));
  OpenExcel(name);
  EXPECT_TRUE(ReplaceText(u"#year#"_s, u"2024"_s));
  EXPECT_EQ(CurRow, 2);
  EXPECT_EQ(CurCol, 2);
}
