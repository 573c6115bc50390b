#include "platform/sheet/Workbook.h"

#include "platform/base/Exception.h"
#include "platform/sheet/ContentTypes.h"
#include "platform/sheet/FormulaRefs.h"
#include "platform/sheet/Relationships.h"
#include "platform/sheet/SharedStrings.h"
#include "platform/sheet/Styles.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/XmlDocument.h"
#include "platform/sheet/ZipPackage.h"

#include <new>
#include <optional>

namespace {
// A part reader's message as a clause inside ours: without its closing full stop.
QString Clause(QString Message) {
  if (Message.endsWith(u'.')) Message.chop(1);
  return Message;
}

const char* const StylesType = "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";
const char* const StringsType = "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml";
}  // namespace

struct TWorkbook::TParts {
  TZipPackage Package;
  TContentTypes ContentTypes;
  TRelationships WorkbookRels;
  pugi::xml_document WorkbookDoc;
  std::string WorkbookPath, StylesPath, StringsPath;
  bool StylesNew = false, StringsNew = false, RelsChanged = false;
  std::shared_ptr<TStyles> Styles = std::make_shared<TStyles>();
  std::shared_ptr<TSharedStrings> Strings = std::make_shared<TSharedStrings>();
  struct TSheetEntry {
    QString Name;
    std::string Path;
    std::shared_ptr<TWorksheet> Sheet;
  };
  std::vector<TSheetEntry> Sheets;
  int Active = 0;
  struct TName {
    pugi::xml_node Node;
    std::optional<TFormulaRefs> Refs;  // parsed on the first insert
  };
  std::vector<TName> Names;
};

TWorkbook::TWorkbook() : FParts(std::make_unique<TParts>()) {}
TWorkbook::~TWorkbook() = default;

std::shared_ptr<TWorkbook> TWorkbook::Load(const QString& Path) {
  try {
    return LoadParts(Path);
  } catch (const std::bad_alloc&) {
    throw Exception(Format(QStringLiteral("Недостаточно памяти, чтобы прочитать книгу «%s»."), {Path}));
  }
}

std::shared_ptr<TWorkbook> TWorkbook::LoadParts(const QString& Path) {
  std::shared_ptr<TWorkbook> book(new TWorkbook());
  book->FSourcePath = Path;
  TParts& p = *book->FParts;
  auto damaged = [&](const QString& What) {
    return Exception(Format(QStringLiteral("Книга «%s» повреждена: %s."), {Path, What}));
  };
  p.Package = TZipPackage::Read(Path);
  try {
    p.ContentTypes.Load(p.Package.Part("[Content_Types].xml"), Path);
    TRelationships packageRels;
    packageRels.Load(p.Package.Part("_rels/.rels"), "");
    p.WorkbookPath = packageRels.TargetByType("officeDocument");
    const std::string* workbookXml = p.WorkbookPath.empty() ? nullptr : p.Package.Part(p.WorkbookPath);
    if (!workbookXml) throw damaged(QStringLiteral("нет основной части книги"));
    ParseXml(p.WorkbookDoc, *workbookXml, p.WorkbookPath.c_str());
    p.WorkbookRels.Load(p.Package.Part(TRelationships::PartFor(p.WorkbookPath)), p.WorkbookPath);

    p.StylesPath = p.WorkbookRels.TargetByType("styles");
    const std::string* stylesXml = p.StylesPath.empty() ? nullptr : p.Package.Part(p.StylesPath);
    p.StylesNew = !stylesXml;
    if (p.StylesNew) p.StylesPath = "xl/styles.xml";
    p.Styles->Load(stylesXml ? *stylesXml : std::string());

    p.StringsPath = p.WorkbookRels.TargetByType("sharedStrings");
    const std::string* stringsXml = p.StringsPath.empty() ? nullptr : p.Package.Part(p.StringsPath);
    p.StringsNew = !stringsXml;
    if (p.StringsNew) p.StringsPath = "xl/sharedStrings.xml";
    p.Strings->Load(stringsXml ? *stringsXml : std::string());

    pugi::xml_node root = p.WorkbookDoc.document_element();
    for (pugi::xml_node sheet : root.child("sheets").children("sheet")) {
      const std::string path = p.WorkbookRels.TargetById(sheet.attribute("r:id").value());
      if (path.empty() || !p.Package.Part(path)) continue;  // a chart sheet or a dangling entry
      p.Sheets.push_back({QString::fromUtf8(sheet.attribute("name").value()), path, nullptr});
    }
    if (p.Sheets.empty()) throw damaged(QStringLiteral("в книге нет листов"));
    p.Active = root.child("bookViews").child("workbookView").attribute("activeTab").as_int();
    if (p.Active < 0 || p.Active >= static_cast<int>(p.Sheets.size())) p.Active = 0;
    for (pugi::xml_node name : root.child("definedNames").children("definedName")) p.Names.push_back({name, {}});
  } catch (const Exception& error) {
    // Part readers name the part; the user needs the file too.
    if (error.Message().contains(Path)) throw;
    throw damaged(Clause(error.Message()));
  }
  return book;
}

