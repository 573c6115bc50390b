#pragma once
// The package's [Content_Types].xml: which content type each part has.
#include <QString>
#include <pugixml.hpp>
#include <string>

class TContentTypes {
public:
  // Reads the part; fails when the package has none (it is then no OOXML package).
  void Load(const std::string* Xml, const QString& Path);
  // The content type of Part ("xl/workbook.xml"), by its override or its extension's default.
  std::string TypeOf(const std::string& Part) const;
  // Gives Part its own content type.
  void SetOverride(const std::string& Part, const std::string& Type);
  void RemoveOverride(const std::string& Part);
  // A template's (or a macro template's) main part becomes a workbook's; true when it was a template.
  bool MakeWorkbook(const std::string& WorkbookPart);
  // The other way: a workbook's main part becomes a template's; true when it was a workbook.
  bool MakeTemplate(const std::string& WorkbookPart);
  std::string Serialize() const;

private:
  // The main part's type From[i] becomes To[i] (i: plain, macro-enabled); true when it was one of From.
  bool Retype(const std::string& WorkbookPart, const char* const (&From)[2], const char* const (&To)[2]);
  pugi::xml_document FDoc;
};
