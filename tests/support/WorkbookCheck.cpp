#include "tests/support/WorkbookCheck.h"

#include <gtest/gtest.h>
#include <zip.h>
#include <QFile>
#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace WorkbookCheck {

namespace {

struct TRect {
  long R1, C1, R2, C2;
};

// "B5" as row and column; false when it is no cell reference.
bool ParseCell(const std::string& Text, long& Row, long& Col) {
  size_t i = 0;
  if (i < Text.size() && Text[i] == '$') ++i;
  Col = 0;
  size_t letters = 0;
  while (i < Text.size() && Text[i] >= 'A' && Text[i] <= 'Z') Col = Col * 26 + (Text[i++] - 'A' + 1), ++letters;
  if (i < Text.size() && Text[i] == '$') ++i;
  if (letters == 0 || letters > 3 || i == Text.size()) return false;
  Row = 0;
  for (; i < Text.size(); ++i) {
    if (Text[i] < '0' || Text[i] > '9') return false;
    Row = Row * 10 + (Text[i] - '0');
    if (Row > 1048576) return false;
  }
  return Row >= 1 && Col >= 1 && Col <= 16384;
}

bool ParseRect(const std::string& Text, TRect& Rect) {
  const size_t colon = Text.find(':');
  if (colon == std::string::npos) {
    if (!ParseCell(Text, Rect.R1, Rect.C1)) return false;
    Rect.R2 = Rect.R1;
    Rect.C2 = Rect.C1;
    return true;
  }
  return ParseCell(Text.substr(0, colon), Rect.R1, Rect.C1) && ParseCell(Text.substr(colon + 1), Rect.R2, Rect.C2) &&
         Rect.R1 <= Rect.R2 && Rect.C1 <= Rect.C2;
}

std::string Folder(const std::string& Part) {
  const size_t slash = Part.rfind('/');
  return slash == std::string::npos ? std::string() : Part.substr(0, slash + 1);
}

std::string Resolve(const std::string& Base, const std::string& Target) {
  std::string path = !Target.empty() && Target[0] == '/' ? Target.substr(1) : Base + Target;
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string out;
  for (const std::string& part : parts) out += (out.empty() ? "" : "/") + part;
  return out;
}

std::string RelsFor(const std::string& Part) {
  const size_t slash = Part.rfind('/');
  return Folder(Part) + "_rels/" + (slash == std::string::npos ? Part : Part.substr(slash + 1)) + ".rels";
}

const char* const WorksheetOrder[] = {"sheetPr",
                                      "dimension",
                                      "sheetViews",
                                      "sheetFormatPr",
                                      "cols",
                                      "sheetData",
                                      "sheetCalcPr",
                                      "sheetProtection",
                                      "protectedRanges",
                                      "scenarios",
                                      "autoFilter",
                                      "sortState",
                                      "dataConsolidate",
                                      "customSheetViews",
                                      "mergeCells",
                                      "phoneticPr",
                                      "conditionalFormatting",
                                      "dataValidations",
                                      "hyperlinks",
                                      "printOptions",
                                      "pageMargins",
                                      "pageSetup",
                                      "headerFooter",
                                      "rowBreaks",
                                      "colBreaks",
                                      "customProperties",
                                      "cellWatches",
                                      "ignoredErrors",
                                      "smartTags",
                                      "drawing",
                                      "legacyDrawing",
                                      "legacyDrawingHF",
                                      "picture",
                                      "oleObjects",
                                      "controls",
                                      "webPublishItems",
                                      "tableParts",
                                      "extLst"};

class TChecker {
public:
  QStringList Problems;
  std::map<std::string, std::string> Parts;
  std::map<std::string, std::unique_ptr<pugi::xml_document>> Docs;

  void Add(const std::string& Where, const std::string& What) {
    Problems << QString::fromStdString(Where + ": " + What);
  }

  pugi::xml_node Root(const std::string& Part) {
    auto it = Docs.find(Part);
    return it == Docs.end() ? pugi::xml_node() : it->second->document_element();
  }

