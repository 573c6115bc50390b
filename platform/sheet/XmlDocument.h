#pragma once
// Parts as pugixml documents, shared by the part readers: parsing with a message that names the part,
// and writing a node or a document back without reformatting. Text written by hand is XmlAppend.h.
#include <pugixml.hpp>
#include <string>

// Parses Xml into Doc; fails with a message naming Part when it is not well-formed.
void ParseXml(pugi::xml_document& Doc, const std::string& Xml, const char* Part);
// The node's XML as pugixml writes it raw (no indentation added), a carriage return in text as "&#13;".
std::string NodeXml(const pugi::xml_node& Node);
// The whole document, declaration included when it had one.
std::string DocumentXml(const pugi::xml_document& Doc);
