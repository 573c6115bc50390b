#include "platform/sheet/Styles.h"

#include "platform/sheet/XmlDocument.h"

#include <algorithm>
#include <pugixml.hpp>
#include <unordered_map>
#include <vector>

namespace {

const char* const MinimalStyles =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font></fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
    "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "</styleSheet>";

// The children of a styleSheet, in the order the schema wants them.
const char* const SheetOrder[] = {"numFmts",    "fonts", "fills",       "borders", "cellStyleXfs", "cellXfs",
                                  "cellStyles", "dxfs",  "tableStyles", "colors",  "extLst"};
const char* const BorderOrder[] = {"start",  "end",      "left",     "right",     "top",
                                   "bottom", "diagonal", "vertical", "horizontal"};
const char* const FontOrder[] = {"b",         "i",  "strike", "condense", "extend", "outline", "shadow", "u",
                                 "vertAlign", "sz", "color",  "name",     "family", "charset", "scheme"};

template <size_t N>
int OrderOf(const char* const (&Order)[N], const char* Name) {
  for (size_t i = 0; i < N; ++i)
    if (std::string_view(Order[i]) == Name) return static_cast<int>(i);
  return static_cast<int>(N);
}

// The child Name of Parent, made in its schema place when missing.
template <size_t N>
pugi::xml_node Child(pugi::xml_node Parent, const char* Name, const char* const (&Order)[N]) {
  if (pugi::xml_node found = Parent.child(Name)) return found;
  const int mine = OrderOf(Order, Name);
  for (pugi::xml_node node : Parent.children())
    if (OrderOf(Order, node.name()) > mine) return Parent.insert_child_before(Name, node);
  return Parent.append_child(Name);
}

// A list of entries (fonts, borders, cellXfs) with an index of their XML, for sharing.
struct TList {
  pugi::xml_node Node;
  std::vector<pugi::xml_node> Items;
  std::unordered_map<std::string, uint32_t> Index;

  void Bind(pugi::xml_node ListNode, const char* ItemName) {
    Node = ListNode;
    for (pugi::xml_node item : Node.children(ItemName)) {
      Items.push_back(item);
      Index.emplace(NodeXml(item), static_cast<uint32_t>(Items.size() - 1));
    }
  }
  // Index of an entry with Candidate's XML, appending Candidate when there is none (else it is removed).
  uint32_t Share(pugi::xml_node Candidate) {
    std::string xml = NodeXml(Candidate);
    if (auto it = Index.find(xml); it != Index.end()) {
      Node.remove_child(Candidate);
      return it->second;
    }
    Items.push_back(Candidate);
    const auto index = static_cast<uint32_t>(Items.size() - 1);
    Index.emplace(std::move(xml), index);
    Node.attribute("count") ? Node.attribute("count").set_value(Items.size())
                            : Node.append_attribute("count").set_value(Items.size());
    return index;
  }
};

bool IsDateCode(std::string_view Code) {
  bool quoted = false;
  for (size_t i = 0; i < Code.size(); ++i) {
    const char ch = Code[i];
    if (ch == '"')
      quoted = !quoted;
    else if (quoted)
      continue;
    else if (ch == '\\')
      ++i;
    else if (ch == '[') {
      const size_t close = Code.find(']', i);
      // [h], [mm], [ss] are elapsed times; colours ([Magenta]), conditions and locales are not.
      if (close != std::string_view::npos && close > i + 1) {
        const std::string_view inner = Code.substr(i + 1, close - i - 1);
        const char unit = static_cast<char>(inner.front() | 0x20);
        if ((unit == 'h' || unit == 'm' || unit == 's') &&
            std::all_of(inner.begin(), inner.end(), [unit](char c) { return static_cast<char>(c | 0x20) == unit; }))
          return true;
        i = close;
      }
    } else {
      const char lower = static_cast<char>(ch | 0x20);
      if (lower == 'd' || lower == 'm' || lower == 'y' || lower == 'h' || lower == 's') return true;
    }
  }
  return false;
}

}  // namespace

struct TStyles::TImpl {
  pugi::xml_document Doc;
  TList Fonts, Borders, Xfs;
  std::unordered_map<int32_t, bool> DateFormats;   // custom numFmt id -> shows a date
  std::unordered_map<uint64_t, uint32_t> Derived;  // (xf, change) -> xf
  std::vector<int8_t> XfIsDate;                    // -1 unknown
  std::vector<TTextLayout> Layouts;                // per xf, filled up to Layouts.size()
  double NormalSize = 11;
  std::vector<double> FontSizes;
  std::vector<bool> FontBold;