  std::map<std::string, std::string> Relationships(const std::string& Source) {
    std::map<std::string, std::string> targets;  // id -> part
    const std::string rels = Source.empty() ? "_rels/.rels" : RelsFor(Source);
    for (pugi::xml_node rel : Root(rels).children("Relationship")) {
      const std::string target = Resolve(Folder(Source), rel.attribute("Target").value());
      if (std::string(rel.attribute("TargetMode").value()) != "External" && !Parts.count(target))
        Add(rels, "relationship " + std::string(rel.attribute("Id").value()) + " leads to missing part " + target);
      targets[rel.attribute("Id").value()] = target;
    }
    return targets;
  }

  void Read(const QString& Path) {
    int code = 0;
    const QByteArray name = QFile::encodeName(Path);
    zip_t* archive = zip_open(name.constData(), ZIP_RDONLY, &code);
    if (!archive) {
      Add(Path.toStdString(), "not a zip archive (libzip error " + std::to_string(code) + ")");
      return;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
      zip_stat_t stat;
      zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
      std::string bytes(static_cast<size_t>(stat.size), '\0');
      zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
      char extra = 0;  // reading on to the end makes libzip check the entry's checksum
      if (!file || zip_fread(file, bytes.data(), stat.size) != static_cast<zip_int64_t>(stat.size) ||
          zip_fread(file, &extra, 1) != 0)
        Add(stat.name, "does not unpack (or its checksum fails)");
      if (file) zip_fclose(file);
      if (Parts.count(stat.name)) Add(stat.name, "stored twice");
      Parts[stat.name] = std::move(bytes);
    }
    zip_discard(archive);
    for (const auto& [part, bytes] : Parts) {
      if (!part.ends_with(".xml") && !part.ends_with(".rels")) continue;
      auto doc = std::make_unique<pugi::xml_document>();
      const pugi::xml_parse_result result = doc->load_buffer(
          bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_declaration, pugi::encoding_utf8);
      if (!result) {
        Add(part, std::string("not well-formed: ") + result.description() + " at " + std::to_string(result.offset));
        continue;
      }
      if (pugi::xml_node decl = doc->first_child(); decl.type() == pugi::node_declaration) {
        std::string encoding = decl.attribute("encoding").value();
        std::transform(encoding.begin(), encoding.end(), encoding.begin(), ::toupper);
        if (!encoding.empty() && encoding != "UTF-8") Add(part, "declares encoding " + encoding);
      }
      Docs[part] = std::move(doc);
    }
  }

  void CheckContentTypes() {
    pugi::xml_node types = Root("[Content_Types].xml");
    if (!types) return Add("[Content_Types].xml", "missing");
    std::set<std::string> overrides, defaults;
    for (pugi::xml_node o : types.children("Override")) overrides.insert(o.attribute("PartName").value());
    for (pugi::xml_node d : types.children("Default")) defaults.insert(d.attribute("Extension").value());
    for (const auto& [part, bytes] : Parts) {
      if (part == "[Content_Types].xml" || part.ends_with("/")) continue;
      const size_t dot = part.rfind('.');
      if (!overrides.count("/" + part) && !defaults.count(dot == std::string::npos ? "" : part.substr(dot + 1)))
        Add(part, "has no content type");
    }
  }

  struct TStyleCounts {
    size_t Xfs = 0;
  };

