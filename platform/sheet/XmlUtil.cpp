#include "platform/sheet/XmlUtil.h"

#include "platform/base/Exception.h"

#include <sstream>

namespace {
struct TStringWriter : pugi::xml_writer {
  std::string Out;
  void write(const void* data, size_t size) override { Out.append(static_cast<const char*>(data), size); }
};
}  // namespace

void ParseXml(pugi::xml_document& Doc, const std::string& Xml, const char* Part) {
  const pugi::xml_parse_result result =
      Doc.load_buffer(Xml.data(), Xml.size(),
                      pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single);
  if (!result || !Doc.document_element())
    throw Exception(Format(QStringLiteral("Часть книги %s повреждена: %s (позиция %s)."),
                           {QString::fromUtf8(Part), QString::fromUtf8(result.description()),
                            QString::number(result.offset)}));
}

std::string NodeXml(const pugi::xml_node& Node) {
  TStringWriter writer;
  Node.print(writer, "", pugi::format_raw);
  return writer.Out;
}

std::string DocumentXml(const pugi::xml_document& Doc) {
  TStringWriter writer;
  Doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
  return writer.Out;
}
