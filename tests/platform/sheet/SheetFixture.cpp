#include "tests/platform/sheet/SheetFixture.h"

#include "platform/base/Exception.h"
#include "platform/sheet/ZipPackage.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WorkbookCheck.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace SheetFixture {

namespace {
const char* const Styles =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<fonts count=\"2\"><font><sz val=\"10\"/><name val=\"Arial\"/></font>"
    "<font><b/><sz val=\"10\"/><name val=\"Arial\"/></font></fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
    "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"2\"><border><left/><right/><top/><bottom/><diagonal/></border>"
    "<border><left style=\"medium\"/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"2\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
    "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"1\" xfId=\"0\" applyFont=\"1\" applyBorder=\"1\"/>"
    "</cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "</styleSheet>";
}  // namespace

void TBook::Write(const QString& Path) const {
  QFile::remove(Path);
  const std::string main = Template ? "template.main+xml" : "sheet.main+xml";
  std::string moreTypes, moreEntries, moreRels;
  for (size_t i = 0; i < MoreSheets.size(); ++i) {
    const std::string n = std::to_string(i + 2), id = "rId" + std::to_string(i + 10);
    moreTypes += "<Override PartName=\"/xl/worksheets/sheet" + n +
                 ".xml\" ContentType=\"application/"
                 "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
    moreEntries += "<sheet name=\"" + MoreSheets[i].first + "\" sheetId=\"" + n + "\" r:id=\"" + id + "\"/>";
    moreRels += "<Relationship Id=\"" + id +
                "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                "relationships/worksheet\" Target=\"worksheets/sheet" +
                n + ".xml\"/>";
  }
  TZipPackage package;
  package.SetPart(
      "[Content_Types].xml",
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
      "vnd.openxmlformats-officedocument.spreadsheetml." +
          main +
          "\"/>"
          "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/"
          "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
          "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/"
          "vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>" +
          (SharedStrings.empty() ? std::string()
                                 : "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/"
                                   "vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>") +
          moreTypes + "</Types>");
  package.SetPart("_rels/.rels",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                  "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                  "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                  "relationships/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
  package.SetPart("xl/workbook.xml",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                  "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                  "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                  "<sheets><sheet name=\"" +
                      Sheet + "\" sheetId=\"1\" r:id=\"rId1\"/>" + moreEntries + "</sheets>" +
                      (Names.empty() ? std::string() : "<definedNames>" + Names + "</definedNames>") + "</workbook>");
  package.SetPart("xl/_rels/workbook.xml.rels",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                  "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                  "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                  "relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
                  "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                  "relationships/styles\" Target=\"styles.xml\"/>" +
                      (SharedStrings.empty() ? std::string()
                                             : "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/"
                                               "officeDocument/2006/relationships/sharedStrings\" "
                                               "Target=\"sharedStrings.xml\"/>") +
                      moreRels + "</Relationships>");
  if (!SharedStrings.empty())
    package.SetPart("xl/sharedStrings.xml",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                    "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
                        SharedStrings + "</sst>");
  package.SetPart("xl/styles.xml", Styles);
  package.SetPart("xl/worksheets/sheet1.xml",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                  "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                  "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                  "<dimension ref=\"A1\"/>" +
                      Head + "<sheetData>" + Rows + "</sheetData>" + Tail + "</worksheet>");
  for (size_t i = 0; i < MoreSheets.size(); ++i)
    package.SetPart("xl/worksheets/sheet" + std::to_string(i + 2) + ".xml",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                    "<sheetData>" +
                        MoreSheets[i].second + "</sheetData></worksheet>");
  for (const auto& [name, bytes] : ExtraParts) package.SetPart(name, bytes);
  package.WriteNew(Path);
}

std::string Text(const std::string& Ref, const std::string& Value, int Style) {
  return "<c r=\"" + Ref + "\"" + (Style ? " s=\"" + std::to_string(Style) + "\"" : std::string()) +
         " t=\"inlineStr\"><is><t>" + Value + "</t></is></c>";
}

std::string Number(const std::string& Ref, double Value, int Style) {
  return "<c r=\"" + Ref + "\"" + (Style ? " s=\"" + std::to_string(Style) + "\"" : std::string()) + "><v>" +
         QString::number(Value, 'g', 17).toStdString() + "</v></c>";
}

std::string Shared(const std::string& Ref, int Index, int Style) {
  return "<c r=\"" + Ref + "\"" + (Style ? " s=\"" + std::to_string(Style) + "\"" : std::string()) + " t=\"s\"><v>" +
         std::to_string(Index) + "</v></c>";
}

std::string Row(int Number, std::initializer_list<std::string> Cells, const std::string& Attrs) {
  std::string out = "<row r=\"" + std::to_string(Number) + "\"" + Attrs + ">";
  for (const std::string& cell : Cells) out += cell;
  return out + "</row>";
}

QJsonValue ReadWithOpenpyxl(const QString& Path, const QString& Script) {
  ExpectStrictWorkbook(Path);  // whatever openpyxl makes of it, our own strict reader must accept it too
  const QString prelude = QStringLiteral("import sys, json, openpyxl\n");
  const TestSupport::ProcessResult result = TestSupport::RunPython(prelude + Script, {Path});
  EXPECT_EQ(result.ExitCode, 0) << result.Stderr.toStdString();
  QJsonParseError error;
  // Wrapped in a list: a document may not be a bare scalar.
  const QJsonDocument doc = QJsonDocument::fromJson("[" + result.Stdout.toUtf8() + "]", &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << result.Stdout.toStdString();
  return doc.array().isEmpty() ? QJsonValue() : doc.array().first();
}

std::string Json(const QJsonValue& Value) {
  return QJsonDocument(QJsonArray{Value}).toJson(QJsonDocument::Compact).toStdString();
}

QByteArray PartBytes(const QString& Path, const QString& Part) {
  const TestSupport::ProcessResult result = TestSupport::RunPython(
      QStringLiteral("import sys, zipfile, base64\n"
                     "print(base64.b64encode(zipfile.ZipFile(sys.argv[1]).read(sys.argv[2])).decode())"),
      {Path, Part});
  EXPECT_EQ(result.ExitCode, 0) << result.Stderr.toStdString();
  return QByteArray::fromBase64(result.Stdout.trimmed().toLatin1());
}

}  // namespace SheetFixture