  TStyleCounts CheckStyles(const std::string& Part) {
    TStyleCounts counts;
    pugi::xml_node root = Root(Part);
    if (!root) {
      Add(Part, "missing styles");
      return counts;
    }
    auto count = [&](const char* List, const char* Item) {
      pugi::xml_node list = root.child(List);
      const size_t n = static_cast<size_t>(std::distance(list.children(Item).begin(), list.children(Item).end()));
      if (list.attribute("count") && list.attribute("count").as_ullong() != n)
        Add(Part,
            std::string(List) + " count " + list.attribute("count").value() + " but " + std::to_string(n) + " entries");
      return n;
    };
    const size_t fonts = count("fonts", "font"), fills = count("fills", "fill"), borders = count("borders", "border");
    const size_t styleXfs = count("cellStyleXfs", "xf");
    counts.Xfs = count("cellXfs", "xf");
    std::set<unsigned> numFmts;
    for (pugi::xml_node f : root.child("numFmts").children("numFmt")) numFmts.insert(f.attribute("numFmtId").as_uint());
    size_t index = 0;
    for (const char* list : {"cellStyleXfs", "cellXfs"})
      for (pugi::xml_node xf : root.child(list).children("xf")) {
        const std::string where = Part + " " + list + "[" + std::to_string(index++) + "]";
        if (xf.attribute("fontId").as_uint() >= fonts) Add(where, "font out of range");
        if (xf.attribute("fillId").as_uint() >= fills) Add(where, "fill out of range");
        if (xf.attribute("borderId").as_uint() >= borders) Add(where, "border out of range");
        const unsigned numFmt = xf.attribute("numFmtId").as_uint();
        if (numFmt >= 164 && !numFmts.count(numFmt))
          Add(where, "number format " + std::to_string(numFmt) + " undefined");
        if (std::string(list) == "cellXfs" && xf.attribute("xfId") && xf.attribute("xfId").as_uint() >= styleXfs)
          Add(where, "cell style out of range");
      }
    return counts;
  }

  size_t CheckStrings(const std::string& Part) {
    pugi::xml_node root = Root(Part);
    if (Part.empty() || !root) return 0;
    const size_t n = static_cast<size_t>(std::distance(root.children("si").begin(), root.children("si").end()));
    if (root.attribute("uniqueCount") && root.attribute("uniqueCount").as_ullong() != n)
      Add(Part, "uniqueCount " + std::string(root.attribute("uniqueCount").value()) + " but " + std::to_string(n) +
                    " entries");
    return n;
  }

  void CheckSheet(const std::string& Part, size_t Xfs, size_t Strings) {
    pugi::xml_node root = Root(Part);
    if (!root) return Add(Part, "missing or unreadable sheet");
    int lastPlace = -1;
    for (pugi::xml_node child : root.children()) {
      const auto at = std::find_if(std::begin(WorksheetOrder), std::end(WorksheetOrder),
                                   [&](const char* name) { return std::strcmp(name, child.name()) == 0; });
      const int place = static_cast<int>(at - std::begin(WorksheetOrder));
      if (at == std::end(WorksheetOrder))
        Add(Part, std::string("unknown element ") + child.name());
      else if (place < lastPlace)
        Add(Part, std::string("element ") + child.name() + " out of order");
      else
        lastPlace = place;
    }
    long lastMax = 0;
    for (pugi::xml_node col : root.child("cols").children("col")) {
      const long min = col.attribute("min").as_int(), max = col.attribute("max").as_int();
      if (min < 1 || max < min || max > 16384 || min <= lastMax)
        Add(Part, "col " + std::to_string(min) + "-" + std::to_string(max) + " invalid or overlapping");
      lastMax = max;
    }
    long lastRow = 0;
    TRect used{0, 0, 0, 0};
    for (pugi::xml_node row : root.child("sheetData").children("row")) {
      const long r = row.attribute("r").as_int();
      const std::string where = Part + " row " + std::to_string(r);
      if (r <= lastRow || r > 1048576) Add(where, "out of order");
      lastRow = r;
      if (row.attribute("s") && row.attribute("s").as_uint() >= Xfs) Add(where, "row style out of range");
      long lastCol = 0;
      for (pugi::xml_node c : row.children("c")) {
        long cr = 0, cc = 0;
        const std::string ref = c.attribute("r").value();
        if (!ParseCell(ref, cr, cc) || cr != r || cc <= lastCol) Add(where, "cell " + ref + " out of place");
        lastCol = cc;
        if (used.R1 == 0) used = {cr, cc, cr, cc};
        used = {std::min(used.R1, cr), std::min(used.C1, cc), std::max(used.R2, cr), std::max(used.C2, cc)};
        if (c.attribute("s").as_uint() >= Xfs)
          Add(ref, "style " + std::string(c.attribute("s").value()) + " out of range");
        const std::string type = c.attribute("t").value();
        pugi::xml_node v = c.child("v");
        if (type == "s" && (!v || v.text().as_ullong() >= Strings)) Add(ref, "shared string out of range");
        if (type == "b" && v && std::string(v.text().get()) != "0" && std::string(v.text().get()) != "1")
          Add(ref, "boolean neither 0 nor 1");
        if ((type.empty() || type == "n") && v && !c.child("f")) {
          char* end = nullptr;
          const std::string text = v.text().get();
          std::strtod(text.c_str(), &end);
          if (text.empty() || *end) Add(ref, "number " + text + " does not parse");
        }
        if (c.child("f") && v) Add(ref, "a formula with a cached result that may be stale");
      }
    }
    if (pugi::xml_node dim = root.child("dimension")) {
      TRect rect;
      const std::string ref = dim.attribute("ref").value();
      const TRect expected = used.R1 ? used : TRect{1, 1, 1, 1};
      if (!ParseRect(ref, rect) || rect.R1 != expected.R1 || rect.C1 != expected.C1 || rect.R2 != expected.R2 ||
          rect.C2 != expected.C2)
        Add(Part, "dimension " + ref + " is not the cells' extent");
    }
    std::vector<TRect> merges;
    pugi::xml_node mergeCells = root.child("mergeCells");
    for (pugi::xml_node merge : mergeCells.children("mergeCell")) {
      const std::string ref = merge.attribute("ref").value();
      TRect rect;
      if (!ParseRect(ref, rect) || (rect.R1 == rect.R2 && rect.C1 == rect.C2)) {
        Add(Part, "merge " + ref + " invalid");
        continue;
      }
      for (const TRect& o : merges)
        if (o.R1 <= rect.R2 && rect.R1 <= o.R2 && o.C1 <= rect.C2 && rect.C1 <= o.C2)
          Add(Part, "merge " + ref + " overlaps another");
      merges.push_back(rect);
    }
    if (mergeCells.attribute("count") && mergeCells.attribute("count").as_ullong() != merges.size())
      Add(Part, "mergeCells count differs from its entries");
  }

