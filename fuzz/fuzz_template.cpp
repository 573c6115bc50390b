// The template loader and the whole report path on what it loaded: the fuzzer's bytes become a
// template file in the folder where the report looks for its template, which is opened, filled as the
// schedule fills it (year, body anchor, a subdivision header with its merge mark, instrument rows,
// inserted rows, borders, merges), saved as a new workbook and read back with our own loader.
//
// Input: bytes starting "PK" are the .xltx itself (the zip container is fuzzed). Anything else lists
// the parts, so that mutations reach the XML instead of breaking the zip's checksums:
//   @@ [Content_Types].xml\n<Types ...>...\n@@ xl/workbook.xml\n<workbook ...>...
// each part starting at a line "@@ NAME" and running to the next such line; the target packs them.
#include "fuzz/FuzzInput.h"
#include "platform/base/Exception.h"
#include "report/ExcelCore.h"

#include <unistd.h>
#include <zip.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>
#include <string_view>

namespace {

// The executable's folder, where OpenTemplate looks; the name is this process's own.
QString TemplateName() { return QStringLiteral("ppr-fuzz-") + QString::number(getpid()) + QStringLiteral(".xltx"); }

QString TemplatePath() {
  return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2) + u'/' + TemplateName();
}

void RemoveTemplate() { QFile::remove(TemplatePath()); }

QTemporaryDir& OutputDir() {
  static QTemporaryDir* dir = new QTemporaryDir;
  return *dir;
}

// The parts listed in the input, packed into a zip (stored, so that packing stays cheap).
QByteArray Pack(std::string_view Text) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_t* archive = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &error) : nullptr;
  if (!archive) std::abort();
  zip_source_keep(buffer);
  std::vector<std::string> names;
  std::vector<std::string> bodies;
  for (std::size_t at = Text.rfind("@@ ", 0) == 0 ? 0 : Text.find("\n@@ "); at != std::string_view::npos;) {
    const std::size_t nameStart = at + (Text[at] == '\n' ? 4 : 3);
    const std::size_t nameEnd = std::min(Text.find('\n', nameStart), Text.size());
    const std::size_t next = nameEnd < Text.size() ? Text.find("\n@@ ", nameEnd) : std::string_view::npos;
    const std::size_t bodyStart = std::min(nameEnd + 1, Text.size());
    names.emplace_back(Text.substr(nameStart, nameEnd - nameStart));
    bodies.emplace_back(Text.substr(bodyStart, (next == std::string_view::npos ? Text.size() : next) - bodyStart));
    at = next;
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    zip_source_t* part = zip_source_buffer(archive, bodies[i].data(), bodies[i].size(), 0);
    const zip_int64_t index = part ? zip_file_add(archive, names[i].c_str(), part, ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0) {
      if (part) zip_source_free(part);
      continue;  // an empty or repeated name: the part is left out, as a zip tool would refuse it
    }
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
  }
  if (zip_close(archive) != 0) std::abort();
  QByteArray bytes;
  if (zip_source_open(buffer) == 0) {
    zip_source_seek(buffer, 0, SEEK_END);
    bytes.resize(static_cast<qsizetype>(zip_source_tell(buffer)));
    zip_source_seek(buffer, 0, SEEK_SET);
    if (zip_source_read(buffer, bytes.data(), static_cast<zip_uint64_t>(bytes.size())) != bytes.size()) std::abort();
    zip_source_close(buffer);
  }
  zip_source_free(buffer);
  return bytes;
}

void RunReport() {
  using namespace ExcelCore;
  OpenExcel(TemplateName());
  ReplaceText(QStringLiteral("#year#"), QStringLiteral("2024"));
  StartBody(QStringLiteral("#body#"));
  CreateRowBuffer(20);
  SetBufferCell(0, QString());
  SetBufferCell(1, QStringLiteral("Цех № 1 <&> \"\""));
  SetBufferCell(2, QStringLiteral("#merge#"));
  WriteRowBuffer();
  NextRow();
  for (int row = 1; row <= 3; ++row) {
    SetBufferCell(0, row);
    SetBufferCell(1, QStringLiteral("Манометр показывающий с длинным названием, которое переносится"));
    SetBufferCell(6, 3.5);
    SetBufferCell(6 + row, QStringLiteral("П"));
    WriteRowBuffer();
    InsertRowBelow();
    NextRow();
  }
  DrawBodyBorders();
  MergeMarkedRows(2, 18);
  const QString saved = OutputDir().filePath(QStringLiteral("out.xlsx"));
  QFile::remove(saved);
  ExcelBook->SaveAs(saved);
  ReleaseExcel();
  const std::shared_ptr<TWorkbook> reloaded = TWorkbook::Load(saved);
  // What we saved from a template we could read must read back.
  if (!reloaded || reloaded->SheetCount() < 1) std::abort();
  (void)reloaded->ActiveSheet();
  QFile::remove(saved);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::atexit(RemoveTemplate);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string_view input(reinterpret_cast<const char*>(Data), Size);
  const QByteArray bytes =
      input.rfind("PK", 0) == 0 ? QByteArray(input.data(), static_cast<qsizetype>(Size)) : Pack(input);
  {
    QFile file(TemplatePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) std::abort();
  }
  bool ownFileRefused = false;
  try {
    RunReport();
  } catch (const Exception& e) {
    // A template the loader refuses is an answer, not a fault; but a workbook we saved ourselves
    // must load again: the reload is past the point where the template was accepted.
    ownFileRefused = e.Message().contains(QStringLiteral("out.xlsx"));
    ExcelCore::ReleaseExcel();
  }
  if (ownFileRefused) std::abort();
  return 0;
}
