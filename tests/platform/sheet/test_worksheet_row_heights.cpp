// Rows holding wrapped text get a height at save time, as openpyxl and the saved XML show it.
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "tests/platform/sheet/SheetFixture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace SheetFixture;
using namespace Qt::StringLiterals;

TEST(WorksheetRowHeights, WrappedRowsGetTheirLinesAndTheRestStayAsTheyWere) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
  // Normal font 10 pt, rows 12.75 pt (a line is 12.75 pt), column B 10 characters wide (9.25 of them
  // for text inside the cell's padding), C 40, D to H the default 8.43, I to the sheet's end 20.
  struct TCase {
    const char* Name;
    int Row;
    std::string Cell;   // column B unless the case says otherwise
    std::string Attrs;  // the row's attributes in the template
    bool Wrap;
    QJsonValue Height;  // expected, hand-worked; null: the row has none
    bool Custom;
  };
  const TCase cases[] = {
      {"a short text keeps the default height", 2, Text("B2", "abc"), "", true, QJsonValue(), false},
      {"explicit line breaks count", 3, Text("B3", "первая\nвторая\nтретья"), "", true, 3 * 12.75, false},
      {"the same text without wrapping", 4, Text("B4", "первая\nвторая\nтретья"), "", false, QJsonValue(), false},
      // "aaa bbb" (7) | "ccc ddd" (7) | "eee": the next word never fits in 9.25.
      {"words break at spaces", 5, Text("B5", "aaa bbb ccc ddd eee"), "", true, 3 * 12.75, false},
      {"a custom height is kept", 6, Text("B6", "aaa bbb ccc ddd eee"), " ht=\"20\" customHeight=\"1\"", true, 20,
       true},
      // B7:D7 is 58.43 wide (57.68 for text): five ten-letter words (54) | the sixth; B alone would take 12.
      {"a one-row merge B7:D7 gives its whole width", 7,
       Text("B7", "aaaaaaaaaa bbbbbbbbbb cccccccccc dddddddddd eeeeeeeeee ffffffffff"), "", true, 2 * 12.75, false},
      // 20 letters in 9.25 per line: 3 lines.
      {"a word wider than the cell breaks inside", 8, Text("B8", "абвгдежзиклмнопрстуф"), "", true, 3 * 12.75, false},
      {"a wide column needs no more lines", 9, Text("C9", "aaa bbb ccc ddd eee"), "", true, QJsonValue(), false},
      {"a taller height already there is not lowered", 10, Text("B10", "abc"), " ht=\"30\"", true, 30, false},
      {"numbers do not wrap", 11, Number("B11", 123456789012345.0), "", true, QJsonValue(), false},
      // D has no <col>: 8.43, 7.68 for text, "aaa bbb" | "ccc".
      {"a column without a width takes the default", 12, Text("D12", "aaa bbb ccc"), "", true, 2 * 12.75, false},
      // I onwards are 20 (19.25 for text): "aaa bbb ccc ddd eee" (19) | "fff".
      {"a <col> to the sheet's end covers its far columns", 13, Text("AB13", "aaa bbb ccc ddd eee fff"), "", true,
       2 * 12.75, false},
  };
  TBook book;
  book.Head =
      "<sheetFormatPr defaultRowHeight=\"12.75\"/>"
      "<cols><col min=\"2\" max=\"2\" width=\"10\" customWidth=\"1\"/>"
      "<col min=\"3\" max=\"3\" width=\"40\" customWidth=\"1\"/>"
      "<col min=\"9\" max=\"16384\" width=\"20\" customWidth=\"1\"/></cols>";
  for (const TCase& c : cases) book.Rows += Row(c.Row, {c.Cell}, c.Attrs);
  book.Tail = "<mergeCells count=\"1\"><mergeCell ref=\"B7:D7\"/></mergeCells>";
  QTemporaryDir dir;
  const QString in = dir.filePath(u"in.xltx"_s), out = dir.filePath(u"out.xlsx"_s);
  book.Write(in);
  {
    auto workbook = TWorkbook::Load(in);
    auto sheet = workbook->ActiveSheet();
    for (const TCase& c : cases)
      if (c.Wrap) sheet->SetWrapText({c.Row, 2, c.Row, 28}, true);
    workbook->SaveAs(out);
  }
  const QJsonObject heights = ReadWithOpenpyxl(out,
                                               u"ws = openpyxl.load_workbook(sys.argv[1]).active\n"
                                               "print(json.dumps({str(r): ws.row_dimensions[r].height"
                                               " for r in range(1, 15)}))\n"_s)
                                  .toObject();
  // openpyxl reports any row with a height as custom; the part itself tells.
  const QString xml = QString::fromUtf8(PartBytes(out, u"xl/worksheets/sheet1.xml"_s));
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const QJsonValue got = heights[QString::number(c.Row)];
    if (c.Height.isNull())
      EXPECT_TRUE(got.isNull()) << got.toDouble();
    else
      EXPECT_NEAR(got.toDouble(), c.Height.toDouble(), 0.01);
    const auto tag = QRegularExpression(u"<row r=\"%1\"[^>]*>"_s.arg(c.Row)).match(xml);
    ASSERT_TRUE(tag.hasMatch());
    EXPECT_EQ(tag.captured(0).contains(u"customHeight=\"1\""_s), c.Custom) << tag.captured(0).toStdString();
  }
}

TEST(WorksheetRowHeights, WithoutADefaultRowHeightTheNormalFontSetsTheLine) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
  // No sheetFormatPr: a line of the 10 pt Normal font is taken as 13.6 pt (the usual 1.36 of the size).
  // B is the default 8.43 wide: 7.68 characters of text, "aaa bbb ccc" takes "aaa bbb" | "ccc".
  TBook book;
  book.Rows = Row(2, {Text("B2", "aaa bbb ccc")});
  QTemporaryDir dir;
  const QString in = dir.filePath(u"in.xltx"_s), out = dir.filePath(u"out.xlsx"_s);
  book.Write(in);
  {
    auto workbook = TWorkbook::Load(in);
    auto sheet = workbook->ActiveSheet();
    sheet->SetWrapText({2, 2, 2, 2}, true);
    workbook->SaveAs(out);
  }
  const QJsonValue got = ReadWithOpenpyxl(
      out, u"print(json.dumps(openpyxl.load_workbook(sys.argv[1]).active.row_dimensions[2].height))"_s);
  EXPECT_NEAR(got.toDouble(), 2 * 13.6, 0.01);
}
