#pragma once
// The workbook's shared strings part: the template's entries keep their indexes and their XML (rich
// text runs included), new texts are appended once each, so every sheet's string indexes stay valid.
#include <QString>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TSharedStrings {
public:
  // Reads the part's XML (an empty text: the workbook had none).
  void Load(const std::string& Xml);
  // The index of Text (UTF-8), added when new.
  uint32_t Add(std::string_view Text);
  // The plain text of an entry (the runs of a rich entry joined).
  const std::string& Text(uint32_t Index) const { return FTexts[Index]; }
  size_t Count() const { return FTexts.size(); }
  // The part's XML (without the optional count of references, which only the sheets could tell).
  std::string Serialize() const;

private:
  std::deque<std::string> FTexts;  // stable addresses: FIndex's keys view them
  std::vector<std::string> FRaw;   // the template's <si> XML, empty for entries we added
  std::unordered_map<std::string_view, uint32_t> FIndex;
};
