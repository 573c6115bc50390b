// A relationships part on its own: where it lives, the part paths its targets name, relationships added
// and removed, and the exact XML written back.
#include "platform/sheet/Relationships.h"
#include "tests/support/ExpectMessage.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using TestSupport::MessageOf;

namespace {

// A rels part holding Relationships (the <Relationship/> elements).
std::string Rels(const std::string& Relationships) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
         Relationships + "</Relationships>";
}

std::string Rel(const std::string& Id, const std::string& TypeWord, const std::string& Target) {
  return "<Relationship Id=\"" + Id + "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/" +
         TypeWord + "\" Target=\"" + Target + "\"/>";
}

const std::string WorkbookRels =
    Rels(Rel("rId1", "worksheet", "worksheets/sheet1.xml") + Rel("rId2", "worksheet", "worksheets/sheet2.xml") +
         Rel("rId3", "theme", "theme/theme1.xml") + Rel("rId4", "styles", "styles.xml") +
         Rel("rId5", "calcChain", "calcChain.xml"));

}  // namespace

TEST(RelationshipsPart, EachSourceHasItsRelsPartBesideIt) {
  const struct {
    const char* Source;
    const char* Part;
  } cases[] = {
      {"", "_rels/.rels"},  // the package's own
      {"xl/workbook.xml", "xl/_rels/workbook.xml.rels"},
      {"xl/worksheets/sheet1.xml", "xl/worksheets/_rels/sheet1.xml.rels"},
      {"workbook.xml", "_rels/workbook.xml.rels"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TRelationships::PartFor(c.Source), c.Part) << c.Source;
    TRelationships rels;
    rels.Load(nullptr, c.Source);
    EXPECT_EQ(rels.PartName(), c.Part) << c.Source;
  }
}

