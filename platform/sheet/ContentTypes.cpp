#include "platform/sheet/ContentTypes.h"

#include "platform/base/Exception.h"
#include "platform/sheet/XmlDocument.h"

namespace {
const char* const TemplateMain = "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml";
const char* const MacroTemplateMain = "application/vnd.ms-excel.template.macroEnabled.main+xml";
const char* const WorkbookMain = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
const char* const MacroWorkbookMain = "application/vnd.ms-excel.sheet.macroEnabled.main+xml";
}  // namespace

void TContentTypes::Load(const std::string* Xml, const QString& Path) {
  if (!Xml)
    throw Exception(
        Format(QStringLiteral("Файл «%s» не является книгой Office Open XML: нет [Content_Types].xml."), {Path}));
  ParseXml(FDoc, *Xml, "[Content_Types].xml");
}

std::string TContentTypes::TypeOf(const std::string& Part) const {
  const std::string name = "/" + Part;
  for (pugi::xml_node node : FDoc.document_element().children("Override"))
    if (name == node.attribute("PartName").value()) return node.attribute("ContentType").value();
  const size_t dot = Part.rfind('.');
  const std::string extension = dot == std::string::npos ? std::string() : Part.substr(dot + 1);
  for (pugi::xml_node node : FDoc.document_element().children("Default"))
    if (extension == node.attribute("Extension").value()) return node.attribute("ContentType").value();
  return {};
}

void TContentTypes::SetOverride(const std::string& Part, const std::string& Type) {
  const std::string name = "/" + Part;
  pugi::xml_node root = FDoc.document_element();
  for (pugi::xml_node node : root.children("Override"))
    if (name == node.attribute("PartName").value()) {
      node.attribute("ContentType").set_value(Type.c_str());
      return;
    }
  pugi::xml_node node = root.append_child("Override");
  node.append_attribute("PartName").set_value(name.c_str());
  node.append_attribute("ContentType").set_value(Type.c_str());
}

void TContentTypes::RemoveOverride(const std::string& Part) {
  const std::string name = "/" + Part;
  pugi::xml_node root = FDoc.document_element();
  for (pugi::xml_node node : root.children("Override"))
    if (name == node.attribute("PartName").value()) {
      root.remove_child(node);
      return;
    }
}

bool TContentTypes::Retype(const std::string& WorkbookPart, const char* const (&From)[2], const char* const (&To)[2]) {
  const std::string type = TypeOf(WorkbookPart);
  for (int i = 0; i < 2; ++i)
    if (type == From[i]) {
      SetOverride(WorkbookPart, To[i]);
      return true;
    }
  return false;
}

bool TContentTypes::MakeWorkbook(const std::string& WorkbookPart) {
  return Retype(WorkbookPart, {TemplateMain, MacroTemplateMain}, {WorkbookMain, MacroWorkbookMain});
}

bool TContentTypes::MakeTemplate(const std::string& WorkbookPart) {
  return Retype(WorkbookPart, {WorkbookMain, MacroWorkbookMain}, {TemplateMain, MacroTemplateMain});
}

std::string TContentTypes::Serialize() const { return DocumentXml(FDoc); }