  void ReadFonts() {
    FontSizes.clear();
    FontBold.clear();
    for (pugi::xml_node font : Fonts.Items) {
      const double size = font.child("sz").attribute("val").as_double(11);
      FontSizes.push_back(size > 0 ? size : 11);
      pugi::xml_node b = font.child("b");
      FontBold.push_back(b && (!b.attribute("val") || b.attribute("val").as_bool()));
    }
  }
};

TStyles::TStyles() : FImpl(std::make_unique<TImpl>()) {}
TStyles::~TStyles() = default;

void TStyles::Load(const std::string& Xml) {
  TImpl& s = *FImpl;
  ParseXml(s.Doc, Xml.empty() ? std::string(MinimalStyles) : Xml, "xl/styles.xml");
  pugi::xml_node sheet = s.Doc.document_element();
  for (pugi::xml_node fmt : sheet.child("numFmts").children("numFmt"))
    s.DateFormats[fmt.attribute("numFmtId").as_int()] = IsDateCode(fmt.attribute("formatCode").value());
  s.Fonts.Bind(Child(sheet, "fonts", SheetOrder), "font");
  s.Borders.Bind(Child(sheet, "borders", SheetOrder), "border");
  s.Xfs.Bind(Child(sheet, "cellXfs", SheetOrder), "xf");
  if (s.Fonts.Items.empty()) {
    pugi::xml_node font = s.Fonts.Node.append_child("font");
    font.append_child("sz").append_attribute("val").set_value("11");
    s.Fonts.Share(font);
  }
  if (s.Borders.Items.empty()) s.Borders.Share(s.Borders.Node.append_child("border"));
  if (s.Xfs.Items.empty()) {
    pugi::xml_node xf = s.Xfs.Node.append_child("xf");
    for (const char* name : {"numFmtId", "fontId", "fillId", "borderId"}) xf.append_attribute(name).set_value(0);
    s.Xfs.Share(xf);
  }
  s.ReadFonts();
  // The Normal style's font: the first cell style format's, as applications take it.
  const uint32_t normalFont = sheet.child("cellStyleXfs").child("xf").attribute("fontId").as_uint();
  s.NormalSize = s.FontSizes[normalFont < s.FontSizes.size() ? normalFont : 0];
}

size_t TStyles::XfCount() const { return FImpl->Xfs.Items.size(); }

TTextLayout TStyles::TextLayout(uint32_t Xf) const {
  TImpl& s = *FImpl;
  if (Xf >= s.Xfs.Items.size()) Xf = 0;
  if (Xf >= s.Layouts.size()) {
    if (s.FontSizes.size() != s.Fonts.Items.size()) s.ReadFonts();
    while (s.Layouts.size() < s.Xfs.Items.size()) {
      pugi::xml_node xf = s.Xfs.Items[s.Layouts.size()];
      TTextLayout layout;
      layout.Wrap = xf.child("alignment").attribute("wrapText").as_bool();
      const uint32_t font = xf.attribute("fontId").as_uint();
      if (font < s.FontSizes.size()) {
        layout.FontSize = s.FontSizes[font];
        layout.Bold = s.FontBold[font];
      }
      s.Layouts.push_back(layout);
    }
  }
  return s.Layouts[Xf];
}

double TStyles::NormalFontSize() const {
  TImpl& s = *FImpl;
  if (s.FontSizes.size() != s.Fonts.Items.size()) s.ReadFonts();
  return s.NormalSize;
}

bool TStyles::IsDate(uint32_t Xf) const {
  TImpl& s = *FImpl;
  if (Xf >= s.Xfs.Items.size()) return false;
  if (s.XfIsDate.size() < s.Xfs.Items.size()) s.XfIsDate.resize(s.Xfs.Items.size(), -1);
  int8_t& known = s.XfIsDate[Xf];
  if (known < 0) {
    const int id = s.Xfs.Items[Xf].attribute("numFmtId").as_int();
    bool date = (id >= 14 && id <= 22) || (id >= 45 && id <= 47);
    if (auto it = s.DateFormats.find(id); it != s.DateFormats.end()) date = it->second;
    known = date ? 1 : 0;
  }
  return known == 1;
}

