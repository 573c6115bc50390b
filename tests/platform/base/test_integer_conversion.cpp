#include "platform/base/Exception.h"
#include "platform/base/IntegerConversion.h"
#include "tests/support/ExpectMessage.h"

#include <gtest/gtest.h>

#include <limits>

using TestSupport::MessageOf;

namespace {

struct Row {
  const char* Name;
  const char16_t* Text;
  bool Valid;
  std::int32_t Value;
};

const Row kRows[] = {
    {"plain", u"2013", true, 2013},
    {"leading blanks", u"   7", true, 7},
    {"plus sign", u"+15", true, 15},
    {"minus sign", u"-1", true, -1},
    {"blanks then sign", u"  -42", true, -42},
    {"leading zeros", u"0007", true, 7},
    {"max int", u"2147483647", true, 2147483647},
    {"min int", u"-2147483648", true, -2147483647 - 1},
    {"dollar hex", u"$1F", true, 31},
    {"x hex", u"x10", true, 16},
    {"upper X hex", u"X10", true, 16},
    {"0x hex", u"0xff", true, 255},
    {"0X hex", u"0XFF", true, 255},
    {"negative hex", u"-$10", true, -16},
    {"hex max", u"$7FFFFFFF", true, 2147483647},
    {"empty", u"", false, 0},
    {"blanks only", u"   ", false, 0},
    {"sign only", u"-", false, 0},
    {"trailing blank", u"12 ", false, 0},
    {"inner minus", u"20-1", false, 0},
    {"letters", u"abc", false, 0},
    {"decimal point", u"12.5", false, 0},
    {"above max", u"2147483648", false, 0},
    {"below min", u"-2147483649", false, 0},
    {"hex above max", u"$80000000", false, 0},
    {"dollar only", u"$", false, 0},
    {"0x only", u"0x", false, 0},
    {"hex digit in decimal", u"1F", false, 0},
    {"tab is no blank", u"\t5", false, 0},
    {"blank after sign", u"- 5", false, 0},
    {"full-width digit", u"\uFF11", false, 0},
};

TEST(IntegerConversion, TableOfTexts) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.Name);
    const QString text = QString::fromUtf16(row.Text);
    const auto parsed = TryStrToInt(text);
    ASSERT_EQ(parsed.has_value(), row.Valid);
    if (row.Valid) {
      EXPECT_EQ(*parsed, row.Value);
      EXPECT_EQ(StrToInt(text), row.Value);
    } else {
      EXPECT_THROW(StrToInt(text), EConvertError);
    }
  }
}

TEST(IntegerConversion, ErrorMessageQuotesTheText) {
  try {
    StrToInt(QStringLiteral("20-1"));
    FAIL() << "no error raised";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("''20-1'' is not a valid integer value"));
  }
  EXPECT_EQ(MessageOf([&] { StrToInt(QString()); }), QStringLiteral("'''' is not a valid integer value"));
}

TEST(IntegerConversion, DefaultWhenTextDoesNotParse) {
  EXPECT_EQ(StrToIntDef(QStringLiteral("20-1"), 1900), 1900);
  EXPECT_EQ(StrToIntDef(QStringLiteral("2013"), 1900), 2013);
}

TEST(IntToStr, GivesQStringNumbersDigits) {
  for (const std::int64_t value :
       {std::int64_t{0}, std::int64_t{7}, std::int64_t{-42}, std::int64_t{2147483647}, std::int64_t{-2147483647} - 1,
        std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min()}) {
    SCOPED_TRACE(value);
    EXPECT_EQ(IntToStr(value), QString::number(value));
  }
}

TEST(Format, ReplacesPlaceholdersInOrder) {
  EXPECT_EQ(Format(QStringLiteral("Can not find parent (%s=%s). Wrong database."),
                   {QStringLiteral("Id"), QStringLiteral("17")}),
            QStringLiteral("Can not find parent (Id=17). Wrong database."));
  // A value that itself holds %s is not expanded again.
  EXPECT_EQ(Format(QStringLiteral("Duplicate list ID %s"), {QStringLiteral("%s")}),
            QStringLiteral("Duplicate list ID %s"));
  EXPECT_EQ(Format(QStringLiteral("a %s b %s"), {QStringLiteral("1")}), QStringLiteral("a 1 b %s"));
}

}  // namespace
