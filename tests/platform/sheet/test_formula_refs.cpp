// Defined-name formulas follow row inserts on their own sheet only.
#include "platform/sheet/FormulaRefs.h"

#include <gtest/gtest.h>

TEST(FormulaRefs, RowInsertsMoveReferencesToTheSheet) {
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
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFormulaRefs refs(c.Formula);
    const QString sheet = QString::fromStdString(c.Formula).contains(u"It''s") ? QStringLiteral("It's")
                          : QString::fromStdString(c.Formula).contains(u"График") ? QStringLiteral("график")
                                                                                     : QStringLiteral("Лист1");
    refs.InsertRow(sheet, c.Insert);
    EXPECT_EQ(refs.Text(), c.Expected);
  }
}
