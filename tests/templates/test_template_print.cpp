// The shipped template, filled the way the schedule fills it, printed by LibreOffice to PDF and read back
// word by word with pdftotext: what a person gets on paper.
#include "platform/desktop/LegacyTemplate.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WorkbookCheck.h"

#include <gtest/gtest.h>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <cmath>
#include <map>
#include <set>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

struct TWord {
  int Page = 0;
  double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
  QString Text;
};

// Every word of the PDF with its page and box, in reading order.
std::vector<TWord> PdfWords(const QString& Pdf) {
  const auto result = TestSupport::Run(QStandardPaths::findExecutable(u"pdftotext"_s), {u"-bbox"_s, Pdf, u"-"_s});
  std::vector<TWord> words;
  int page = 0;
  static const QRegularExpression word(
      uR"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"_s);
  for (auto it = word.globalMatch(result.Stdout); it.hasNext();) {
    const auto match = it.next();
    if (match.captured(0).startsWith(u"<page"_s)) {
      ++page;
      continue;
    }
    words.push_back({page, match.captured(1).toDouble(), match.captured(2).toDouble(), match.captured(3).toDouble(),
                     match.captured(4).toDouble(), match.captured(5)});
  }
  return words;
}

// Fills the body as the schedule does: a subdivision header is written onto the row at the position
// (a template row, not inserted), an instrument row is written and a blank row inserted below it.
void FillBody(TWorksheet& Sheet, int Headers, int PerHeader) {
  int32_t row = 11;
  int number = 0;
  for (int h = 1; h <= Headers; ++h) {
    const QVariant header[] = {QVariant(), u"Подразделение %1"_s.arg(h)};
    Sheet.SetRowValues(row++, 1, header, std::size(header));
    for (int i = 0; i < PerHeader; ++i) {
      ++number;
      // Every tenth name wraps in its column, as "Преобразователь термоэлектрический" does.
      const QString name = (number % 10 == 0 ? u"Преобразователь термоэлектрический "_s : QString()) +
                           u"Прибор-%1"_s.arg(number, 4, 10, QChar(u'0'));
      const QVariant instrument[] = {number, name, u"МП-100"_s};
      Sheet.SetRowValues(row, 1, instrument, std::size(instrument));
      Sheet.InsertRow(++row);
    }
  }
  Sheet.SetWrapText({11, 1, row - 1, 20}, true);  // the body's framing wraps every cell of it
}

// The template filled with 8 subdivisions of 20 instruments (every tenth with a long name) and year 2026, printed once for all the tests.
class TScheduleTemplatePrint : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (LibreOfficeProgram().isEmpty() || QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty()) return;
    QTemporaryDir dir;
    const QString xlsx = dir.filePath(u"schedule.xlsx"_s);
    {
      auto book = TWorkbook::Load(TestSupport::BinDir() + u"/PPR.xltx"_s);
      auto sheet = book->ActiveSheet();
      sheet->SetValue(6, 10, u"2026"_s);  // the "#year#" cell
      // Eight headers write over every template row down to the second signature line and beyond, so
      // that the instrument rows are inserted below the template's last row.
      FillBody(*sheet, 8, 20);
      book->SaveAs(xlsx);
    }
    ExpectStrictWorkbook(xlsx);
    const auto converted = TestSupport::Run(
        LibreOfficeProgram(),
        {u"--headless"_s, u"--norestore"_s, u"-env:UserInstallation=file://"_s + dir.filePath(u"profile"_s),
         u"--convert-to"_s, u"pdf"_s, u"--outdir"_s, dir.path(), xlsx},
        {}, 180000);
    FLog = converted.Stdout + converted.Stderr;
    FWords = PdfWords(dir.filePath(u"schedule.pdf"_s));
  }
  void SetUp() override {
    if (LibreOfficeProgram().isEmpty()) GTEST_SKIP() << "LibreOffice is not installed";
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    ASSERT_FALSE(FWords.empty()) << "no PDF: " << FLog.toStdString();
  }
  static inline std::vector<TWord> FWords;
  static inline QString FLog;
};

}  // namespace

