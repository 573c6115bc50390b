// Positions and anchors: replace, clear, the body anchor, the row buffer, inserts, release.
#include "platform/base/Exception.h"
#include "tests/report/ExcelCoreFixture.h"

using namespace ExcelCore;
using namespace SheetFixture;
using namespace Qt::StringLiterals;

TEST_F(TExcelCoreTest, ReplaceTextReplacesTheWholeCellAndMovesThere) {
  TBook book;
  book.Rows = Row(2, {Text("A2", "title"), Text("B2", "Год: #year# г.")}) + Row(3, {Text("C3", "#year#")});
  OpenExcel(PlaceTemplate(book));
  EXPECT_EQ(CurRow, 1);
  EXPECT_EQ(CurCol, 1);
  EXPECT_FALSE(ReplaceText(u"#absent#"_s, u"x"_s));
  EXPECT_EQ(CurRow, 1);
  EXPECT_TRUE(ReplaceText(u"#YEAR#"_s, u"2024"_s));
  EXPECT_EQ(ExcelSheet->Value(2, 2), QVariant(u"2024"_s));    // the text around the placeholder goes too
  EXPECT_EQ(ExcelSheet->Value(3, 3), QVariant(u"#year#"_s));  // only the first cell found
  EXPECT_EQ(CurRow, 2);
  EXPECT_EQ(CurCol, 2);
}

TEST_F(TExcelCoreTest, ClearTextEmptiesEveryCellAndEndsOnTheLast) {
  TBook book;
  book.Rows = Row(2, {Text("D2", "#x#")}) + Row(3, {Text("B3", "a #x# b")}) + Row(5, {Text("A5", "#x#")});
  OpenExcel(PlaceTemplate(book));
  EXPECT_FALSE(ClearText(u"#x#"_s));
  for (auto [r, c] : {std::pair{2, 4}, {3, 2}, {5, 1}}) EXPECT_FALSE(ExcelSheet->Value(r, c).isValid());
  EXPECT_EQ(CurRow, 5);  // by rows: D2, B3, then A5 last
  EXPECT_EQ(CurCol, 1);
}

TEST_F(TExcelCoreTest, StartBodyTakesTheAnchorsFromTheFirstCellAndThePositionFromTheLast) {
  TBook book;
  book.Rows = Row(4, {Text("C4", "#body#")}) + Row(6, {Text("A6", "#body#")});
  OpenExcel(PlaceTemplate(book));
  StartBody(u"#body#"_s);
  EXPECT_FALSE(ExcelApp->DisplayAlerts());
  EXPECT_EQ(BodyTop, 3);
  EXPECT_EQ(BodyLeft, 3);
  EXPECT_EQ(CurRow, 6);
  EXPECT_EQ(CurCol, 1);
  EXPECT_FALSE(ExcelSheet->Value(4, 3).isValid());
  EXPECT_FALSE(ExcelSheet->Value(6, 1).isValid());

  // A missing anchor: alerts off all the same, anchors and position as they were (also across runs).
  ReleaseExcel();
  OpenExcel(PlaceTemplate(TBook()));
  StartBody(u"#body#"_s);
  EXPECT_FALSE(ExcelApp->DisplayAlerts());
  EXPECT_EQ(BodyTop, 3);
  EXPECT_EQ(BodyLeft, 3);
  EXPECT_EQ(CurRow, 1);
}

TEST_F(TExcelCoreTest, WriteRowBufferWritesEveryPositionEmptiesIncluded) {
  TBook book;
  book.Rows = Row(3, {Text("A3", "#body#"), Text("B3", "old"), Text("C3", "old"), Text("D3", "beyond")});
  OpenExcel(PlaceTemplate(book));
  StartBody(u"#body#"_s);
  CreateRowBuffer(3);
  SetBufferCell(0, 7);
  WriteRowBuffer();
  EXPECT_EQ(ExcelSheet->Value(3, 1), QVariant(qlonglong{7}));
  EXPECT_FALSE(ExcelSheet->Value(3, 2).isValid());
  EXPECT_FALSE(ExcelSheet->Value(3, 3).isValid());
  EXPECT_EQ(ExcelSheet->Value(3, 4), QVariant(u"beyond"_s));
  // The buffer keeps its values from row to row.
  NextRow();
  SetBufferCell(2, u"c"_s);
  WriteRowBuffer();
  EXPECT_EQ(ExcelSheet->Value(4, 1), QVariant(qlonglong{7}));
  EXPECT_EQ(ExcelSheet->Value(4, 3), QVariant(u"c"_s));
}

