// The shared strings part on its own: a template's part read, texts added, and the exact XML written back.
#include "platform/sheet/CellText.h"
#include "platform/sheet/SharedStrings.h"
#include "tests/support/ExpectMessage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using TestSupport::MessageOf;

namespace {

std::string Sst(int UniqueCount, const std::string& Entries) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" uniqueCount=\"" +
         std::to_string(UniqueCount) + "\">" + Entries + "</sst>";
}

std::string Stored(const QString& Text) { return StoredText(Text).toStdString(); }

}  // namespace

TEST(SharedStringsPart, NoPartGivesAnEmptyOne) {
  TSharedStrings strings;
  strings.Load("");
  EXPECT_EQ(strings.Count(), 0u);
  EXPECT_EQ(strings.Serialize(), Sst(0, ""));
}

// The template's entries keep their indexes and their XML as the template wrote it; a rich entry is never
// handed out for a plain text, since the text would take on its fonts.
TEST(SharedStringsPart, TemplateEntriesKeepTheirIndexAndXmlAndNewTextsAreAppendedOnce) {
  TSharedStrings strings;
  strings.Load(
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"7\" uniqueCount=\"4\">"
      "<si><t>Итого</t></si>"
      "<si><r><rPr><b/><sz val=\"11\"/></rPr><t>Bold</t></r><r><t xml:space=\"preserve\"> tail</t></r></si>"
      "<si><t>a_x0001_ &amp; b</t></si>"
      "<si><t/></si>"
      "<si><r><t>a&#13;b</t></r><r><rPr><i/></rPr><t>c</t></r></si>"
      "</sst>");
  ASSERT_EQ(strings.Count(), 5u);
  EXPECT_EQ(strings.Text(0), "Итого");
  EXPECT_EQ(strings.Text(1), "Bold tail");
  EXPECT_EQ(strings.Text(2), "a\x01 & b");
  EXPECT_EQ(strings.Text(3), "");
  EXPECT_EQ(strings.Text(4), "a\rbc");

  EXPECT_EQ(strings.Add("Итого"), 0u);
  EXPECT_EQ(strings.Add("a\x01 & b"), 2u);
  EXPECT_EQ(strings.Add(""), 3u);
  EXPECT_EQ(strings.Add("Bold tail"), 5u);
  EXPECT_EQ(strings.Add("new"), 6u);
  EXPECT_EQ(strings.Add("Bold tail"), 5u);
  EXPECT_EQ(strings.Add("new"), 6u);
  EXPECT_EQ(strings.Count(), 7u);

  EXPECT_EQ(strings.Serialize(),
            Sst(7,
                "<si><t>Итого</t></si>"
                "<si><r><rPr><b/><sz val=\"11\"/></rPr><t>Bold</t></r><r><t xml:space=\"preserve\"> tail</t></r></si>"
                "<si><t>a_x0001_ &amp; b</t></si>"
                "<si><t/></si>"
                "<si><r><t>a&#13;b</t></r><r><rPr><i/></rPr><t>c</t></r></si>"
                "<si><t>Bold tail</t></si>"
                "<si><t>new</t></si>"));
}

struct TAddedText {
  const char* Name;
  std::string Text;  // as the engine stores it
  const char* Xml;   // the entry written for it
};

const std::vector<TAddedText>& AddedTexts() {
  static const std::vector<TAddedText> cases = {
      {"markup characters", "a & b <c> \"d\"", "<si><t>a &amp; b &lt;c&gt; \"d\"</t></si>"},
      {"a blank inside needs nothing", "two words", "<si><t>two words</t></si>"},
      {"a leading blank", " lead", "<si><t xml:space=\"preserve\"> lead</t></si>"},
      {"a trailing blank", "trail ", "<si><t xml:space=\"preserve\">trail </t></si>"},
      {"a trailing tab", "tab\t", "<si><t xml:space=\"preserve\">tab\t</t></si>"},
      {"only a line feed", "\n", "<si><t xml:space=\"preserve\">\n</t></si>"},
      {"a carriage return", "a\rb", "<si><t>a&#13;b</t></si>"},
      {"control characters", "x\x01y\x1F", "<si><t>x_x0001_y_x001F_</t></si>"},
      {"a surrogate pair", Stored(u"\U0001F600"_s), "<si><t>\xF0\x9F\x98\x80</t></si>"},
      {"a lone surrogate", Stored(QString(QChar(0xD800))), "<si><t>_xD800_</t></si>"},
      {"U+FFFF", "a\xEF\xBF\xBF", "<si><t>a_xFFFF_</t></si>"},
      {"the escape itself", "_x0041_", "<si><t>_x005F_x0041_</t></si>"},
      {"an empty text", "", "<si><t></t></si>"},
  };
  return cases;
}

