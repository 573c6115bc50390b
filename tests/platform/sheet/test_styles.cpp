// The styles part on its own: formats derived from a template's, shared instead of repeated, what a format
// tells about dates and text layout, and the exact XML written back.
#include "platform/sheet/SheetFormat.h"
#include "platform/sheet/Styles.h"
#include "tests/support/ExpectMessage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <vector>

using namespace Qt::StringLiterals;
using TestSupport::MessageOf;

namespace {

const std::string Declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";
const std::string StyleSheet = "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";

// A styles part with these numFmts, fonts and cellXfs (their inner XML) and Normal on font 0.
std::string Styles(const std::string& NumFmts, const std::string& Fonts, const std::string& Xfs) {
  return Declaration + "\n" + StyleSheet + "<numFmts>" + NumFmts + "</numFmts><fonts>" + Fonts +
         "</fonts><fills><fill><patternFill patternType=\"none\"/></fill></fills>"
         "<borders><border/></borders>"
         "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
         "<cellXfs>" +
         Xfs + "</cellXfs></styleSheet>";
}

int32_t Align(THorizontalAlignment Value) { return static_cast<int32_t>(Value); }

std::string Attribute(std::string Value) {
  for (size_t at = Value.find('"'); at != std::string::npos; at = Value.find('"', at + 6))
    Value.replace(at, 1, "&quot;");
  return Value;
}

}  // namespace

// A workbook without a styles part gets a minimal one; each change asked makes its format once, and a
// change that leads back to a format already there gives that format.
TEST(StylesPart, FormatsAreDerivedOnceAndShared) {
  TStyles styles;
  styles.Load("");
  EXPECT_EQ(styles.XfCount(), 1u);
  EXPECT_EQ(styles.NormalFontSize(), 11);

  const struct {
    const char* Name;
    uint32_t Xf;
    TStyleChange Change;
    uint32_t Result;
  } steps[] = {
      {"bold", 0, {TStyleChange::Bold, 1}, 1},
      {"all four borders", 0, {TStyleChange::Borders, 0xF}, 2},
      {"bold and wrapped", 1, {TStyleChange::Wrap, 1}, 3},
      {"bold again", 0, {TStyleChange::Bold, 1}, 1},
      {"unwrapped: back to bold", 3, {TStyleChange::Wrap, 0}, 1},
      {"bold on bold", 1, {TStyleChange::Bold, 1}, 1},
      {"centred", 0, {TStyleChange::HAlign, Align(THorizontalAlignment::Center)}, 4},
      {"uncentred: back to the default", 4, {TStyleChange::HAlign, Align(THorizontalAlignment::General)}, 0},
      {"a date", 0, {TStyleChange::NumFmt, 14}, 5},
      {"shrunk", 0, {TStyleChange::Shrink, 1}, 6},
      {"an unknown format is taken for the default", 99, {TStyleChange::Bold, 1}, 1},
  };
  for (const auto& step : steps) EXPECT_EQ(styles.Derive(step.Xf, step.Change), step.Result) << step.Name;
  EXPECT_EQ(styles.XfCount(), 7u);

  EXPECT_EQ(
      styles.Serialize(),
      Declaration + StyleSheet +
          "<fonts count=\"2\">"
          "<font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font>"
          "<font><b/><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font>"
          "</fonts>"
          "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
          "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
          "<borders count=\"2\">"
          "<border><left/><right/><top/><bottom/><diagonal/></border>"
          "<border><left style=\"thin\"><color indexed=\"64\"/></left><right style=\"thin\"><color indexed=\"64\"/>"
          "</right><top style=\"thin\"><color indexed=\"64\"/></top><bottom style=\"thin\"><color indexed=\"64\"/>"
          "</bottom><diagonal/></border>"
          "</borders>"
          "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
          "<cellXfs count=\"7\">"
          "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
          "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
          "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"1\" xfId=\"0\" applyBorder=\"1\"/>"
          "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\" "
          "applyAlignment=\"1\"><alignment wrapText=\"1\"/></xf>"
          "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyAlignment=\"1\">"
          "<alignment horizontal=\"center\"/></xf>"
          "<xf numFmtId=\"14\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
          "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyAlignment=\"1\">"
          "<alignment shrinkToFit=\"1\"/></xf>"
          "</cellXfs>"
          "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
          "</styleSheet>");

  EXPECT_TRUE(styles.TextLayout(3).Wrap);
  EXPECT_TRUE(styles.TextLayout(3).Bold);
  EXPECT_FALSE(styles.TextLayout(2).Bold);
  EXPECT_TRUE(styles.IsDate(5));
  EXPECT_FALSE(styles.IsDate(4));
}

// Removing a border side keeps the others; the border part is shared with an identical one.
TEST(StylesPart, ABorderSideRemovedKeepsTheOthers) {
  TStyles styles;
  styles.Load("");
  const uint32_t boxed = styles.Derive(0, {TStyleChange::Borders, 0xF});
  const uint32_t open = styles.Derive(boxed, {TStyleChange::Borders, 0x100 | 0x1 | 0x2});
  const std::string xml = styles.Serialize();
  EXPECT_NE(xml.find("<borders count=\"3\">"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<border><left/><right/><top style=\"thin\"><color indexed=\"64\"/></top>"
                     "<bottom style=\"thin\"><color indexed=\"64\"/></bottom><diagonal/></border></borders>"),
            std::string::npos)
      << xml;
  EXPECT_EQ(styles.Derive(open, {TStyleChange::Borders, 0x3}), boxed);
}