TEST_F(TExcelCoreTest, InsertRowBelowPushesTheRestDownAndKeepsThePosition) {
  TBook book;
  book.Rows = Row(2, {Text("A2", "#body#")}) + Row(3, {Text("A3", "template row")}) + Row(4, {Text("A4", "sign")});
  OpenExcel(PlaceTemplate(book));
  StartBody(u"#body#"_s);
  CreateRowBuffer(2);
  SetBufferCell(0, 1);
  WriteRowBuffer();
  InsertRowBelow();
  EXPECT_EQ(CurRow, 2);
  ASSERT_TRUE(ExcelSheet->Selection());
  EXPECT_EQ(ExcelSheet->Selection()->R1, 3);
  EXPECT_FALSE(ExcelSheet->Value(3, 1).isValid());
  EXPECT_EQ(ExcelSheet->Value(4, 1), QVariant(u"template row"_s));
  EXPECT_EQ(ExcelSheet->Value(5, 1), QVariant(u"sign"_s));
}

TEST_F(TExcelCoreTest, RowBufferFailuresAreMessagesNotCrashes) {
  EXPECT_EQ(MessageOf([] { CreateRowBuffer(-1); }), u"Ошибка создания буфера чтения данных."_s);
  EXPECT_EQ(MessageOf([] { CreateRowBuffer(1 << 30); }), u"Ошибка создания буфера чтения данных."_s);
  CreateRowBuffer(20);
  EXPECT_EQ(RowBuffer.size(), 20);
  EXPECT_TRUE(std::all_of(RowBuffer.begin(), RowBuffer.end(), [](const QVariant& v) { return !v.isValid(); }));
  EXPECT_NE(MessageOf([] { SetBufferCell(20, 1); }), TestSupport::NoErrorMessage);
  EXPECT_NE(MessageOf([] { SetBufferCell(-1, 1); }), TestSupport::NoErrorMessage);
  SetBufferCell(19, u"last"_s);
  EXPECT_EQ(RowBuffer[19], QVariant(u"last"_s));
  // Without a workbook every sheet call fails with a message.
  EXPECT_NE(MessageOf([] { WriteRowBuffer(); }), TestSupport::NoErrorMessage);
  EXPECT_NE(MessageOf([] { ReplaceText(u"#year#"_s, u"1"_s); }), TestSupport::NoErrorMessage);
}

TEST_F(TExcelCoreTest, ReleaseDropsTheEngineAndBufferButKeepsPositions) {
  TBook book;
  book.Rows = Row(5, {Text("B5", "#body#")});
  OpenExcel(PlaceTemplate(book));
  StartBody(u"#body#"_s);
  CreateRowBuffer(4);
  NextRow();
  ReleaseExcel();
  EXPECT_FALSE(ExcelApp);
  EXPECT_FALSE(ExcelBook);
  EXPECT_FALSE(ExcelSheet);
  EXPECT_TRUE(RowBuffer.isEmpty());
  EXPECT_EQ(CurRow, 6);
  EXPECT_EQ(CurCol, 2);
  EXPECT_EQ(BodyTop, 4);
  EXPECT_EQ(BodyLeft, 2);
  EXPECT_EQ(BufferSize, 4);
}

TEST_F(TExcelCoreTest, APlaceholderInTheFirstRowFailsWithAMessage) {
  // The found cell is read through the cell above it, which row 1 does not have.
  TBook book;
  book.Rows = Row(1, {Text("B1", "#year#")});
  OpenExcel(PlaceTemplate(book));
  const QString message = MessageOf([] { ReplaceText(u"#year#"_s, u"2024"_s); });
  EXPECT_TRUE(message.contains(u"строка 0"_s)) << message.toStdString();
  EXPECT_EQ(ExcelSheet->Value(1, 2), QVariant(u"#year#"_s));
}
