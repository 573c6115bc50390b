// LibreOffice, where it is installed, opens what we write, and converts a binary template for us.
#include "platform/sheet/LegacyTemplate.h"
#include "tests/report/ExcelCoreFixture.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace ExcelCore;
using namespace SheetFixture;
using namespace Qt::StringLiterals;

namespace {

// Runs soffice headless with its own profile folder, so that no running instance or user profile matters.
TestSupport::ProcessResult Soffice(const QString& Profile, const QStringList& Args) {
  return TestSupport::Run(LibreOfficeProgram(),
                          QStringList{u"--headless"_s, u"--norestore"_s,
                                      u"-env:UserInstallation=file://"_s + Profile} + Args,
                          {}, 180000);
}

}  // namespace

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
  const auto result = Soffice(FScratch.filePath(u"profile"_s),
                              {u"--convert-to"_s, u"csv:Text - txt - csv (StarCalc):44,34,76"_s, u"--outdir"_s,
                               csvFolder, out});
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
  const auto made = Soffice(FScratch.filePath(u"profile"_s),
                            {u"--convert-to"_s, u"xlt:MS Excel 97 Vorlage/Template"_s, u"--outdir"_s,
                             FScratch.path(), source});
  QFile binary(FScratch.filePath(u"legacy.xlt"_s));
  ASSERT_TRUE(binary.open(QIODevice::ReadOnly)) << made.Stderr.toStdString();
  const QString name = PlaceFile(binary.readAll(), u".xlt"_s);
  ASSERT_TRUE(IsBinaryWorkbookFile(TestSupport::BinDir() + u'/' + name));
  OpenExcel(name);
  EXPECT_TRUE(ReplaceText(u"#year#"_s, u"2024"_s));
  EXPECT_EQ(CurRow, 2);
  EXPECT_EQ(CurCol, 2);
}