// Which formats show numbers as dates: the built-in date formats, and a custom format whose code has a
// date or time part outside quotes, escapes and bracketed colours or conditions.
TEST(StylesPart, DateFormatsAreToldByTheirCode) {
  const struct {
    int NumFmtId;
    const char* Code;  // a custom format's, or nullptr for a built-in one
    bool Date;
  } cases[] = {
      {14, nullptr, true},          {21, nullptr, true},           {45, nullptr, true},
      {47, nullptr, true},          {0, nullptr, false},           {2, nullptr, false},
      {49, nullptr, false},         {164, "yyyy-mm-dd", true},     {165, "dd.mm.yyyy h:mm", true},
      {166, "mm:ss", true},         {167, "[h]:mm", true},         {168, "[ss]", true},
      {169, "[$-419]d mmm", true},  {170, "0.00", false},          {171, "General", false},
      {172, "#,##0 \"дн\"", false}, {173, "0 \"days\"", false},    {174, "\\d0", false},
      {175, "[Red]0.00", false},    {176, "[Magenta]0.00", false}, {177, "[>=100]0;[Blue]-0", false},
      {178, "0.00E+00", false},     {22, "0.00", false},  // the part's own definition wins over the built-in one
  };
  std::string numFmts, xfs;
  for (const auto& c : cases) {
    if (c.Code)
      numFmts += "<numFmt numFmtId=\"" + std::to_string(c.NumFmtId) + "\" formatCode=\"" + Attribute(c.Code) + "\"/>";
    xfs += "<xf numFmtId=\"" + std::to_string(c.NumFmtId) + "\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>";
  }
  TStyles styles;
  styles.Load(Styles(numFmts, "<font><sz val=\"11\"/></font>", xfs));
  ASSERT_EQ(styles.XfCount(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(styles.IsDate(static_cast<uint32_t>(i)), cases[i].Date)
        << cases[i].NumFmtId << " " << (cases[i].Code ? cases[i].Code : "");
  EXPECT_FALSE(styles.IsDate(static_cast<uint32_t>(std::size(cases))));
}

TEST(StylesPart, TextLayoutComesFromTheFormatsFont) {
  TStyles styles;
  styles.Load(Styles("",
                     "<font><sz val=\"10\"/><name val=\"Arial\"/></font>"
                     "<font><b val=\"0\"/><sz val=\"14\"/></font>"
                     "<font><b/></font>"
                     "<font><sz val=\"0\"/></font>",
                     "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
                     "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" applyAlignment=\"1\">"
                     "<alignment wrapText=\"1\"/></xf>"
                     "<xf numFmtId=\"0\" fontId=\"2\" fillId=\"0\" borderId=\"0\"/>"
                     "<xf numFmtId=\"0\" fontId=\"3\" fillId=\"0\" borderId=\"0\"/>"
                     "<xf numFmtId=\"0\" fontId=\"7\" fillId=\"0\" borderId=\"0\"/>"));
  EXPECT_EQ(styles.NormalFontSize(), 10);
  const struct {
    const char* Name;
    uint32_t Xf;
    TTextLayout Layout;
  } cases[] = {
      {"the Normal font", 0, {false, false, 10}},
      {"wrapped, b val=0 is no bold", 1, {true, false, 14}},
      {"bold, no size: the default", 2, {false, true, 11}},
      {"a size of 0: the default", 3, {false, false, 11}},
      {"a font out of range", 4, {false, false, 11}},
      {"a format out of range: format 0's", 99, {false, false, 10}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TTextLayout layout = styles.TextLayout(c.Xf);
    EXPECT_EQ(layout.Wrap, c.Layout.Wrap);
    EXPECT_EQ(layout.Bold, c.Layout.Bold);
    EXPECT_EQ(layout.FontSize, c.Layout.FontSize);
  }
  // A bold derived from a font that said "not bold" keeps its size and becomes bold.
  const uint32_t bold = styles.Derive(1, {TStyleChange::Bold, 1});
  EXPECT_EQ(bold, 5u);
  EXPECT_TRUE(styles.TextLayout(bold).Bold);
  EXPECT_TRUE(styles.TextLayout(bold).Wrap);
  EXPECT_EQ(styles.TextLayout(bold).FontSize, 14);
  EXPECT_NE(styles.Serialize().find("<font><b/><sz val=\"14\"/></font></fonts>"), std::string::npos)
      << styles.Serialize();
}

// A part without fonts, borders or cell formats gets them, each in its schema place, before any is used.
TEST(StylesPart, MissingListsAreMadeInTheirPlace) {
  TStyles styles;
  styles.Load(StyleSheet +
              "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"0.0\"/></numFmts>"
              "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
              "</styleSheet>");
  EXPECT_EQ(styles.XfCount(), 1u);
  EXPECT_EQ(styles.NormalFontSize(), 11);
  EXPECT_EQ(styles.Serialize(),
            StyleSheet +
                "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"0.0\"/></numFmts>"
                "<fonts count=\"1\"><font><sz val=\"11\"/></font></fonts>"
                "<borders count=\"1\"><border/></borders>"
                "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellXfs>"
                "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
                "</styleSheet>");
}

TEST(StylesPart, ABrokenPartFailsNamingIt) {
  TStyles styles;
  EXPECT_EQ(MessageOf([&] { styles.Load(StyleSheet + "<fonts><font></fonts></styleSheet>"); }),
            u"Часть книги xl/styles.xml повреждена: Start-end tags mismatch (позиция 93)."_s);
}
