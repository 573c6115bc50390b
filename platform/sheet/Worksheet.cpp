// Loading and saving a worksheet part; the cell and search operations are in WorksheetCells.cpp, the
// formats and merges in WorksheetFormat.cpp, row inserts in WorksheetRows.cpp.
#include "platform/sheet/Worksheet.h"

#include "platform/base/Exception.h"
#include "platform/sheet/CellText.h"
#include "platform/sheet/FormulaRefs.h"
#include "platform/sheet/RowHeights.h"
#include "platform/sheet/SharedStrings.h"
#include "platform/sheet/Styles.h"
#include "platform/sheet/TextSearch.h"
#include "platform/sheet/WorksheetXml.h"
#include "platform/sheet/XmlAppend.h"
#include "platform/sheet/XmlDocument.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <map>

namespace {

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

int WorksheetPlace(const char* Name) {
  for (size_t i = 0; i < std::size(WorksheetOrder); ++i)
    if (std::strcmp(WorksheetOrder[i], Name) == 0) return static_cast<int>(i);
  return static_cast<int>(std::size(WorksheetOrder));
}

pugi::xml_node PlaceChild(pugi::xml_node Parent, const char* Name) {
  const int mine = WorksheetPlace(Name);
  for (pugi::xml_node node : Parent.children())
    if (WorksheetPlace(node.name()) > mine) return Parent.insert_child_before(Name, node);
  return Parent.append_child(Name);
}

const char* const SheetDataMark = "ppr:sheetData";
// The serialized sheet goes out in pieces of about this size: large enough that handing one over costs
// nothing next to making it, small enough that a few of them in flight cost no memory to speak of.
constexpr size_t PieceSize = 256u << 10;

std::string InnerXml(pugi::xml_node Node) {
  std::string out;
  for (pugi::xml_node child : Node.children()) out += NodeXml(child);
  return out;
}

std::string InlineText(pugi::xml_node Is) {
  if (pugi::xml_node t = Is.child("t")) return t.text().get();
  std::string text;
  for (pugi::xml_node r : Is.children("r")) text += r.child("t").text().get();
  return text;
}

// What the save needs to know of a row's attribute text to give the row an estimated height.
struct TRowAttrFit {
  bool Fixed = false;  // a custom height or a hidden row: left as it is
  double Height = 0;   // the row's own height, 0 when it has none
  std::string WithoutHeight;
};

TRowAttrFit ReadRowAttrs(const std::string& Attrs) {
  TRowAttrFit fit;
  auto value = [&](const char* Name, size_t& Begin, size_t& End) {
    const size_t at = Attrs.find(Name);
    if (at == std::string::npos) return false;
    Begin = at;
    const size_t open = at + std::strlen(Name);
    End = Attrs.find('"', open);
    if (End == std::string::npos) return false;
    ++End;
    return true;
  };
  size_t begin = 0, end = 0;
  for (const char* name : {" customHeight=\"", " hidden=\""})
    if (value(name, begin, end)) {
      const std::string_view v(Attrs.data() + begin + std::strlen(name), end - 1 - begin - std::strlen(name));
      if (v == "1" || v == "true") fit.Fixed = true;
    }
  fit.WithoutHeight = Attrs;
  if (value(" ht=\"", begin, end)) {
    fit.Height = std::strtod(Attrs.c_str() + begin + 5, nullptr);
    fit.WithoutHeight.erase(begin, end - begin);
  }
  return fit;
}

}  // namespace

bool ParseRectList(const char* Text, std::vector<TCellRect>& Rects) {
  std::string_view rest(Text);
  while (!rest.empty()) {
    const size_t space = rest.find(' ');
    const std::string_view part = rest.substr(0, space);
    if (!part.empty()) {
      TCellRect rect;
      if (!ParseRectName(part, rect)) return false;
      Rects.push_back(rect);
    }
    if (space == std::string_view::npos) break;
    rest.remove_prefix(space + 1);
  }
  return true;
}

