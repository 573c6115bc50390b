// Formula references follow row inserts as a spreadsheet application moves them, and a shared formula's
// copies are its master moved by their distance.
#include "platform/sheet/FormulaRefs.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(FormulaRefs, DefinedNamesFollowRowInsertsOnTheirSheetOnly) {
  struct TCase {
    const char* Name;
    std::string Formula;
    int32_t Insert;
    std::string Expected;
  };
  const TCase cases[] = {
      {"print area grows when the insert is inside", "'График'!$A$1:$T$19", 12, "'График'!$A$1:$T$20"},
      {"print titles above the insert stay", "'График'!$9:$10", 12, "'График'!$9:$10"},
      {"print titles at the insert move", "'График'!$9:$10", 9, "'График'!$10:$11"},
      {"unquoted name, relative cell", "Лист1!B5", 5, "Лист1!B6"},
      {"other sheet stays", "Other!$A$1:$B$30", 2, "Other!$A$1:$B$30"},
      {"two areas, quoted name with a quote", "'It''s'!$A$3,'It''s'!$C$8:$D$9", 4, "'It''s'!$A$3,'It''s'!$C$9:$D$10"},
      {"whole columns do not move", "Лист1!$A:$C", 1, "Лист1!$A:$C"},
      {"text in quotes is not a reference", "\"Лист1!A5\"&Лист1!A5", 2, "\"Лист1!A5\"&Лист1!A6"},
      {"a reference without a sheet name is left alone", "A5+Лист1!A5", 1, "A5+Лист1!A6"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFormulaRefs refs(c.Formula);
    const QString sheet = QString::fromStdString(c.Formula).contains(u"It''s")    ? u"It's"_s
                          : QString::fromStdString(c.Formula).contains(u"График") ? u"график"_s
                                                                                  : u"Лист1"_s;
    refs.InsertRow(sheet, c.Insert);
    EXPECT_EQ(refs.Text(), c.Expected);
  }
}

// A cell's formula on sheet "Лист1"; rows inserted on Sheet, in order.
TEST(FormulaRefs, CellFormulasFollowRowInsertsAsAnApplicationDoes) {
  struct TCase {
    const char* Name;
    std::string Formula;
    QString Sheet;
    std::vector<int32_t> Inserts;
    std::string Expected;
  };
  const TCase cases[] = {
      {"a range spanning the insert grows", "COUNT(A11:A16)", u"Лист1"_s, {12}, "COUNT(A11:A17)"},
      {"an insert at the range's top row moves it", "COUNT(A11:A16)", u"Лист1"_s, {11}, "COUNT(A12:A17)"},
      {"an insert just below the range leaves it", "COUNT(A11:A16)", u"Лист1"_s, {17}, "COUNT(A11:A16)"},
      {"absolute and relative alike", "$A$11+B$12+$C13+D14", u"Лист1"_s, {11}, "$A$12+B$13+$C14+D15"},
      {"several inserts in order", "SUM(A11:A16)", u"Лист1"_s, {12, 12, 30}, "SUM(A11:A18)"},
      {"whole rows move, whole columns stay",
       "SUM(5:6)+SUM($A:$B)+SUM(A:A)",
       u"Лист1"_s,
       {5},
       "SUM(6:7)+SUM($A:$B)+SUM(A:A)"},
      {"function names with digits are no references",
       "LOG10(A5)+ATAN2(B5,C5)",
       u"Лист1"_s,
       {1},
       "LOG10(A6)+ATAN2(B6,C6)"},
      {"numbers with exponents are no references", "1E5+2.5E3*A5", u"Лист1"_s, {1}, "1E5+2.5E3*A6"},
      {"names are no references", "Итог+TAXES2024+_A1+A5", u"Лист1"_s, {1}, "Итог+TAXES2024+_A1+A6"},
      {"text literals stay, doubled quotes included",
       "\"say \"\"A5\"\"\"&A5",
       u"Лист1"_s,
       {1},
       "\"say \"\"A5\"\"\"&A6"},
      {"another sheet's reference stays", "Other!A5+A5", u"Лист1"_s, {1}, "Other!A5+A6"},
      {"an insert on another sheet moves its references only",
       "'Other Sheet'!A5+A5",
       u"other sheet"_s,
       {1},
       "'Other Sheet'!A6+A5"},
      {"the own sheet named explicitly", "лист1!$B$2", u"Лист1"_s, {2}, "лист1!$B$3"},
      {"another book's sheet stays",
       "[1]Лист1!A5+'[Book.xlsx]Лист1'!A5",
       u"Лист1"_s,
       {1},
       "[1]Лист1!A5+'[Book.xlsx]Лист1'!A5"},
      {"structured references stay",
       "SUM(Table1[[#This Row],[A5]])+A5",
       u"Лист1"_s,
       {1},
       "SUM(Table1[[#This Row],[A5]])+A6"},
      {"error values stay", "IFERROR(#REF!,A5)+#DIV/0!", u"Лист1"_s, {1}, "IFERROR(#REF!,A6)+#DIV/0!"},
      {"the last row stays", "SUM(A2:A1048576)", u"Лист1"_s, {5}, "SUM(A2:A1048576)"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFormulaRefs refs(c.Formula, u"Лист1"_s);
    refs.InsertRows(c.Sheet, c.Inserts);
    EXPECT_EQ(refs.Text(), c.Expected);
  }
}

TEST(FormulaRefs, CopiesMoveRelativeReferencesOnly) {
  struct TCase {
    const char* Name;
    std::string Formula;
    int32_t Rows, Cols;
    std::string Expected;
  };
  const TCase cases[] = {
      {"down and right", "A1+$B$2+C$3+$D4", 2, 1, "B3+$B$2+D$3+$D6"},
      {"a range and another sheet", "SUM(A1:B2)*Other!C3", 1, 0, "SUM(A2:B3)*Other!C4"},
      {"whole rows and columns", "SUM(1:2)+SUM(A:A)", 3, 2, "SUM(4:5)+SUM(C:C)"},
      {"off the sheet", "A1+B5", -1, 0, "#REF!+B4"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFormulaRefs refs(c.Formula, u"Лист1"_s);
    refs.Translate(c.Rows, c.Cols);
    EXPECT_EQ(refs.Text(), c.Expected);
  }
}
