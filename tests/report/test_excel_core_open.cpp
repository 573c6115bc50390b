// Starting the engine, finding the template, and handing the workbook over.
#include "platform/base/Exception.h"
#include "tests/report/ExcelCoreFixture.h"
#include "tests/support/TestSupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

using namespace ExcelCore;
using namespace SheetFixture;
using namespace Qt::StringLiterals;

TEST_F(TExcelCoreTest, AnEngineThatCannotStartGivesTheOpeningMessageWithItsReason) {
  SetSheetApplicationFactory(
      []() -> std::shared_ptr<TSheetApplication> { throw Exception(u"нет доступа к движку"_s); });
  EXPECT_EQ(MessageOf([] { OpenExcel(u"PPR.xlt"_s); }), u"Ошибка открытия Excel.нет доступа к движку"_s);
  EXPECT_FALSE(ExcelApp);
}

TEST_F(TExcelCoreTest, TemplateProblemsNameTheFile) {
  const QString bin = TestSupport::BinDir() + u'/';
  const QString garbage = PlaceFile("not a workbook", u".xltx"_s);
  const QString binary = PlaceFile(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + "old", u".xlt"_s);
  struct TCase {
    const char* Name;
    QString Asked;
    QString Named;  // the file the message must name
  };
  const TCase cases[] = {
      {"missing .xlt: the .xltx it prefers is named", u"absent.xlt"_s, bin + u"absent.xltx"_s},
      {"missing other name", u"absent.xlsx"_s, bin + u"absent.xlsx"_s},
      {"damaged", garbage, bin + garbage},
      // Without LibreOffice a clear refusal, with it a failed conversion: both name the binary file.
      {"binary .xlt alone", binary, bin + binary},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const QString message = MessageOf([&] { OpenExcel(c.Asked); });
    EXPECT_TRUE(message.contains(c.Named)) << message.toStdString();
    EXPECT_FALSE(message.startsWith(u"Ошибка открытия Excel."_s));  // the engine started; the file failed
    ReleaseExcel();
  }
  // Where LibreOffice cannot be found the refusal says what to do.
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", FScratch.path().toLocal8Bit());
  const QString refusal = MessageOf([&] { OpenExcel(binary); });
  qputenv("PATH", path);
  EXPECT_TRUE(refusal.contains(u"LibreOffice"_s)) << refusal.toStdString();
  EXPECT_TRUE(refusal.contains(QFileInfo(binary).completeBaseName() + u".xltx"_s)) << refusal.toStdString();
}

TEST_F(TExcelCoreTest, ShowWorkbookSavesOnceAtTheBatchPathAndNeverOverwrites) {
  TBook book;
  book.Rows = Row(2, {Text("A2", "#year#")});
  const QString name = PlaceTemplate(book);
  const QString out = OutputTo(u"batch.xlsx"_s);
  OpenExcel(name);
  ReplaceText(u"#year#"_s, u"2025"_s);
  ShowWorkbook();
  ShowWorkbook();  // already the user's: not saved again
  EXPECT_EQ(LastSavedWorkbookPath(), out);
  ReleaseExcel();
  ASSERT_TRUE(QFileInfo::exists(out));
  const QByteArray first = PartBytes(out, u"xl/worksheets/sheet1.xml"_s);

  // A second run naming the same file is refused and the file stays as it was.
  OpenExcel(name);
  const QString message = MessageOf([] { ShowWorkbook(); });
  EXPECT_TRUE(message.contains(out)) << message.toStdString();
  EXPECT_EQ(PartBytes(out, u"xl/worksheets/sheet1.xml"_s), first);
  EXPECT_EQ(QDir(FScratch.path()).entryList(QDir::Files), (QStringList{u"batch.xlsx"_s}));
}

TEST_F(TExcelCoreTest, TheOpenCommandGetsTheSavedFile) {
  const QString marker = FScratch.filePath(u"opened.txt"_s);
  const QString script = FScratch.filePath(u"open.sh"_s);
  {
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(("printf %s \"$1\" > '" + marker.toLocal8Bit() + "'\n"));
  }
  const QByteArray previous = qgetenv("PPR_OPEN_COMMAND");
  qputenv("PPR_OPEN_COMMAND", "/bin/sh \"" + script.toLocal8Bit() + "\"");
  OpenExcel(PlaceTemplate(TBook()));
  ShowWorkbook();
  qputenv("PPR_OPEN_COMMAND", previous);
  const QString saved = LastSavedWorkbookPath();
  EXPECT_TRUE(QFileInfo::exists(saved));
  QDeadlineTimer deadline(10000);
  QByteArray got;
  while (!deadline.hasExpired()) {
    QFile file(marker);
    if (file.open(QIODevice::ReadOnly) && !(got = file.readAll()).isEmpty()) break;
    QThread::msleep(20);
  }
  EXPECT_EQ(QString::fromLocal8Bit(got), saved);
  QDir(QFileInfo(saved).absolutePath()).removeRecursively();
}

TEST_F(TExcelCoreTest, AnOpenerThatFailsIsReportedWithTheSavedFile) {
  struct TCase {
    const char* Name;
    QByteArray Command;
    QString Says;
  } cases[] = {
      {"ends with an error", "false", u"«false» завершилась с кодом 1"_s},
      {"cannot start", "/nonexistent/opener --now", u"«/nonexistent/opener --now»"_s},
  };
  const QByteArray previous = qgetenv("PPR_OPEN_COMMAND");
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    qputenv("PPR_OPEN_COMMAND", c.Command);
    OpenExcel(PlaceTemplate(TBook()));
    const QString message = MessageOf([] { ShowWorkbook(); });
    ReleaseExcel();
    const qsizetype from = message.indexOf(u'«') + 1;
    const QString saved = message.mid(from, message.indexOf(u'»') - from);
    EXPECT_TRUE(saved.endsWith(u".xltx"_s)) << message.toStdString();
    EXPECT_TRUE(QFileInfo::exists(saved)) << "the message names the file the user can open by hand";
    EXPECT_TRUE(message.contains(c.Says)) << message.toStdString();
    QDir(QFileInfo(saved).absolutePath()).removeRecursively();
  }
  qputenv("PPR_OPEN_COMMAND", previous);
}

TEST_F(TExcelCoreTest, ABatchFileIsNotOpened) {
  const QString marker = FScratch.filePath(u"opened.txt"_s);
  const QByteArray previous = qgetenv("PPR_OPEN_COMMAND");
  qputenv("PPR_OPEN_COMMAND", "/bin/sh -c \"echo > '" + marker.toLocal8Bit() + "'\"");
  const QString out = OutputTo(u"batch.xlsx"_s);
  OpenExcel(PlaceTemplate(TBook()));
  ShowWorkbook();
  qputenv("PPR_OPEN_COMMAND", previous);
  EXPECT_EQ(LastSavedWorkbookPath(), out);
  QThread::msleep(300);
  EXPECT_FALSE(QFileInfo::exists(marker));
}