std::string RectListText(const std::vector<TCellRect>& Rects) {
  std::string out;
  for (const TCellRect& rect : Rects) {
    if (!out.empty()) out.push_back(' ');
    out += RectName(rect);
  }
  return out;
}

TWorksheet::TWorksheet(QString Name, std::shared_ptr<TStyles> Styles, std::shared_ptr<TSharedStrings> Strings,
                       const std::string& Xml)
    : FName(std::move(Name)),
      FStyles(std::move(Styles)),
      FStrings(std::move(Strings)),
      FXml(std::make_unique<TXmlParts>()) {
  const QByteArray part = (u"worksheet " + FName).toUtf8();
  ParseXml(FXml->Doc, Xml, part.constData());
  pugi::xml_node root = FXml->Doc.document_element();
  FXml->SheetData = root.child("sheetData");
  if (!FXml->SheetData) FXml->SheetData = PlaceChild(root, "sheetData");
  ParseSheetData(FXml->SheetData);
  while (FXml->SheetData.first_child()) FXml->SheetData.remove_child(FXml->SheetData.first_child());
  FXml->SheetData.append_child(pugi::node_comment).set_value(SheetDataMark);

  CheckColumns(root.child("cols"));
  if (pugi::xml_node dimension = root.child("dimension")) {
    TCellRect rect;
    if (!ParseRectName(dimension.attribute("ref").value(), rect))
      Damaged(Format(QStringLiteral("размер листа «%s» задан неверно"),
                     {QString::fromUtf8(dimension.attribute("ref").value())}));
  }
  for (pugi::xml_node merge : root.child("mergeCells").children("mergeCell")) {
    TCellRect rect;
    const char* ref = merge.attribute("ref").value();
    if (!ParseRectName(ref, rect) || (rect.R1 == rect.R2 && rect.C1 == rect.C2))
      Damaged(Format(QStringLiteral("объединение ячеек «%s» задано неверно"), {QString::fromUtf8(ref)}));
    for (const TCellRect& other : FMerges)
      if (other.Intersects(rect))
        Damaged(Format(QStringLiteral("объединения ячеек %s и %s перекрываются"),
                       {QString::fromStdString(RectName(other)), QString::fromUtf8(ref)}));
    FMerges.push_back(rect);
  }
  root.remove_child("mergeCells");

  auto keep = [this](pugi::xml_attribute attr) {
    TSheetRef ref{attr, {}};
    if (attr && ParseRectList(attr.value(), ref.Rects)) FXml->Refs.push_back(std::move(ref));
  };
  for (pugi::xml_node cf : root.children("conditionalFormatting")) keep(cf.attribute("sqref"));
  for (pugi::xml_node dv : root.child("dataValidations").children("dataValidation")) keep(dv.attribute("sqref"));
  for (pugi::xml_node link : root.child("hyperlinks").children("hyperlink")) keep(link.attribute("ref"));
  for (pugi::xml_node cf : root.children("conditionalFormatting"))
    for (pugi::xml_node rule : cf.children("cfRule"))
      for (pugi::xml_node formula : rule.children("formula")) FXml->FormulaNodes.push_back(formula);
  for (pugi::xml_node dv : root.child("dataValidations").children("dataValidation"))
    for (const char* name : {"formula1", "formula2"})
      if (pugi::xml_node formula = dv.child(name)) FXml->FormulaNodes.push_back(formula);
}

TWorksheet::~TWorksheet() = default;

void TWorksheet::Damaged(const QString& What) const {
  throw Exception(Format(QStringLiteral("на листе «%s» %s"), {FName, What}));
}

void TWorksheet::CheckColumns(const pugi::xml_node& Cols) const {
  int32_t lastMax = 0;
  for (pugi::xml_node col : Cols.children("col")) {
    const int32_t min = col.attribute("min").as_int(), max = col.attribute("max").as_int();
    const double width = col.attribute("width").as_double(0);
    if (min < 1 || max < min || max > MaxSheetColumn || min <= lastMax || !(width >= 0 && width <= 255))
      Damaged(Format(QStringLiteral("столбцы min=\"%s\" max=\"%s\" заданы неверно (вне листа, не по порядку, "
                                    "с перекрытием или с шириной %s)"),
                     {QString::fromUtf8(col.attribute("min").value()), QString::fromUtf8(col.attribute("max").value()),
                      QString::fromUtf8(col.attribute("width").value())}));
    lastMax = max;
  }
}

