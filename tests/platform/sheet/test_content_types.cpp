// The package's content types on their own: a template's [Content_Types].xml read, changed as a save
// changes it, and the exact XML written back.
#include "platform/sheet/ContentTypes.h"
#include "tests/support/ExpectMessage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <QByteArray>

using namespace Qt::StringLiterals;
using TestSupport::MessageOf;

namespace {

const std::string TemplateMain = "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml";
const std::string MacroTemplateMain = "application/vnd.ms-excel.template.macroEnabled.main+xml";
const std::string WorkbookMain = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
const std::string MacroWorkbookMain = "application/vnd.ms-excel.sheet.macroEnabled.main+xml";

// A template's part, its main part typed MainType.
std::string TemplateTypes(const std::string& MainType) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Default Extension=\"png\" ContentType=\"image/png\"/>"
         "<Override PartName=\"/xl/workbook.xml\" ContentType=\"" +
         MainType +
         "\"/>"
         "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
         "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
         "<Override PartName=\"/xl/calcChain.xml\" "
         "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml\"/>"
         "</Types>";
}

TContentTypes Loaded(const std::string& Xml) {
  TContentTypes types;
  types.Load(&Xml, u"/tmp/in.xltx"_s);
  return types;
}

}  // namespace

// What a save does to a template's part: the calculation chain goes, a shared strings part comes, and
// the main part becomes a workbook's, in its place.
TEST(ContentTypesPart, ATemplateSavedAsAWorkbook) {
  const std::string xml = TemplateTypes(TemplateMain);
  TContentTypes types;
  types.Load(&xml, u"/tmp/in.xltx"_s);
  types.RemoveOverride("xl/calcChain.xml");
  types.SetOverride("xl/sharedStrings.xml",
                    "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml");
  EXPECT_TRUE(types.MakeWorkbook("xl/workbook.xml"));
  EXPECT_EQ(types.Serialize(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
            "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
            "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
            "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
            "<Default Extension=\"png\" ContentType=\"image/png\"/>"
            "<Override PartName=\"/xl/workbook.xml\" "
            "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
            "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
            "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
            "<Override PartName=\"/xl/sharedStrings.xml\" "
            "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
            "</Types>");
}

TEST(ContentTypesPart, TheMainPartIsRetypedBetweenTemplateAndWorkbook) {
  enum TWay { ToWorkbook, ToTemplate };
  struct TCase {
    const char* Name;
    std::string Type;  // the main part's before
    TWay Way;
    bool Retyped;
    std::string After;
  };
  const TCase cases[] = {
      {"a template", TemplateMain, ToWorkbook, true, WorkbookMain},
      {"a macro-enabled template", MacroTemplateMain, ToWorkbook, true, MacroWorkbookMain},
      {"a workbook stays one", WorkbookMain, ToWorkbook, false, WorkbookMain},
      {"a macro-enabled workbook stays one", MacroWorkbookMain, ToWorkbook, false, MacroWorkbookMain},
      {"a workbook to a template", WorkbookMain, ToTemplate, true, TemplateMain},
      {"a macro-enabled workbook to a template", MacroWorkbookMain, ToTemplate, true, MacroTemplateMain},
      {"a template stays one", TemplateMain, ToTemplate, false, TemplateMain},
      {"a macro-enabled template stays one", MacroTemplateMain, ToTemplate, false, MacroTemplateMain},
      {"some other type is left alone", "application/xml", ToWorkbook, false, "application/xml"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string xml = TemplateTypes(c.Type);
    TContentTypes types = Loaded(xml);
    const std::string before = types.Serialize();
    EXPECT_EQ(c.Way == ToWorkbook ? types.MakeWorkbook("xl/workbook.xml") : types.MakeTemplate("xl/workbook.xml"),
              c.Retyped);
    EXPECT_EQ(types.TypeOf("xl/workbook.xml"), c.After);
    std::string expected = before;
    if (c.Retyped) {
      const std::string from = "ContentType=\"" + c.Type + "\"";
      expected.replace(expected.find(from), from.size(), "ContentType=\"" + c.After + "\"");
    }
    EXPECT_EQ(types.Serialize(), expected);
  }
}

// A part's override wins over its extension's default; a part without either has no type.
TEST(ContentTypesPart, TypeOfByOverrideThenByExtension) {
  const TContentTypes types = Loaded(TemplateTypes(TemplateMain));
  const struct {
    const char* Part;
    std::string Type;
  } cases[] = {
      {"xl/workbook.xml", TemplateMain},
      {"xl/worksheets/sheet1.xml", "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"},
      {"xl/worksheets/sheet2.xml", "application/xml"},
      {"worksheets/sheet1.xml", "application/xml"},  // an override names the whole path, not its end
      {"xl/media/image1.png", "image/png"},
      {"_rels/.rels", "application/vnd.openxmlformats-package.relationships+xml"},
      {"xl/printerSettings/printerSettings1.bin", ""},
      {"xl/workbook", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(types.TypeOf(c.Part), c.Type) << c.Part;
}

TEST(ContentTypesPart, RemovingAnOverrideLeavesTheDefault) {
  const std::string xml = TemplateTypes(TemplateMain);
  TContentTypes types = Loaded(xml);
  types.RemoveOverride("xl/nosuch.xml");
  const std::string unchanged = types.Serialize();
  types.RemoveOverride("xl/workbook.xml");
  EXPECT_EQ(types.TypeOf("xl/workbook.xml"), "application/xml");
  std::string expected = unchanged;
  const std::string main = "<Override PartName=\"/xl/workbook.xml\" ContentType=\"" + TemplateMain + "\"/>";
  ASSERT_NE(expected.find(main), std::string::npos) << expected;
  expected.erase(expected.find(main), main.size());
  EXPECT_EQ(types.Serialize(), expected);
  EXPECT_FALSE(types.MakeWorkbook("xl/workbook.xml"));  // typed by its default now: no template's main part
}

// A part in UTF-16 is written back in UTF-8, and its declaration says so.
TEST(ContentTypesPart, AUtf16PartIsWrittenBackAsUtf8) {
  const QString text =
      uR"(<?xml version="1.0" encoding="UTF-16" standalone="yes"?>)"
      uR"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
      uR"(<Default Extension="xml" ContentType="application/xml"/></Types>)"_s;
  QByteArray bytes("\xFF\xFE");
  bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  const TContentTypes types = Loaded(bytes.toStdString());
  EXPECT_EQ(types.TypeOf("xl/workbook.xml"), "application/xml");
  EXPECT_EQ(types.Serialize(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
            "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
            "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>");
}

TEST(ContentTypesPart, AMissingOrBrokenPartFails) {
  TContentTypes types;
  EXPECT_EQ(MessageOf([&] { types.Load(nullptr, u"/tmp/в папке/book.xltx"_s); }),
            u"Файл «/tmp/в папке/book.xltx» не является книгой Office Open XML: нет [Content_Types].xml."_s);
  const std::string broken = "<Types><Default Extension=\"xml\" ContentType=\"application/xml\"></Types>";
  EXPECT_EQ(MessageOf([&] { types.Load(&broken, u"/tmp/book.xltx"_s); }),
            u"Часть книги [Content_Types].xml повреждена: Start-end tags mismatch (позиция 64)."_s);
}
