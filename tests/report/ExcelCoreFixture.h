#pragma once
// Each ExcelCore test starts and ends with no engine held, and puts its small templates beside the
// test executable (where OpenTemplate looks), removing them afterwards.
#include "report/ExcelCore.h"
#include "tests/platform/sheet/SheetFixture.h"
#include "tests/support/ExpectMessage.h"

#include <gtest/gtest.h>
#include <QStringList>
#include <QTemporaryDir>

using TestSupport::MessageOf;

class TExcelCoreTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  // Writes Book beside the executable and returns its file name (what OpenExcel takes).
  QString PlaceTemplate(const SheetFixture::TBook& Book, const QString& Extension = QStringLiteral(".xltx"));
  // Writes raw bytes beside the executable under a fresh name with Extension.
  QString PlaceFile(const QByteArray& Bytes, const QString& Extension);
  // The output file for this test: a path in the scratch folder.
  QString OutputTo(const QString& Name);

  QTemporaryDir FScratch;
  QStringList FPlaced;
};