int TWorkbook::SheetCount() const { return static_cast<int>(FParts->Sheets.size()); }

std::shared_ptr<TWorksheet> TWorkbook::Sheet(int Index) {
  if (Index < 0 || Index >= SheetCount())
    throw Exception(Format(QStringLiteral("В книге нет листа с номером %s."), {QString::number(Index + 1)}));
  TParts::TSheetEntry& entry = FParts->Sheets[static_cast<size_t>(Index)];
  if (!entry.Sheet) {
    try {
      entry.Sheet =
          std::make_shared<TWorksheet>(entry.Name, FParts->Styles, FParts->Strings, *FParts->Package.Part(entry.Path));
    } catch (const Exception& error) {
      throw Exception(Format(QStringLiteral("Книга «%s» повреждена: %s."), {FSourcePath, Clause(error.Message())}));
    } catch (const std::bad_alloc&) {
      throw Exception(Format(QStringLiteral("Недостаточно памяти, чтобы прочитать лист «%s» книги «%s»."),
                             {entry.Name, FSourcePath}));
    }
  }
  return entry.Sheet;
}

std::shared_ptr<TWorksheet> TWorkbook::ActiveSheet() { return Sheet(FParts->Active); }

namespace {
// A sheet part that may hold formulas (cells, conditional formats, validations), judged by its text alone.
bool MayHoldFormulas(const std::string& Xml) {
  return Xml.find("<f>") != std::string::npos || Xml.find("<f ") != std::string::npos ||
         Xml.find("<formula") != std::string::npos || Xml.find(":f>") != std::string::npos;
}
}  // namespace

void TWorkbook::ApplyInserts() {
  std::vector<std::pair<QString, std::vector<int32_t>>> logs;
  for (TParts::TSheetEntry& entry : FParts->Sheets)
    if (entry.Sheet)
      if (std::vector<int32_t> inserts = entry.Sheet->TakeInsertLog(); !inserts.empty())
        logs.emplace_back(entry.Name, std::move(inserts));
  if (logs.empty()) return;
  // Formulas anywhere may point into the sheets that moved: sheets not touched yet are loaded if they hold any.
  for (int i = 0; i < SheetCount(); ++i) {
    TParts::TSheetEntry& entry = FParts->Sheets[static_cast<size_t>(i)];
    if (!entry.Sheet && MayHoldFormulas(*FParts->Package.Part(entry.Path))) Sheet(i);
  }
  for (const auto& [sheet, inserts] : logs) {
    for (TParts::TName& name : FParts->Names) {
      if (!name.Refs) name.Refs.emplace(name.Node.text().get());
      if (name.Refs->InsertRows(sheet, inserts)) name.Node.text().set(name.Refs->Text().c_str());
    }
    for (TParts::TSheetEntry& entry : FParts->Sheets)
      if (entry.Sheet) entry.Sheet->ShiftFormulas(sheet, inserts);
  }
}

