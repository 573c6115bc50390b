#include "platform/sheet/SharedStrings.h"

#include "platform/base/Exception.h"
#include "platform/sheet/CellText.h"
#include "platform/sheet/XmlAppend.h"
#include "platform/sheet/XmlDocument.h"

#include <pugixml.hpp>

void TSharedStrings::Load(const std::string& Xml) {
  if (Xml.empty()) return;
  pugi::xml_document doc;
  ParseXml(doc, Xml, "xl/sharedStrings.xml");
  for (pugi::xml_node si : doc.document_element().children("si")) {
    std::string text;
    const pugi::xml_node plain = si.child("t");
    if (plain) {
      text = DecodeCellText(plain.text().get());
    } else {
      for (pugi::xml_node r : si.children("r")) text += DecodeCellText(r.child("t").text().get());
    }
    FTexts.push_back(std::move(text));
    FRaw.push_back(NodeXml(si));
    // A plain text written later must not share a rich entry: it would take on the entry's fonts.
    if (plain) FIndex.emplace(FTexts.back(), static_cast<uint32_t>(FTexts.size() - 1));
  }
}

uint32_t TSharedStrings::Add(std::string_view Text) {
  if (auto it = FIndex.find(Text); it != FIndex.end()) return it->second;
  FTexts.emplace_back(Text);
  FRaw.emplace_back();
  const auto index = static_cast<uint32_t>(FTexts.size() - 1);
  FIndex.emplace(FTexts.back(), index);
  return index;
}

std::string TSharedStrings::Serialize() const {
  std::string out;
  out.reserve(64 + FTexts.size() * 24);
  out +=
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" uniqueCount=\"";
  AppendInt(out, static_cast<int64_t>(FTexts.size()));
  out += "\">";
  for (size_t i = 0; i < FTexts.size(); ++i) {
    if (!FRaw[i].empty()) {
      out += FRaw[i];
      continue;
    }
    const std::string& text = FTexts[i];
    out += NeedsSpacePreserve(text) ? "<si><t xml:space=\"preserve\">" : "<si><t>";
    AppendCellText(out, text);
    out += "</t></si>";
  }
  out += "</sst>";
  return out;
}
