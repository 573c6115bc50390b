#include "platform/sheet/XmlDocument.h"

#include "platform/base/Exception.h"

#include <QStringDecoder>
#include <cctype>
#include <cstring>
#include <optional>
#include <string_view>

namespace {
// pugixml writes a carriage return in text as it is, and a reader then takes it for a line feed: only a
// reference keeps it. Attribute values come here with theirs escaped already, so a raw one is text.
struct TStringWriter : pugi::xml_writer {
  std::string Out;
  void write(const void* data, size_t size) override {
    std::string_view chunk(static_cast<const char*>(data), size);
    for (size_t cr = chunk.find('\r'); cr != std::string_view::npos; cr = chunk.find('\r')) {
      Out.append(chunk.substr(0, cr));
      Out.append("&#13;");
      chunk.remove_prefix(cr + 1);
    }
    Out.append(chunk);
  }
};

// The encoding the XML declaration names, empty when it names none.
std::string DeclaredEncoding(const std::string& Xml, size_t From) {
  if (Xml.compare(From, 5, "<?xml") != 0) return {};
  const size_t end = Xml.find("?>", From);
  const size_t at = Xml.find("encoding", From);
  if (end == std::string::npos || at == std::string::npos || at > end) return {};
  const size_t quote = Xml.find_first_of("\"'", at);
  if (quote == std::string::npos || quote > end) return {};
  const size_t close = Xml.find(Xml[quote], quote + 1);
  if (close == std::string::npos || close > end) return {};
  return Xml.substr(quote + 1, close - quote - 1);
}

bool IsUtf8Name(std::string Name) {
  for (char& ch : Name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return Name.empty() || Name == "utf-8" || Name == "utf8";
}

[[noreturn]] void Refuse(const char* Part, const QString& What) {
  throw Exception(Format(QStringLiteral("Часть книги %s повреждена: %s."), {QString::fromUtf8(Part), What}));
}

// The part as UTF-8. A part in another encoding (a byte-order mark or the declaration says which) is
// transcoded, so that what we write back is what the declaration then says: UTF-8.
std::string AsUtf8(const std::string& Xml, const char* Part, bool& Transcoded) {
  Transcoded = false;
  if (Xml.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    const std::string declared = DeclaredEncoding(Xml, 3);
    if (!IsUtf8Name(declared))
      Refuse(Part, Format(QStringLiteral("метка порядка байтов UTF-8, а объявлена кодировка %s"),
                          {QString::fromStdString(declared)}));
    return Xml;
  }
  const QByteArrayView bytes(Xml.data(), static_cast<qsizetype>(Xml.size()));
  std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForData(bytes);
  if (!encoding || *encoding == QStringConverter::Utf8) {
    const std::string declared = DeclaredEncoding(Xml, 0);
    if (IsUtf8Name(declared)) return Xml;
    encoding = QStringConverter::encodingForName(declared.c_str());
    if (!encoding)
      Refuse(Part, Format(QStringLiteral("кодировка %s не поддерживается (нужна UTF-8)"),
                          {QString::fromStdString(declared)}));
  }
  QStringDecoder decoder(*encoding, QStringDecoder::Flag::Stateless);
  const QString text = decoder.decode(bytes);
  if (decoder.hasError()) Refuse(Part, QStringLiteral("текст не соответствует объявленной кодировке"));
  Transcoded = true;
  const QByteArray utf8 = text.toUtf8();
  return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

}  // namespace

void ParseXml(pugi::xml_document& Doc, const std::string& Xml, const char* Part) {
  bool transcoded = false;
  const std::string utf8 = AsUtf8(Xml, Part, transcoded);
  const pugi::xml_parse_result result = Doc.load_buffer(
      utf8.data(), utf8.size(), pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single,
      pugi::encoding_utf8);
  if (!result || !Doc.document_element())
    throw Exception(
        Format(QStringLiteral("Часть книги %s повреждена: %s (позиция %s)."),
               {QString::fromUtf8(Part), QString::fromUtf8(result.description()), QString::number(result.offset)}));
  if (transcoded)
    if (pugi::xml_node declaration = Doc.first_child(); declaration.type() == pugi::node_declaration)
      if (pugi::xml_attribute encoding = declaration.attribute("encoding")) encoding.set_value("UTF-8");
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
