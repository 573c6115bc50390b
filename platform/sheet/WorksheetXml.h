#pragma once
// What a worksheet keeps of its part besides the cells: the XML document with the sheet data taken out,
// and the sheet-level references (conditional formats, validations, hyperlinks) that follow row inserts.
#include "platform/sheet/CellRef.h"
#include "platform/sheet/Worksheet.h"

#include <pugixml.hpp>
#include <string>
#include <unordered_map>
#include <vector>

// A cell kept as the part wrote it: a formula, an error, an ISO date; its cached value for reading.
struct TRawCell {
  std::string TypeAttr;  // the t attribute's value, empty when there was none
  std::string Inner;     // the element's content (<f>, <v>, <is>)
  std::string Cached;    // the text of <v>
};

struct TSheetRef {
  pugi::xml_attribute Attr;
  std::vector<TCellRect> Rects;
};

// The text of a space-separated list of rectangles ("A1:B2 D4"); false when a part does not parse.
bool ParseRectList(const char* Text, std::vector<TCellRect>& Rects);
std::string RectListText(const std::vector<TCellRect>& Rects);

struct TWorksheet::TXmlParts {
  pugi::xml_document Doc;
  pugi::xml_node SheetData;
  std::vector<TRawCell> RawCells;
  std::vector<std::string> RowAttrs{std::string()};  // index 0: no attributes
  std::unordered_map<std::string, uint32_t> RowAttrIndex{{std::string(), 0}};
  std::vector<TSheetRef> Refs;
};