// Targets are relative to the source part's folder unless they start at the package's root; "." and ".."
// are folded, and nothing climbs above the root.
TEST(RelationshipsPart, TargetsResolveToPartPaths) {
  const struct {
    const char* Source;
    std::string Target;
    const char* Part;
  } cases[] = {
      {"", "xl/workbook.xml", "xl/workbook.xml"},
      {"", "/xl/workbook.xml", "xl/workbook.xml"},
      {"xl/workbook.xml", "worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
      {"xl/workbook.xml", "/xl/worksheets/sheet1.xml", "xl/worksheets/sheet1.xml"},
      {"xl/workbook.xml", "./styles.xml", "xl/styles.xml"},
      {"xl/workbook.xml", "worksheets//sheet1.xml", "xl/worksheets/sheet1.xml"},
      {"xl/workbook.xml", "theme/../styles.xml", "xl/styles.xml"},
      {"xl/workbook.xml", "../customXml/item1.xml", "customXml/item1.xml"},
      {"xl/worksheets/sheet1.xml", "../drawings/drawing1.xml", "xl/drawings/drawing1.xml"},
      {"xl/workbook.xml", "../../../../outside.xml", "outside.xml"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Source + (" -> " + c.Target));
    const std::string xml = Rels(Rel("rId7", "officeDocument", c.Target));
    TRelationships rels;
    rels.Load(&xml, c.Source);
    EXPECT_EQ(rels.TargetById("rId7"), c.Part);
    EXPECT_EQ(rels.TargetByType("officeDocument"), c.Part);
  }
}

TEST(RelationshipsPart, LookupsByIdAndByTypeWord) {
  const std::string xml =
      Rels(Rel("rId1", "worksheet", "worksheets/sheet1.xml") +
           "<Relationship Id=\"rId2\" Type=\"http://purl.oclc.org/ooxml/officeDocument/relationships/sharedStrings\" "
           "Target=\"sharedStrings.xml\"/>" +
           Rel("rId3", "styles", "/xl/styles.xml"));
  TRelationships rels;
  rels.Load(&xml, "xl/workbook.xml");
  const struct {
    const char* Key;
    const char* ById;
    const char* ByType;
  } cases[] = {
      {"rId1", "xl/worksheets/sheet1.xml", ""},
      {"rId3", "xl/styles.xml", ""},
      {"rid1", "", ""},  // ids are case-sensitive
      {"rId4", "", ""},
      {"worksheet", "", "xl/worksheets/sheet1.xml"},
      {"sharedStrings", "", "xl/sharedStrings.xml"},  // the strict schema's type, by its last word
      {"styles", "", "xl/styles.xml"},
      {"Styles", "", ""},
      {"calcChain", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(rels.TargetById(c.Key), c.ById) << c.Key;
    EXPECT_EQ(rels.TargetByType(c.Key), c.ByType) << c.Key;
  }
}

// What a save does to the workbook's rels: the calculation chain goes, shared strings come; the new
// relationship takes the first id nobody holds.
TEST(RelationshipsPart, ATemplatesWorkbookRelsSavedBack) {
  TRelationships rels;
  rels.Load(&WorkbookRels, "xl/workbook.xml");
  rels.RemoveByType("calcChain");
  rels.Add("sharedStrings", "sharedStrings.xml");
  EXPECT_EQ(rels.TargetByType("sharedStrings"), "xl/sharedStrings.xml");
  EXPECT_EQ(rels.TargetByType("calcChain"), "");
  EXPECT_EQ(rels.Serialize(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
            "worksheet\" Target=\"worksheets/sheet1.xml\"/>"
            "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
            "worksheet\" Target=\"worksheets/sheet2.xml\"/>"
            "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
            "theme\" Target=\"theme/theme1.xml\"/>"
            "<Relationship Id=\"rId4\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
            "styles\" Target=\"styles.xml\"/>"
            "<Relationship Id=\"rId5\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
            "sharedStrings\" Target=\"sharedStrings.xml\"/>"
            "</Relationships>");
}

TEST(RelationshipsPart, NoPartMakesAnEmptyOneToAddTo) {
  TRelationships rels;
  rels.Load(nullptr, "xl/workbook.xml");
  EXPECT_EQ(rels.TargetByType("styles"), "");
  rels.Add("styles", "styles.xml");
  EXPECT_EQ(rels.TargetById("rId1"), "xl/styles.xml");
  EXPECT_EQ(rels.Serialize(),
            "<?xml version=\"1.0\"?>"
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
            "styles\" Target=\"styles.xml\"/></Relationships>");
}

TEST(RelationshipsPart, ANewIdCollidesWithNone) {
  const struct {
    const char* Name;
    std::string Ids;  // the relationships already there
    const char* NewId;
  } cases[] = {
      {"after the last", Rel("rId1", "theme", "a.xml") + Rel("rId2", "theme", "b.xml"), "rId3"},
      {"in a gap", Rel("rId1", "theme", "a.xml") + Rel("rId3", "theme", "b.xml"), "rId2"},
      {"before the first", Rel("rId2", "theme", "a.xml"), "rId1"},
      {"among ids of another form", Rel("R7f3a", "theme", "a.xml") + Rel("rId1", "theme", "b.xml"), "rId2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string xml = Rels(c.Ids);
    TRelationships rels;
    rels.Load(&xml, "xl/workbook.xml");
    rels.Add("sharedStrings", "sharedStrings.xml");
    EXPECT_EQ(rels.TargetById(c.NewId), "xl/sharedStrings.xml");
    EXPECT_EQ(rels.TargetByType("theme"), "xl/a.xml");  // the others kept
  }
}

TEST(RelationshipsPart, RemovingATypeRemovesEveryRelationshipOfIt) {
  TRelationships rels;
  rels.Load(&WorkbookRels, "xl/workbook.xml");
  rels.RemoveByType("worksheet");
  rels.RemoveByType("nosuch");
  EXPECT_EQ(rels.TargetByType("worksheet"), "");
  EXPECT_EQ(rels.Serialize(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
            "theme\" Target=\"theme/theme1.xml\"/>"
            "<Relationship Id=\"rId4\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
            "styles\" Target=\"styles.xml\"/>"
            "<Relationship Id=\"rId5\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
            "calcChain\" Target=\"calcChain.xml\"/>"
            "</Relationships>");
}

TEST(RelationshipsPart, ABrokenPartFailsNamingIt) {
  const struct {
    const char* Source;
    std::string Xml;
    QString Message;
  } cases[] = {
      {"", "<Relationships><Relationship Id=\"rId1\"></Relationships>",
       u"Часть книги _rels/.rels повреждена: Start-end tags mismatch (позиция 41)."_s},
      {"xl/workbook.xml", "<Relationships><Relationship Id=\"rId1/></Relationships>",
       u"Часть книги xl/_rels/workbook.xml.rels повреждена: Error parsing element attribute (позиция 33)."_s},
  };
  for (const auto& c : cases) {
    TRelationships rels;
    EXPECT_EQ(MessageOf([&] { rels.Load(&c.Xml, c.Source); }), c.Message) << c.Source;
  }
}
