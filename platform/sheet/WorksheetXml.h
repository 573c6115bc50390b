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
// A formula is kept as its text, so that row inserts can move its references; it is written without a
// cached value (the workbook asks the reader to recalculate), and a shared formula's cells each get
// their own formula.
struct TRawCell {
  std::string TypeAttr;  // the t attribute's value, empty when there was none (not written for a formula)
  std::string Inner;     // the element's content (<v>, <is>) of a cell without a formula
  std::string Cached;    // the text of <v>
  bool Formula = false;
  std::string FormulaAttrs;  // the <f> attributes as written, but ref (and a shared formula's t and si)
  std::string FormulaText;
  bool HasRef = false;  // an array formula's range
  TCellRect Ref;
};

struct TSheetRef {
  pugi::xml_attribute Attr;
  std::vector<TCellRect> Rects;
};

// The text of a space-separated list of rectangles ("A1:B2 D4"); false when a part does not parse.
bool ParseRectList(const char* Text, std::vector<TCellRect>& Rects);
std::string RectListText(const std::vector<TCellRect>& Rects);
// A row insert at Row moves every reference at or below it one down; a rectangle spanning it grows.
inline void ShiftRectForInsert(TCellRect& Rect, int32_t Row) {
  if (Rect.R1 >= Row && Rect.R1 < MaxSheetRow) ++Rect.R1;
  if (Rect.R2 >= Row && Rect.R2 < MaxSheetRow) ++Rect.R2;
}

struct TWorksheet::TXmlParts {
  pugi::xml_document Doc;
  pugi::xml_node SheetData;
  std::vector<TRawCell> RawCells;
  std::vector<std::string> RowAttrs{std::string()};  // index 0: no attributes
  std::unordered_map<std::string, uint32_t> RowAttrIndex{{std::string(), 0}};
  std::vector<TSheetRef> Refs;
  std::vector<pugi::xml_node> FormulaNodes;  // conditional formats' and validations' formulas
};
