// The search rule: by rows, left to right, from the cell after the top-left one, which comes last;
// a text cell matches when it contains the text, whatever the case.
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "tests/platform/sheet/SheetFixture.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace SheetFixture;

namespace {

std::shared_ptr<TWorksheet> LoadSheet(const QTemporaryDir& Dir, const TBook& Book) {
  const QString path = Dir.filePath(QStringLiteral("find.xltx"));
  Book.Write(path);
  return TWorkbook::Load(path)->ActiveSheet();
}

TBook FindBook() {
  TBook book;
  book.Rows = Row(1, {Text("A1", "#x#"), Text("C1", "other")}) +
              Row(2, {Text("B2", "abc #X# def"), Text("D2", "#x#")}) +
              Row(3, {Number("A3", 5), Text("B3", "Маркер в тексте")});
  return book;
}

std::pair<int32_t, int32_t> At(const std::optional<TCellPos>& Pos) {
  return Pos ? std::pair{Pos->Row, Pos->Col} : std::pair{0, 0};
}

}  // namespace

TEST(WorksheetFind, VisitsRowsLeftToRightAndTheTopLeftCellLast) {
  QTemporaryDir dir;
  auto sheet = LoadSheet(dir, FindBook());
  const QString what = QStringLiteral("#x#");
  // Clearing each cell found walks the matches in the search order.
  const std::pair<int32_t, int32_t> expected[] = {{2, 2}, {2, 4}, {1, 1}};
  for (const auto& cell : expected) {
    const auto found = sheet->Find(what);
    ASSERT_EQ(At(found), cell);
    sheet->SetValue(found->Row, found->Col, QVariant());
  }
  EXPECT_FALSE(sheet->Find(what));
}

TEST(WorksheetFind, MatchesPartOfATextWithoutRegardToCaseAndOnlyText) {
  QTemporaryDir dir;
  auto sheet = LoadSheet(dir, FindBook());
  struct TCase {
    const char* Name;
    QString What;
    std::pair<int32_t, int32_t> Expected;
  };
  const TCase cases[] = {
      {"Cyrillic, other case, inside a longer text", QStringLiteral("МАРКЕР"), {3, 2}},
      {"a number cell is not searched", QStringLiteral("5"), {0, 0}},
      {"nothing holds it", QStringLiteral("#body#"), {0, 0}},
      {"an empty text finds nothing", QString(), {0, 0}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(At(sheet->Find(c.What)), c.Expected);
  }
  // Inside a rectangle its own top-left cell comes last.
  EXPECT_EQ(At(sheet->Find(QStringLiteral("#x#"), TCellRect{2, 4, 5, 6})), (std::pair{2, 4}));
  EXPECT_EQ(At(sheet->Find(QStringLiteral("x"), TCellRect{1, 1, 1, 3})), (std::pair{1, 1}));
}

TEST(WorksheetFind, FindsTextWrittenAboveAnEarlierMatchAndAfterInserts) {
  QTemporaryDir dir;
  auto sheet = LoadSheet(dir, FindBook());
  const QString what = QStringLiteral("#x#");
  ASSERT_EQ(At(sheet->Find(what)), (std::pair{2, 2}));
  sheet->SetValue(2, 2, QVariant());
  ASSERT_EQ(At(sheet->Find(what)), (std::pair{2, 4}));
  // Written above the last match: the next search must still start at the top.
  sheet->SetValue(1, 2, QStringLiteral("#X#"));
  EXPECT_EQ(At(sheet->Find(what)), (std::pair{1, 2}));
  sheet->SetValue(1, 2, QVariant());
  // Two rows inserted at the top move everything down: the old top-left cell A1 is now A3 and no longer
  // the cell visited last, so it comes before D4 (the old D2).
  sheet->InsertRow(1);
  sheet->InsertRow(1);
  EXPECT_EQ(At(sheet->Find(what)), (std::pair{3, 1}));
  sheet->SetValue(3, 1, QVariant());
  EXPECT_EQ(At(sheet->Find(what)), (std::pair{4, 4}));
  // A row written in one block is searched too.
  const QVariant values[] = {QStringLiteral("a"), QStringLiteral("b #x#")};
  sheet->SetRowValues(2, 1, values, 2);
  EXPECT_EQ(At(sheet->Find(what)), (std::pair{2, 2}));
}