  void Check() {
    CheckContentTypes();
    const std::map<std::string, std::string> package = Relationships("");
    std::string workbook;
    for (pugi::xml_node rel : Root("_rels/.rels").children("Relationship"))
      if (std::string(rel.attribute("Type").value()).ends_with("/officeDocument"))
        workbook = Resolve("", rel.attribute("Target").value());
    pugi::xml_node book = Root(workbook);
    if (!book) return Add("_rels/.rels", "no workbook part");
    const std::map<std::string, std::string> rels = Relationships(workbook);
    std::string styles, strings;
    for (pugi::xml_node rel : Root(RelsFor(workbook)).children("Relationship")) {
      const std::string type = rel.attribute("Type").value();
      if (type.ends_with("/styles")) styles = Resolve(Folder(workbook), rel.attribute("Target").value());
      if (type.ends_with("/sharedStrings")) strings = Resolve(Folder(workbook), rel.attribute("Target").value());
    }
    const TStyleCounts counts = CheckStyles(styles);
    const size_t stringCount = CheckStrings(strings);
    size_t sheets = 0;
    for (pugi::xml_node sheet : book.child("sheets").children("sheet")) {
      ++sheets;
      const auto it = rels.find(sheet.attribute("r:id").value());
      if (it == rels.end()) {
        Add(workbook, std::string("sheet ") + sheet.attribute("name").value() + " has no relationship");
        continue;
      }
      CheckSheet(it->second, counts.Xfs, stringCount);
    }
    for (pugi::xml_node name : book.child("definedNames").children("definedName"))
      if (name.attribute("localSheetId") && name.attribute("localSheetId").as_ullong() >= sheets)
        Add(workbook,
            std::string("defined name ") + name.attribute("name").value() + " on a sheet that does not exist");
  }
};

}  // namespace

QStringList Problems(const QString& Path) {
  TChecker checker;
  checker.Read(Path);
  if (checker.Problems.isEmpty()) checker.Check();
  return checker.Problems;
}

}  // namespace WorkbookCheck

void ExpectStrictWorkbook(const QString& Path) {
  const QStringList problems = WorkbookCheck::Problems(Path);
  EXPECT_TRUE(problems.isEmpty()) << Path.toStdString() << ":\n  " << problems.join(u"\n  "_qs).toStdString();
}
