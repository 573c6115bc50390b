#pragma once
// The workbook's styles part. Cell formats (cellXfs), fonts and borders are append-only: a change asked
// for a cell's format makes the derived format once and shares it with every cell that asks the same
// of the same format, and an identical format already in the part is reused, never one per cell.
#include "platform/sheet/SheetFormat.h"

#include <cstdint>
#include <memory>
#include <string>

// One change to a cell format.
struct TStyleChange {
  enum TKind : uint8_t { Borders, Wrap, Shrink, Bold, HAlign, NumFmt };
  TKind Kind;
  // Borders: bit 0 left, 1 right, 2 top, 3 bottom, bit 8 set for "none" instead of a thin line;
  // Wrap, Shrink, Bold: 0 or 1; HAlign: the THorizontalAlignment value; NumFmt: the number format id.
  int32_t Param;
  uint64_t Key() const { return (static_cast<uint64_t>(Kind) << 32) | static_cast<uint32_t>(Param); }
};

// What a cell format tells about laying its text out: wrapped or not, and the font's size and weight.
struct TTextLayout {
  bool Wrap = false;
  bool Bold = false;
  double FontSize = 11;  // points
};

class TStyles {
public:
  TStyles();
  ~TStyles();
  TStyles(const TStyles&) = delete;
  TStyles& operator=(const TStyles&) = delete;

  // Reads the part's XML (an empty text: the workbook had none; a minimal one is made).
  void Load(const std::string& Xml);
  // The cell format that is Xf with Change applied (Xf itself when nothing changes).
  uint32_t Derive(uint32_t Xf, TStyleChange Change);
  // True when the format shows numbers as dates or times.
  bool IsDate(uint32_t Xf) const;
  size_t XfCount() const;
  // How cell format Xf lays text out (format 0 for an index out of range); cached per format.
  TTextLayout TextLayout(uint32_t Xf) const;
  // The font size of the Normal style, the unit column widths are counted in.
  double NormalFontSize() const;
  std::string Serialize() const;

private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};