// Each text as its own entry, exactly; and the part written reads back to the same texts.
TEST(SharedStringsPart, AddedTextsAreEscapedAndReadBackUnchanged) {
  TSharedStrings strings;
  strings.Load("");
  std::string entries;
  for (const TAddedText& c : AddedTexts()) {
    SCOPED_TRACE(c.Name);
    TSharedStrings one;
    one.Load("");
    EXPECT_EQ(one.Add(c.Text), 0u);
    EXPECT_EQ(one.Serialize(), Sst(1, c.Xml));
    strings.Add(c.Text);
    entries += c.Xml;
  }
  const std::string xml = strings.Serialize();
  ASSERT_EQ(xml, Sst(static_cast<int>(AddedTexts().size()), entries));

  TSharedStrings reread;
  reread.Load(xml);
  ASSERT_EQ(reread.Count(), AddedTexts().size());
  for (size_t i = 0; i < AddedTexts().size(); ++i) {
    SCOPED_TRACE(AddedTexts()[i].Name);
    EXPECT_EQ(reread.Text(static_cast<uint32_t>(i)), AddedTexts()[i].Text);
    EXPECT_EQ(reread.Add(AddedTexts()[i].Text), i);
  }
  // Written back as the template's own entries now, they read back the same once more.
  TSharedStrings again;
  again.Load(reread.Serialize());
  ASSERT_EQ(again.Count(), AddedTexts().size());
  for (size_t i = 0; i < AddedTexts().size(); ++i)
    EXPECT_EQ(again.Text(static_cast<uint32_t>(i)), AddedTexts()[i].Text) << AddedTexts()[i].Name;
}

// A part in another encoding the declaration names is read as what it says.
TEST(SharedStringsPart, ALatin1PartIsReadAsLatin1) {
  TSharedStrings strings;
  strings.Load("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><sst><si><t>caf\xE9</t></si></sst>");
  ASSERT_EQ(strings.Count(), 1u);
  EXPECT_EQ(strings.Text(0), "caf\xC3\xA9");
  EXPECT_EQ(strings.Add("caf\xC3\xA9"), 0u);
}

TEST(SharedStringsPart, APartThatIsNoXmlFailsNamingThePart) {
  struct TCase {
    const char* Name;
    std::string Xml;
    QString Message;
  };
  const TCase cases[] = {
      {"an element left open", "<sst><si><t>a</si></sst>",
       u"Часть книги xl/sharedStrings.xml повреждена: Start-end tags mismatch (позиция 15)."_s},
      {"the part cut short", "<sst><si><t>a</t>",
       u"Часть книги xl/sharedStrings.xml повреждена: Start-end tags mismatch (позиция 16)."_s},
      {"no element at all", "<?xml version=\"1.0\"?>\n",
       u"Часть книги xl/sharedStrings.xml повреждена: No document element found (позиция 22)."_s},
      {"an encoding we do not read", "<?xml version=\"1.0\" encoding=\"windows-1251\"?><sst/>",
       u"Часть книги xl/sharedStrings.xml повреждена: кодировка windows-1251 не поддерживается (нужна UTF-8)."_s},
      {"a UTF-8 mark on a UTF-16 declaration", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-16\"?><sst/>",
       u"Часть книги xl/sharedStrings.xml повреждена: метка порядка байтов UTF-8, а объявлена кодировка UTF-16."_s},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TSharedStrings strings;
    EXPECT_EQ(MessageOf([&] { strings.Load(c.Xml); }), c.Message);
  }
}
