// Range formats as openpyxl reads them, and the sharing of the cell formats they make.
#include "platform/base/Exception.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "tests/platform/sheet/SheetFixture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <functional>

using namespace SheetFixture;
using namespace Qt::StringLiterals;

namespace {

// For each cell of B2:D4, the sides ("LRTB") that have a thin border.
const QString BorderSides =
    u"ws = openpyxl.load_workbook(sys.argv[1]).active\n"
    "out = {}\n"
    "for row in ws['B2:D4']:\n"
    "    for c in row:\n"
    "        b = c.border\n"
    "        out[c.coordinate] = ''.join(k for k, s in (('L', b.left), ('R', b.right),"
    " ('T', b.top), ('B', b.bottom)) if s.style == 'thin')\n"
    "print(json.dumps(out))\n"_s;

QString SaveFormatted(const QTemporaryDir& Dir, const QString& Name, const std::function<void(TWorksheet&)>& Format) {
  TBook book;
  book.Rows = Row(2, {Text("B2", "x"), Text("C2", "y")});
  const QString in = Dir.filePath(Name + u".xltx"_s), out = Dir.filePath(Name + u".xlsx"_s);
  book.Write(in);
  auto workbook = TWorkbook::Load(in);
  Format(*workbook->ActiveSheet());
  workbook->SaveAs(out);
  return out;
}

}  // namespace

TEST(WorksheetFormat, EachBorderIndexDrawsItsLinesOnly) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
  QTemporaryDir dir;
  const TCellRect body{2, 2, 4, 4};
  struct TCase {
    const char* Name;
    std::vector<TBorderIndex> Indexes;
    QJsonObject Expected;  // hand-worked for B2:D4
  };
  const auto all = [](const char* b2, const char* c2, const char* d2, const char* b3, const char* c3, const char* d3,
                      const char* b4, const char* c4, const char* d4) {
    return QJsonObject{
        {u"B2"_s, QString::fromUtf8(b2)}, {u"C2"_s, QString::fromUtf8(c2)}, {u"D2"_s, QString::fromUtf8(d2)},
        {u"B3"_s, QString::fromUtf8(b3)}, {u"C3"_s, QString::fromUtf8(c3)}, {u"D3"_s, QString::fromUtf8(d3)},
        {u"B4"_s, QString::fromUtf8(b4)}, {u"C4"_s, QString::fromUtf8(c4)}, {u"D4"_s, QString::fromUtf8(d4)}};
  };
  const TCase cases[] = {
      {"left edge", {TBorderIndex::EdgeLeft}, all("L", "", "", "L", "", "", "L", "", "")},
      {"bottom edge", {TBorderIndex::EdgeBottom}, all("", "", "", "", "", "", "B", "B", "B")},
      {"inside vertical", {TBorderIndex::InsideVertical}, all("R", "LR", "L", "R", "LR", "L", "R", "LR", "L")},
      {"inside horizontal", {TBorderIndex::InsideHorizontal}, all("B", "B", "B", "TB", "TB", "TB", "T", "T", "T")},
      {"the body's frame: all six",
       {TBorderIndex::InsideVertical, TBorderIndex::InsideHorizontal, TBorderIndex::EdgeLeft, TBorderIndex::EdgeTop,
        TBorderIndex::EdgeBottom, TBorderIndex::EdgeRight},
       all("LRTB", "LRTB", "LRTB", "LRTB", "LRTB", "LRTB", "LRTB", "LRTB", "LRTB")},
  };
  int n = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const QString out = SaveFormatted(dir, QString::number(++n), [&](TWorksheet& sheet) {
      for (TBorderIndex index : c.Indexes) sheet.SetBorder(body, index, TLineStyle::Continuous);
    });
    EXPECT_EQ(Json(ReadWithOpenpyxl(out, BorderSides)), Json(c.Expected));
  }
}

