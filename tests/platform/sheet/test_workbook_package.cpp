// The package: untouched parts stay byte for byte, a template becomes a workbook, a save never replaces a
// file nor leaves a half-written one, and broken inputs are named in the message.
#include "platform/base/Exception.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "tests/platform/sheet/SheetFixture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace SheetFixture;
using namespace Qt::StringLiterals;

TEST(WorkbookPackage, UntouchedPartsStayAsTheyWereAndTheTemplateBecomesAWorkbook) {
  QTemporaryDir dir;
  TBook book;
  book.Rows = Row(2, {Text("A2", "#year#")});
  const std::string note = "<?xml version=\"1.0\"?>\n<note  keep=\"spacing\" >\n  as written\n</note>\n";
  book.ExtraParts = {{"docProps/custom-note.xml", note}};
  const QString in = dir.filePath(u"in.xltx"_s), out = dir.filePath(u"out.xlsx"_s);
  book.Write(in);
  auto workbook = TWorkbook::Load(in);
  workbook->ActiveSheet()->SetValue(2, 1, u"2024"_s);
  workbook->SaveAs(out);
  EXPECT_EQ(PartBytes(out, u"docProps/custom-note.xml"_s), QByteArray::fromStdString(note));
  EXPECT_EQ(PartBytes(out, u"_rels/.rels"_s), PartBytes(in, u"_rels/.rels"_s));
  const QByteArray types = PartBytes(out, u"[Content_Types].xml"_s);
  EXPECT_TRUE(types.contains("spreadsheetml.sheet.main+xml"));
  EXPECT_FALSE(types.contains("template.main+xml"));
  EXPECT_TRUE(types.contains("/xl/sharedStrings.xml"));  // the strings part we added is declared
  EXPECT_TRUE(PartBytes(out, u"xl/_rels/workbook.xml.rels"_s).contains("sharedStrings.xml"));
  if (TestSupport::HaveOpenpyxl()) {
    const auto got =
        ReadWithOpenpyxl(out, u"print(json.dumps(openpyxl.load_workbook(sys.argv[1]).active['A2'].value))"_s);
    EXPECT_EQ(got.toString(), u"2024"_s);
  }
}

TEST(WorkbookPackage, SavedAsATemplateTheMainPartIsATemplates) {
  struct TCase {
    const char* Name;
    bool FromTemplate;
  } cases[] = {{"from a template", true}, {"from a workbook", false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    QTemporaryDir dir;
    TBook book;
    book.Template = c.FromTemplate;
    book.Write(dir.filePath(u"in"_s));
    auto workbook = TWorkbook::Load(dir.filePath(u"in"_s));
    const QString out = dir.filePath(u"out.xltx"_s);
    workbook->SaveAs(out, TWorkbook::TFileKind::Template);
    const QByteArray types = PartBytes(out, u"[Content_Types].xml"_s);
    EXPECT_TRUE(types.contains("spreadsheetml.template.main+xml")) << types.toStdString();
    EXPECT_FALSE(types.contains("spreadsheetml.sheet.main+xml"));
    if (TestSupport::HaveOpenpyxl()) {
      EXPECT_TRUE(ReadWithOpenpyxl(out, u"print(json.dumps(openpyxl.load_workbook(sys.argv[1]).template))"_s).toBool());
    }
  }
}

TEST(WorkbookPackage, SaveNeverReplacesAFileNorLeavesAPartialOne) {
  QTemporaryDir dir;
  TBook book;
  book.Write(dir.filePath(u"in.xltx"_s));
  auto workbook = TWorkbook::Load(dir.filePath(u"in.xltx"_s));
  const QString existing = dir.filePath(u"user.xlsx"_s);
  {
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("the user's own file");
  }
  const QString message = MessageOf([&] { workbook->SaveAs(existing); });
  EXPECT_TRUE(message.contains(existing)) << message.toStdString();
  QFile file(existing);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("the user's own file"));

  const QString missingFolder = dir.filePath(u"no/such/folder/out.xlsx"_s);
  EXPECT_TRUE(MessageOf([&] { workbook->SaveAs(missingFolder); }).contains(missingFolder));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot),
            (QStringList{u"in.xltx"_s, u"user.xlsx"_s}));
}

TEST(WorkbookPackage, BrokenInputsFailWithTheFileNamed) {
  QTemporaryDir dir;
  auto write = [&](const QString& Name, const QByteArray& Bytes) {
    QFile file(dir.filePath(Name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Bytes);
    return dir.filePath(Name);
  };
  TBook noSheets;
  noSheets.ExtraParts = {
      {"xl/workbook.xml", "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"/>"}};
  noSheets.Write(dir.filePath(u"nosheets.xltx"_s));
  TBook badXml;
  badXml.ExtraParts = {{"xl/styles.xml", "<styleSheet><fonts>"}};
  badXml.Write(dir.filePath(u"badxml.xltx"_s));
  struct TCase {
    const char* Name;
    QString Path;
    QString Says;
  };
  const TCase cases[] = {
      {"missing", dir.filePath(u"absent.xltx"_s), u"не найден"_s},
      // libzip's reason comes inside a Russian sentence, its own text after it.
      {"not a zip", write(u"text.xltx"_s, "just text"), u"Не удалось открыть книгу"_s},
      {"not a zip, said in Russian", dir.filePath(u"text.xltx"_s), u": это не zip-архив ("_s},
      {"binary 97-2003", write(u"old.xlt"_s, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + "rest"),
       u"двоичном"_s},
      {"no sheets", dir.filePath(u"nosheets.xltx"_s), u"нет листов"_s},
      {"damaged part", dir.filePath(u"badxml.xltx"_s), u"xl/styles.xml"_s},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const QString message = MessageOf([&] { TWorkbook::Load(c.Path); });
    EXPECT_TRUE(message.contains(c.Path)) << message.toStdString();
    EXPECT_TRUE(message.contains(c.Says)) << message.toStdString();
  }
}