void TWorksheet::ParseSheetData(const pugi::xml_node& SheetData) {
  struct TSharedMaster {
    int32_t Row, Col;
    std::string Text;
  };
  struct TSharedCopy {
    uint32_t Raw;
    int32_t Row, Col;
    uint32_t Group;
  };
  std::map<uint32_t, TSharedMaster> sharedMasters;
  std::vector<TSharedCopy> sharedCopies;
  int32_t lastRow = 0;
  for (pugi::xml_node rowNode : SheetData.children("row")) {
    TRow row;
    row.Number = rowNode.attribute("r") ? rowNode.attribute("r").as_int() : lastRow + 1;
    if (row.Number <= lastRow || row.Number > MaxSheetRow)
      Damaged(Format(QStringLiteral("строка %s стоит не по порядку или вне листа"),
                     {QString::fromUtf8(rowNode.attribute("r").value())}));
    lastRow = row.Number;
    if (pugi::xml_attribute style = rowNode.attribute("s"); style && style.as_uint() >= FStyles->XfCount())
      Damaged(Format(QStringLiteral("у строки %s нет формата %s"),
                     {QString::number(row.Number), QString::fromUtf8(style.value())}));
    std::string attrs;
    for (pugi::xml_attribute attr : rowNode.attributes()) {
      if (std::strcmp(attr.name(), "r") == 0 || std::strcmp(attr.name(), "spans") == 0) continue;
      attrs += ' ';
      attrs += attr.name();
      attrs += "=\"";
      AppendXmlEscaped(attrs, attr.value());
      attrs += '"';
    }
    auto [it, added] = FXml->RowAttrIndex.emplace(attrs, static_cast<uint32_t>(FXml->RowAttrs.size()));
    if (added) FXml->RowAttrs.push_back(attrs);
    row.Attrs = it->second;

    int32_t lastCol = 0;
    for (pugi::xml_node c : rowNode.children("c")) {
      int32_t r = row.Number, col = lastCol + 1;
      pugi::xml_attribute ref = c.attribute("r");
      if ((ref && !ParseCellName(ref.value(), r, col)) || r != row.Number || col <= lastCol || col > MaxSheetColumn)
        Damaged(Format(QStringLiteral("ячейка %s в строке %s стоит не по порядку или вне строки"),
                       {QString::fromUtf8(ref.value()), QString::number(row.Number)}));
      lastCol = col;
      TCell cell;
      cell.Col = static_cast<uint16_t>(col);
      cell.Style = c.attribute("s").as_uint();
      if (cell.Style >= FStyles->XfCount())
        Damaged(Format(QStringLiteral("у ячейки %s нет формата %s"),
                       {QString::fromStdString(CellName(r, col)), QString::number(cell.Style)}));
      const std::string_view type = c.attribute("t").value();
      pugi::xml_node v = c.child("v");
      if (pugi::xml_node f = c.child("f")) {
        cell.Type = TCellType::Raw;
        cell.Index = static_cast<uint32_t>(FXml->RawCells.size());
        TRawCell& raw = FXml->RawCells.emplace_back();
        raw.Cached = v.text().get();
        raw.Formula = true;
        raw.FormulaText = f.text().get();
        const bool shared = std::string_view(f.attribute("t").value()) == "shared";
        for (pugi::xml_attribute attr : f.attributes()) {
          const std::string_view attrName = attr.name();
          if (attrName == "ref") {
            raw.HasRef = !shared && ParseRectName(attr.value(), raw.Ref);
            continue;
          }
          if (shared && (attrName == "t" || attrName == "si")) continue;
          raw.FormulaAttrs += ' ';
          raw.FormulaAttrs += attr.name();
          raw.FormulaAttrs += "=\"";
          AppendXmlEscaped(raw.FormulaAttrs, attr.value());
          raw.FormulaAttrs += '"';
        }
        if (shared) {
          const uint32_t group = f.attribute("si").as_uint();
          if (!raw.FormulaText.empty() && !sharedMasters.count(group))
            sharedMasters.emplace(group, TSharedMaster{row.Number, col, raw.FormulaText});
          else
            sharedCopies.push_back({cell.Index, row.Number, col, group});
        }
      } else if (type == "e" || type == "d") {
        cell.Type = TCellType::Raw;
        cell.Index = static_cast<uint32_t>(FXml->RawCells.size());
        TRawCell& raw = FXml->RawCells.emplace_back();
        raw.TypeAttr = type;
        raw.Inner = InnerXml(c);
        raw.Cached = v.text().get();
      } else if (type == "s") {
        const uint32_t index = v.text().as_uint();
        if (v && index >= FStrings->Count())
          Damaged(Format(QStringLiteral("ячейка %s ссылается на строку %s, которой нет"),
                         {QString::fromStdString(CellName(r, col)), QString::number(index)}));
        if (v) {
          cell.Type = TCellType::String;
          cell.Index = index;
        }
      } else if (type == "inlineStr" || type == "str") {
        const std::string text =
            DecodeCellText(type == "str" ? std::string(v.text().get()) : InlineText(c.child("is")));
        if (!text.empty()) {
          cell.Type = TCellType::String;
          cell.Index = FStrings->Add(text);
        }
      } else if (type == "b") {
        if (v) {
          cell.Type = TCellType::Bool;
          cell.Bool = v.text().as_int() != 0;
        }
      } else if (v) {
        cell.Type = TCellType::Number;
        cell.Number = v.text().as_double();
      }
      row.Cells.push_back(cell);
    }
    FRows.Append(std::move(row));
  }
  // Each cell of a shared formula gets the master's formula moved by its distance from the master, so that
  // row inserts can treat every formula alike.
  for (const TSharedCopy& copy : sharedCopies) {
    const auto master = sharedMasters.find(copy.Group);
    if (master == sharedMasters.end())
      Damaged(Format(QStringLiteral("ячейка %s ссылается на общую формулу %s, которой нет"),
                     {QString::fromStdString(CellName(copy.Row, copy.Col)), QString::number(copy.Group)}));
    TFormulaRefs refs(master->second.Text, FName);
    refs.Translate(copy.Row - master->second.Row, copy.Col - master->second.Col);
    FXml->RawCells[copy.Raw].FormulaText = refs.Text();
  }
}