TEST_F(TScheduleTemplatePrint, EveryInstrumentPrints) {
  std::set<QString> printed;
  for (const TWord& w : FWords) printed.insert(w.Text);
  QStringList missing;
  for (int n = 1; n <= 160; ++n)
    if (const QString name = u"Прибор-%1"_s.arg(n, 4, 10, QChar(u'0')); !printed.count(name)) missing << name;
  EXPECT_TRUE(missing.isEmpty()) << missing.size() << " instruments are not printed, from "
                                 << missing.value(0).toStdString();
  EXPECT_TRUE(printed.count(u"Подразделение"_s));
}

TEST_F(TScheduleTemplatePrint, TheTitlePrintsWhole) {
  // The title line on page 1: it starts inside the page's left margin (0.4 in = 28.8 pt, from the
  // template's page setup), not cut off at it, and reads "... на 2026 год" left to right.
  const TWord* first = nullptr;
  for (const TWord& w : FWords)
    if (w.Page == 1 && w.Text.endsWith(u"рафик"_s)) {
      first = &w;
      break;
    }
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Text, u"График"_s);
  EXPECT_GE(first->XMin, 28.8 - 0.5) << "the title's left end is cut off";
  QStringList line;
  double lastX = 0;
  for (const TWord& w : FWords)
    if (w.Page == 1 && std::abs(w.YMin - first->YMin) < 3 && w.XMin >= lastX) {
      line << w.Text;
      lastX = w.XMax;
    }
  EXPECT_EQ(line.join(u' '),
            u"График планово-предупредительных работ (поверки и ремонта) средств измерений на 2026 год"_s);
}

TEST_F(TScheduleTemplatePrint, WrappedNamesDoNotRunIntoTheNextRow) {
  // The last line of a wrapped name ends above the next instrument's name on the same page.
  std::map<QString, const TWord*> byText;
  for (const TWord& w : FWords) byText.emplace(w.Text, &w);
  int checked = 0;
  for (int n = 10; n < 160; n += 10) {
    SCOPED_TRACE(n);
    const auto wrapped = byText.find(u"Прибор-%1"_s.arg(n, 4, 10, QChar(u'0')));
    const auto next = byText.find(u"Прибор-%1"_s.arg(n + 1, 4, 10, QChar(u'0')));
    ASSERT_TRUE(wrapped != byText.end() && next != byText.end());
    if (wrapped->second->Page != next->second->Page) continue;
    EXPECT_LE(wrapped->second->YMax, next->second->YMin + 0.5) << "the wrapped name overlaps the next row";
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

TEST_F(TScheduleTemplatePrint, TheMonthHeadingsPrintUnbroken) {
  std::set<QString> firstPage;
  for (const TWord& w : FWords)
    if (w.Page == 1) firstPage.insert(w.Text);
  for (const QString& month : {u"Январь"_s, u"Февраль"_s, u"Март"_s, u"Апрель"_s, u"Май"_s, u"Июнь"_s, u"Июль"_s,
                               u"Август"_s, u"Сентябрь"_s, u"Октябрь"_s, u"Ноябрь"_s, u"Декабрь"_s})
    EXPECT_TRUE(firstPage.count(month)) << month.toStdString() << " is broken or missing";
}

TEST_F(TScheduleTemplatePrint, TheApprovalsAndTheSignaturePrintOnTheFirstPage) {
  // Eight subdivision headers have written over every template row below the anchor: the form's blocks
  // stand above it and print whatever the body.
  std::set<QString> firstPage;
  for (const TWord& w : FWords)
    if (w.Page == 1) firstPage.insert(w.Text);
  for (const QString& word : {u"СОГЛАСОВАНО"_s, u"УТВЕРЖДАЮ"_s, u"Начальник"_s, u"подразделения"_s, u"Главный"_s,
                              u"инженер"_s, u"Составил:"_s, u"инженер-метролог"_s})
    EXPECT_TRUE(firstPage.count(word)) << word.toStdString() << " is not printed";
  // "СОГЛАСОВАНО" on the left half of the page, "УТВЕРЖДАЮ" on the right, on one line.
  const TWord *agreed = nullptr, *approved = nullptr;
  for (const TWord& w : FWords) {
    if (w.Page == 1 && w.Text == u"СОГЛАСОВАНО"_s) agreed = &w;
    if (w.Page == 1 && w.Text == u"УТВЕРЖДАЮ"_s) approved = &w;
  }
  ASSERT_TRUE(agreed && approved);
  EXPECT_LT(agreed->XMax, approved->XMin);
  EXPECT_NEAR(agreed->YMin, approved->YMin, 3);
}