static void SetAttr(pugi::xml_node Node, const char* Name, const char* Value) {
  pugi::xml_attribute attr = Node.attribute(Name);
  if (!attr) attr = Node.append_attribute(Name);
  attr.set_value(Value);
}

static pugi::xml_node Alignment(pugi::xml_node Xf) {
  pugi::xml_node node = Xf.child("alignment");
  if (!node) node = Xf.prepend_child("alignment");  // alignment comes first in an xf
  SetAttr(Xf, "applyAlignment", "1");
  return node;
}

uint32_t TStyles::Derive(uint32_t Xf, TStyleChange Change) {
  TImpl& s = *FImpl;
  if (Xf >= s.Xfs.Items.size()) Xf = 0;
  const uint64_t key = (static_cast<uint64_t>(Xf) << 40) ^ Change.Key();
  if (auto it = s.Derived.find(key); it != s.Derived.end()) return it->second;

  pugi::xml_node xf = s.Xfs.Node.append_copy(s.Xfs.Items[Xf]);
  switch (Change.Kind) {
  case TStyleChange::Borders: {
    const uint32_t borderId = xf.attribute("borderId").as_uint();
    pugi::xml_node border =
        s.Borders.Node.append_copy(s.Borders.Items[borderId < s.Borders.Items.size() ? borderId : 0]);
    const bool none = (Change.Param & 0x100) != 0;
    const char* sides[] = {"left", "right", "top", "bottom"};
    for (int bit = 0; bit < 4; ++bit) {
      if (!(Change.Param & (1 << bit))) continue;
      pugi::xml_node side = Child(border, sides[bit], BorderOrder);
      if (none) {
        side.remove_attribute("style");
        while (side.first_child()) side.remove_child(side.first_child());
      } else {
        SetAttr(side, "style", "thin");
        if (!side.child("color")) side.append_child("color").append_attribute("indexed").set_value(64);
      }
    }
    // Every border lists its sides in full, as spreadsheets write them.
    for (const char* name : {"left", "right", "top", "bottom", "diagonal"}) Child(border, name, BorderOrder);
    SetAttr(xf, "borderId", std::to_string(s.Borders.Share(border)).c_str());
    SetAttr(xf, "applyBorder", "1");
    break;
  }
  case TStyleChange::Bold: {
    const uint32_t fontId = xf.attribute("fontId").as_uint();
    pugi::xml_node font = s.Fonts.Node.append_copy(s.Fonts.Items[fontId < s.Fonts.Items.size() ? fontId : 0]);
    if (Change.Param)
      Child(font, "b", FontOrder).remove_attribute("val");
    else
      font.remove_child("b");
    SetAttr(xf, "fontId", std::to_string(s.Fonts.Share(font)).c_str());
    SetAttr(xf, "applyFont", "1");
    break;
  }
  case TStyleChange::Wrap:
  case TStyleChange::Shrink: {
    pugi::xml_node align = Alignment(xf);
    const char* name = Change.Kind == TStyleChange::Wrap ? "wrapText" : "shrinkToFit";
    if (Change.Param)
      SetAttr(align, name, "1");
    else
      align.remove_attribute(name);
    break;
  }
  case TStyleChange::HAlign: {
    pugi::xml_node align = Alignment(xf);
    const char* value = nullptr;
    switch (static_cast<THorizontalAlignment>(Change.Param)) {
    case THorizontalAlignment::Center:
      value = "center";
      break;
    case THorizontalAlignment::Left:
      value = "left";
      break;
    case THorizontalAlignment::Right:
      value = "right";
      break;
    case THorizontalAlignment::General:
      break;
    }
    if (value)
      SetAttr(align, "horizontal", value);
    else
      align.remove_attribute("horizontal");
    break;
  }
  case TStyleChange::NumFmt:
    SetAttr(xf, "numFmtId", std::to_string(Change.Param).c_str());
    SetAttr(xf, "applyNumberFormat", "1");
    break;
  }
  if (pugi::xml_node align = xf.child("alignment"); align && !align.first_attribute()) {
    xf.remove_child(align);
    xf.remove_attribute("applyAlignment");
  }
  const uint32_t result = s.Xfs.Share(xf);
  s.Derived.emplace(key, result);
  return result;
}

std::string TStyles::Serialize() const { return DocumentXml(FImpl->Doc); }