std::optional<double> TWorksheet::RowHeight(int32_t Row) const {
  const TRow* row = FRows.Find(Row);
  if (!row) return std::nullopt;
  const std::string& attrs = FXml->RowAttrs[row->Attrs];
  const size_t at = attrs.find(" ht=\"");
  if (at == std::string::npos) return std::nullopt;
  return std::strtod(attrs.c_str() + at + 5, nullptr);
}

TCellRect TWorksheet::Dimension() const {
  TCellRect dim{0, 0, 0, 0};
  FRows.ForEach(1, [&](TRow& row) {
    if (row.Cells.empty()) return true;
    if (dim.R1 == 0) dim.R1 = row.Number;
    dim.R2 = row.Number;
    const int32_t c1 = row.Cells.front().Col, c2 = row.Cells.back().Col;
    if (dim.C1 == 0 || c1 < dim.C1) dim.C1 = c1;
    if (c2 > dim.C2) dim.C2 = c2;
    return true;
  });
  if (dim.R1 == 0) return {1, 1, 1, 1};
  return dim;
}

void TWorksheet::Serialize(const std::function<void(std::string& Piece)>& Put) {
  pugi::xml_node root = FXml->Doc.document_element();
  pugi::xml_node dimension = root.child("dimension");
  if (!dimension) dimension = PlaceChild(root, "dimension");
  const std::string dimText = RectName(Dimension());
  if (!dimension.attribute("ref")) dimension.append_attribute("ref");
  dimension.attribute("ref").set_value(dimText.c_str());

  root.remove_child("mergeCells");
  if (!FMerges.empty()) {
    pugi::xml_node merges = PlaceChild(root, "mergeCells");
    merges.append_attribute("count").set_value(FMerges.size());
    for (const TCellRect& rect : FMerges)
      merges.append_child("mergeCell").append_attribute("ref").set_value(RectName(rect).c_str());
  }
  for (TSheetRef& ref : FXml->Refs) ref.Attr.set_value(RectListText(ref.Rects).c_str());

  const std::string outer = DocumentXml(FXml->Doc);
  const std::string mark = std::string("<!--") + SheetDataMark + "-->";
  const size_t at = outer.find(mark);

  std::string out;
  out.reserve(PieceSize + PieceSize / 4);
  out.append(outer, 0, at);
  // Rows that hold wrapped text and whose height the application would fit get an estimated height,
  // written without customHeight so that an application may fit them again.
  TRowHeights heights(*FStyles, *FStrings, root, FMerges);
  std::vector<std::optional<TRowAttrFit>> fits(FXml->RowAttrs.size());
  FRows.ForEach(1, [&](TRow& row) {
    const std::string& attrs = FXml->RowAttrs[row.Attrs];
    if (row.Cells.empty() && attrs.empty()) return true;
    out += "<row r=\"";
    AppendInt(out, row.Number);
    out += '"';
    std::optional<TRowAttrFit>& fit = fits[row.Attrs];
    if (!fit) fit = ReadRowAttrs(attrs);
    std::optional<double> height;
    if (!fit->Fixed && !row.Cells.empty())
      height = heights.Needed(row, fit->Height > 0 ? fit->Height : heights.DefaultHeight());
    if (height) {
      out += fit->WithoutHeight;
      out += " ht=\"";
      AppendNumber(out, *height);
      out += '"';
    } else {
      out += attrs;
    }
    if (row.Cells.empty()) {
      out += "/>";
      return true;
    }
    out += '>';
    for (const TCell& cell : row.Cells) {
      out += "<c r=\"";
      AppendColumnName(out, cell.Col);
      AppendInt(out, row.Number);
      out += '"';
      if (cell.Style != 0) {
        out += " s=\"";
        AppendInt(out, cell.Style);
        out += '"';
      }
      switch (cell.Type) {
      case TCellType::Empty:
        out += "/>";
        break;
      case TCellType::Number:
        out += "><v>";
        AppendNumber(out, cell.Number);
        out += "</v></c>";
        break;
      case TCellType::String:
        out += " t=\"s\"><v>";
        AppendInt(out, cell.Index);
        out += "</v></c>";
        break;
      case TCellType::Bool:
        out += cell.Bool ? " t=\"b\"><v>1</v></c>" : " t=\"b\"><v>0</v></c>";
        break;
      case TCellType::Raw: {
        const TRawCell& raw = FXml->RawCells[cell.Index];
        if (raw.Formula) {
          out += "><f";
          out += raw.FormulaAttrs;
          if (raw.HasRef) {
            out += " ref=\"";
            out += RectName(raw.Ref);
            out += '"';
          }
          out += '>';
          AppendXmlEscaped(out, raw.FormulaText);
          out += "</f></c>";
          break;
        }
        if (!raw.TypeAttr.empty()) {
          out += " t=\"";
          out += raw.TypeAttr;
          out += '"';
        }
        out += '>';
        out += raw.Inner;
        out += "</c>";
        break;
      }
      }
    }
    out += "</row>";
    if (out.size() >= PieceSize) {
      Put(out);
      out.clear();
      if (out.capacity() < PieceSize) out.reserve(PieceSize + PieceSize / 4);
    }
    return true;
  });
  out.append(outer, at + mark.size(), std::string::npos);
  Put(out);
}

std::vector<int32_t> TWorksheet::TakeInsertLog() { return std::exchange(FInsertLog, {}); }
