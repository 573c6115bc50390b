#include "platform/sheet/Relationships.h"

#include "platform/sheet/XmlDocument.h"

#include <vector>

namespace {
const char* const RelationshipsNs = "http://schemas.openxmlformats.org/package/2006/relationships";
const char* const OfficeRelBase = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string LastWord(const std::string& Type) {
  const size_t slash = Type.rfind('/');
  return slash == std::string::npos ? Type : Type.substr(slash + 1);
}
}  // namespace

void TRelationships::Load(const std::string* Xml, const std::string& Source) {
  const size_t slash = Source.rfind('/');
  FFolder = slash == std::string::npos ? std::string() : Source.substr(0, slash + 1);
  FPartName = PartFor(Source);
  if (Xml) {
    ParseXml(FDoc, *Xml, FPartName.c_str());
  } else {
    FDoc.append_child(pugi::node_declaration).append_attribute("version").set_value("1.0");
    FDoc.append_child("Relationships").append_attribute("xmlns").set_value(RelationshipsNs);
  }
}

std::string TRelationships::Resolve(const std::string& Target) const {
  std::string path = !Target.empty() && Target[0] == '/' ? Target.substr(1) : FFolder + Target;
  // Fold "a/../b" and "./".
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t end = path.find('/', start);
    const std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  std::string out;
  for (const std::string& part : parts) out += (out.empty() ? "" : "/") + part;
  return out;
}

std::string TRelationships::TargetById(const std::string& Id) const {
  for (pugi::xml_node rel : FDoc.document_element().children("Relationship"))
    if (Id == rel.attribute("Id").value()) return Resolve(rel.attribute("Target").value());
  return {};
}

std::string TRelationships::TargetByType(const std::string& TypeWord) const {
  for (pugi::xml_node rel : FDoc.document_element().children("Relationship"))
    if (LastWord(rel.attribute("Type").value()) == TypeWord) return Resolve(rel.attribute("Target").value());
  return {};
}

void TRelationships::Add(const std::string& TypeWord, const std::string& Target) {
  pugi::xml_node root = FDoc.document_element();
  int next = 1;
  for (;; ++next) {
    const std::string id = "rId" + std::to_string(next);
    bool used = false;
    for (pugi::xml_node rel : root.children("Relationship")) used = used || id == rel.attribute("Id").value();
    if (!used) break;
  }
  pugi::xml_node rel = root.append_child("Relationship");
  rel.append_attribute("Id").set_value(("rId" + std::to_string(next)).c_str());
  rel.append_attribute("Type").set_value((OfficeRelBase + TypeWord).c_str());
  rel.append_attribute("Target").set_value(Target.c_str());
}

void TRelationships::RemoveByType(const std::string& TypeWord) {
  pugi::xml_node root = FDoc.document_element();
  for (pugi::xml_node rel = root.child("Relationship"); rel;) {
    const pugi::xml_node next = rel.next_sibling("Relationship");
    if (LastWord(rel.attribute("Type").value()) == TypeWord) root.remove_child(rel);
    rel = next;
  }
}

std::string TRelationships::PartFor(const std::string& Source) {
  const size_t slash = Source.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : Source.substr(0, slash + 1);
  const std::string file = slash == std::string::npos ? Source : Source.substr(slash + 1);
  return folder + "_rels/" + file + ".rels";
}

std::string TRelationships::Serialize() const { return DocumentXml(FDoc); }