TEST(WorksheetFormat, WrapShrinkBoldCentreAndMergeReadBack) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
  QTemporaryDir dir;
  const QString out = SaveFormatted(dir, u"fmt"_s, [](TWorksheet& sheet) {
    sheet.SetWrapText({2, 2, 3, 3}, true);
    sheet.SetShrinkToFit({3, 3, 3, 3}, true);
    sheet.SetBold({5, 2, 5, 6}, true);
    sheet.SetHorizontalAlignment({5, 2, 5, 6}, THorizontalAlignment::Center);
    sheet.SetValue(5, 2, u"Цех №1"_s);
    sheet.SetValue(5, 4, u"lost in the merge"_s);
    sheet.Merge({5, 2, 5, 6});
  });
  const QJsonObject got = ReadWithOpenpyxl(out,
                                           u"ws = openpyxl.load_workbook(sys.argv[1]).active\n"
                                           "print(json.dumps({\n"
                                           " 'wrap': [ws[a].alignment.wrap_text for a in ('B2','C3','D2')],\n"
                                           " 'shrink': [ws[a].alignment.shrink_to_fit for a in ('B2','C3')],\n"
                                           " 'bold': [ws[a].font.b for a in ('B5','B2')],\n"
                                           " 'align': ws['B5'].alignment.horizontal,\n"
                                           " 'merges': [str(m) for m in ws.merged_cells.ranges],\n"
                                           " 'B5': ws['B5'].value, 'D5': ws['D5'].value}))\n"_s)
                              .toObject();
  EXPECT_EQ(Json(got[u"wrap"_s]), Json(QJsonArray{true, true, QJsonValue()}));
  EXPECT_EQ(Json(got[u"shrink"_s]), Json(QJsonArray{QJsonValue(), true}));
  EXPECT_EQ(Json(got[u"bold"_s]), Json(QJsonArray{true, false}));  // the merged cells beyond B5 read as plain
  EXPECT_EQ(got[u"align"_s].toString(), u"center"_s);
  EXPECT_EQ(Json(got[u"merges"_s]), Json(QJsonArray{u"B5:F5"_s}));
  EXPECT_EQ(got[u"B5"_s].toString(), u"Цех №1"_s);
  EXPECT_TRUE(got[u"D5"_s].isNull());
}

TEST(WorksheetFormat, FormatsAreSharedNotMadePerCell) {
  QTemporaryDir dir;
  const QString out = SaveFormatted(dir, u"share"_s, [](TWorksheet& sheet) {
    const TCellRect body{2, 1, 1001, 20};
    for (TBorderIndex index : {TBorderIndex::InsideVertical, TBorderIndex::InsideHorizontal, TBorderIndex::EdgeLeft,
                               TBorderIndex::EdgeTop, TBorderIndex::EdgeBottom, TBorderIndex::EdgeRight})
      sheet.SetBorder(body, index, TLineStyle::Continuous);
    sheet.SetWrapText(body, true);
  });
  const QString styles = QString::fromUtf8(PartBytes(out, u"xl/styles.xml"_s));
  const qsizetype xfs = styles.section(u"<cellXfs"_s, 1).section(u"</cellXfs>"_s, 0, 0).count(u"<xf "_s);
  // 20,000 framed cells: the fixture's two formats plus a handful of derived ones, whatever the row count.
  EXPECT_GT(xfs, 2);
  EXPECT_LT(xfs, 40);
}

TEST(WorksheetFormat, OverlappingMergeFailsAndAContainedOneIsReplaced) {
  QTemporaryDir dir;
  TBook book;
  book.Tail = "<mergeCells count=\"1\"><mergeCell ref=\"B2:C2\"/></mergeCells>";
  book.Write(dir.filePath(u"m.xltx"_s));
  auto sheet = TWorkbook::Load(dir.filePath(u"m.xltx"_s))->ActiveSheet();
  EXPECT_THROW(sheet->Merge({2, 3, 2, 5}), Exception);
  sheet->Merge({2, 1, 3, 4});
  ASSERT_EQ(sheet->MergedRanges().size(), 1u);
  EXPECT_EQ(sheet->MergedRanges()[0], (TCellRect{2, 1, 3, 4}));
}
