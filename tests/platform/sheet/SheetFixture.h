#pragma once
// Small workbooks written inline by the tests, and reading what we saved through openpyxl.
#include "tests/support/ExpectMessage.h"

#include <QJsonValue>
#include <QString>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace SheetFixture {

// One sheet named "Лист1" (or Sheet): Rows is the <sheetData> content, Tail the elements after it
// (<mergeCells>, <pageSetup>), Names the <definedNames> content. Written as a template unless Template
// is false; a styles part with one bold font and a bordered format (index 1) comes with it.
struct TBook {
  std::string Sheet = "Лист1";
  std::string Head;  // elements between <dimension> and <sheetData> (<sheetFormatPr>, <cols>)
  std::string Rows;
  std::string Tail;
  std::string Names;
  std::string SharedStrings;  // <si> entries; when given, a shared strings part comes with the book
  bool Template = true;
  std::vector<std::pair<std::string, std::string>> ExtraParts;  // added as they are (not in content types)
  // Further sheets after the first: name and <sheetData> content, as xl/worksheets/sheet2.xml and on.
  std::vector<std::pair<std::string, std::string>> MoreSheets;
  void Write(const QString& Path) const;
};

// Cell and row snippets: Text("B2", "#body#"), Number("C3", 1.5), Row(2, {Text(...), ...}, " ht=\"20\"").
std::string Text(const std::string& Ref, const std::string& Value, int Style = 0);
std::string Number(const std::string& Ref, double Value, int Style = 0);
std::string Shared(const std::string& Ref, int Index, int Style = 0);  // a cell pointing at shared string Index
std::string Row(int Number, std::initializer_list<std::string> Cells, const std::string& Attrs = {});

// Runs Script (python3 with openpyxl; the file is sys.argv[1]) and returns what it printed as JSON.
// The test fails (and gets a null value) when the script fails, or when our strict reader
// (tests/support/WorkbookCheck.h) finds the file faulty.
QJsonValue ReadWithOpenpyxl(const QString& Path, const QString& Script);

using TestSupport::MessageOf;

// A JSON value as compact text, for comparisons that print readably when they fail.
std::string Json(const QJsonValue& Value);

// The bytes of one part of a saved package, read with python's zipfile (not our reader).
QByteArray PartBytes(const QString& Path, const QString& Part);

}  // namespace SheetFixture
