#include "tests/report/ExcelCoreFixture.h"

#include "platform/base/Exception.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WorkbookCheck.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

void TExcelCoreTest::SetUp() {
  ExcelCore::ReleaseExcel();
  ExcelCore::SetOutputFile({});
  // Whatever the runner passes, a test never opens a workbook on a desktop.
  qputenv("PPR_OPEN_COMMAND", "true");
}

void TExcelCoreTest::TearDown() {
  // Every workbook a test had the layer save passes the strict reader.
  if (const QString saved = ExcelCore::LastSavedWorkbookPath();
      !saved.isEmpty() && saved.startsWith(FScratch.path()) && QFileInfo::exists(saved))
    ExpectStrictWorkbook(saved);
  ExcelCore::ReleaseExcel();
  ExcelCore::SetSheetApplicationFactory(nullptr);
  ExcelCore::SetOutputFile({});
  for (const QString& name : FPlaced) QFile::remove(TestSupport::BinDir() + u'/' + name);
}

static QString FreshName(const QString& Extension) {
  static int counter = 0;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return QStringLiteral("excelcore-%1-%2-%3%4")
      .arg(QString::fromLatin1(info->name()))
      .arg(QCoreApplication::applicationPid())
      .arg(++counter)
      .arg(Extension);
}

QString TExcelCoreTest::PlaceTemplate(const SheetFixture::TBook& Book, const QString& Extension) {
  const QString name = FreshName(Extension);
  Book.Write(TestSupport::BinDir() + u'/' + name);
  FPlaced << name;
  return name;
}

QString TExcelCoreTest::PlaceFile(const QByteArray& Bytes, const QString& Extension) {
  const QString name = FreshName(Extension);
  QFile file(TestSupport::BinDir() + u'/' + name);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(Bytes);
  FPlaced << name;
  return name;
}

QString TExcelCoreTest::OutputTo(const QString& Name) {
  const QString path = FScratch.filePath(Name);
  ExcelCore::SetOutputFile(path);
  return path;
}
