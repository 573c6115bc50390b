// The strict reader the tests run over every workbook they save finds the faults it is there for.
#include "platform/sheet/Workbook.h"
#include "tests/platform/sheet/SheetFixture.h"
#include "tests/support/WorkbookCheck.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace SheetFixture;
using namespace Qt::StringLiterals;

TEST(WorkbookCheck, FindsWhatAReaderWouldRepair) {
  struct TCase {
    const char* Name;
    std::string Rows, Tail, Strings;
    const char* Says;  // part of the problem reported; nullptr: none expected
  };
  const TCase cases[] = {
      {"a sound sheet", Row(1, {Text("A1", "x")}), "", "", nullptr},
      {"rows out of order", Row(1, {Text("A1", "x")}) + Row(1, {}), "", "", "out of order"},
      {"a cell of another row", Row(1, {Text("A2", "x")}), "", "", "out of place"},
      {"a style out of range", Row(1, {Text("A1", "x", 9)}), "", "", "style 9 out of range"},
      {"a shared string out of range", Row(1, {Shared("A1", 2)}), "", "<si><t>a</t></si>", "shared string"},
      {"overlapping merges", Row(1, {Text("A1", "x")}),
       "<mergeCells count=\"2\"><mergeCell ref=\"A1:B2\"/><mergeCell ref=\"B1:C1\"/></mergeCells>", "", "overlaps"},
      {"a dimension that is not the extent", Row(1, {Text("A1", "x")}) + Row(3, {Text("C3", "y")}), "", "",
       "dimension A1"},
      {"a stale formula result", Row(1, {"<c r=\"A1\"><f>1+1</f><v>2</v></c>"}), "", "", "cached result"},
      {"elements out of order", Row(1, {Text("A1", "x")}),
       "<pageMargins left=\"1\" right=\"1\" top=\"1\" "
       "bottom=\"1\" header=\"0\" footer=\"0\"/><mergeCells><mergeCell ref=\"A1:B1\"/></mergeCells>",
       "", "out of order"},
  };
  QTemporaryDir dir;
  int n = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TBook book;
    book.Template = false;
    book.Rows = c.Rows;
    book.Tail = c.Tail;
    book.SharedStrings = c.Strings;
    const QString path = dir.filePath(u"book%1.xlsx"_s.arg(++n));
    book.Write(path);
    const QStringList problems = WorkbookCheck::Problems(path);
    if (!c.Says) {
      EXPECT_EQ(problems, QStringList());
      continue;
    }
    EXPECT_TRUE(problems.join(u'\n').contains(QString::fromUtf8(c.Says))) << problems.join(u'\n').toStdString();
  }
}
