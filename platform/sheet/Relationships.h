#pragma once
// A relationships part (_rels/.rels, xl/_rels/workbook.xml.rels): which part each relationship names.
#include <pugixml.hpp>
#include <string>

class TRelationships {
public:
  // Reads the rels part of Source ("xl/workbook.xml" -> "xl/_rels/workbook.xml.rels"); none is no error.
  void Load(const std::string* Xml, const std::string& Source);
  // The part path a relationship names, by its id or by its type's last word ("styles",
  // "sharedStrings", "officeDocument"); empty when there is none.
  std::string TargetById(const std::string& Id) const;
  std::string TargetByType(const std::string& TypeWord) const;
  // Adds a relationship of the type's last word to Target (a path relative to the source's folder).
  void Add(const std::string& TypeWord, const std::string& Target);
  void RemoveByType(const std::string& TypeWord);
  // The rels part that belongs to Source.
  static std::string PartFor(const std::string& Source);
  const std::string& PartName() const { return FPartName; }
  std::string Serialize() const;

private:
  std::string Resolve(const std::string& Target) const;
  pugi::xml_document FDoc;
  std::string FFolder;    // the source part's folder, with its slash ("xl/")
  std::string FPartName;  // where this rels part lives
};