void TWorkbook::AskForRecalculation() {
  bool formulas = false;
  for (int i = 0; i < SheetCount(); ++i) {
    TParts::TSheetEntry& entry = FParts->Sheets[static_cast<size_t>(i)];
    if (entry.Sheet ? entry.Sheet->HasFormulas() : MayHoldFormulas(*FParts->Package.Part(entry.Path))) formulas = true;
  }
  if (!formulas) return;
  // Cached results are dropped from formula cells (rows moved under them): the reader computes them afresh.
  pugi::xml_node root = FParts->WorkbookDoc.document_element();
  pugi::xml_node calc = root.child("calcPr");
  if (!calc) {
    // calcPr follows definedNames and what may come before it; everything after it keeps its place.
    static const char* const After[] = {"oleSize",        "customWorkbookViews", "pivotCaches",
                                        "smartTagPr",     "smartTagTypes",       "webPublishing",
                                        "fileRecoveryPr", "webPublishObjects",   "extLst"};
    pugi::xml_node before;
    for (pugi::xml_node child : root.children()) {
      for (const char* name : After)
        if (std::string_view(child.name()) == name) before = child;
      if (before) break;
    }
    calc = before ? root.insert_child_before("calcPr", before) : root.append_child("calcPr");
  }
  if (!calc.attribute("fullCalcOnLoad")) calc.append_attribute("fullCalcOnLoad");
  calc.attribute("fullCalcOnLoad").set_value("1");
}

QString TWorkbook::DefinedName(const QString& Name, int LocalSheet) {
  ApplyInserts();
  const QByteArray wanted = Name.toUtf8();
  for (const TParts::TName& name : FParts->Names) {
    const pugi::xml_attribute local = name.Node.attribute("localSheetId");
    if (wanted != name.Node.attribute("name").value()) continue;
    if ((LocalSheet < 0 && !local) || (local && local.as_int() == LocalSheet))
      return QString::fromUtf8(name.Node.text().get());
  }
  return {};
}

void TWorkbook::SaveAs(const QString& Path, TFileKind Kind) {
  try {
    SaveParts(Path, Kind);
  } catch (const std::bad_alloc&) {
    throw Exception(Format(QStringLiteral("Недостаточно памяти, чтобы записать книгу «%s»."), {Path}));
  }
}

void TWorkbook::SaveParts(const QString& Path, TFileKind Kind) {
  TParts& p = *FParts;
  ApplyInserts();
  // The loaded package stays as loaded (the book can be saved again); the copy gets the changed parts.
  TZipPackage package = p.Package;
  bool relsChanged = false;
  // The calculation chain lists formula cells by position; rows moved, so the spreadsheet rebuilds it.
  if (const std::string chain = p.WorkbookRels.TargetByType("calcChain"); !chain.empty()) {
    package.RemovePart(chain);
    p.WorkbookRels.RemoveByType("calcChain");
    p.ContentTypes.RemoveOverride(chain);
    p.Package.RemovePart(chain);
    relsChanged = true;
  }
  for (TParts::TSheetEntry& entry : p.Sheets)
    if (entry.Sheet) package.SetPart(entry.Path, [sheet = entry.Sheet](const TPartPut& Put) { sheet->Serialize(Put); });
  if (p.StringsNew && p.Strings->Count() > 0) {
    p.WorkbookRels.Add("sharedStrings", "sharedStrings.xml");
    p.ContentTypes.SetOverride(p.StringsPath, StringsType);
    p.StringsNew = false;
    relsChanged = true;
  }
  if (!p.StringsNew) package.SetPart(p.StringsPath, p.Strings->Serialize());
  package.SetPart(p.StylesPath, p.Styles->Serialize());
  if (p.StylesNew) {
    p.WorkbookRels.Add("styles", "styles.xml");
    p.ContentTypes.SetOverride(p.StylesPath, StylesType);
    p.StylesNew = false;
    relsChanged = true;
  }
  if (relsChanged) p.RelsChanged = true;
  if (p.RelsChanged) package.SetPart(p.WorkbookRels.PartName(), p.WorkbookRels.Serialize());
  AskForRecalculation();
  package.SetPart(p.WorkbookPath, DocumentXml(p.WorkbookDoc));
  if (Kind == TFileKind::Template)
    p.ContentTypes.MakeTemplate(p.WorkbookPath);
  else
    p.ContentTypes.MakeWorkbook(p.WorkbookPath);
  package.SetPart("[Content_Types].xml", p.ContentTypes.Serialize());
  package.WriteNew(Path);
}
