#include "platform/sheet/ZipPackage.h"

#include "platform/base/Exception.h"
#include "platform/base/TerminationDeferral.h"
#include "platform/sheet/LegacyTemplate.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <zip.h>

namespace {

QString ZipError(int Code) {
  zip_error_t error;
  zip_error_init_with_code(&error, Code);
  const QString text = QString::fromUtf8(zip_error_strerror(&error));
  zip_error_fini(&error);
  return text;
}

QString ArchiveError(zip_t* Archive) { return QString::fromUtf8(zip_error_strerror(zip_get_error(Archive))); }

struct TZipCloser {
  void operator()(zip_t* Archive) const { zip_discard(Archive); }
};
struct TEntryCloser {
  void operator()(zip_file_t* File) const { zip_fclose(File); }
};


// Large parts (the sheet data) take the fastest deflate level: they are regular XML that it still
// shrinks about tenfold, and writing them dominates a big report's time.
constexpr size_t LargePart = 4u << 20;

}  // namespace

TZipPackage TZipPackage::Read(const QString& Path) {
  const QFileInfo info(Path);
  if (!info.exists())
    throw Exception(Format(QStringLiteral("Файл «%s» не найден."), {Path}));
  if (IsBinaryWorkbookFile(Path))
    throw Exception(Format(QStringLiteral("Файл «%s» — книга Excel 97-2003 в двоичном формате (.xls, .xlt); "
                                          "нужен файл Office Open XML (.xlsx, .xltx)."),
                           {Path}));
  int code = 0;
  const QByteArray path = QFile::encodeName(Path);
  std::unique_ptr<zip_t, TZipCloser> archive(zip_open(path.constData(), ZIP_RDONLY, &code));
  if (!archive)
    throw Exception(Format(QStringLiteral("Не удалось открыть книгу «%s»: %s."), {Path, ZipError(code)}));
  TZipPackage package;
  const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t stat;
    if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(i), 0, &stat) != 0 ||
        !(stat.valid & ZIP_STAT_SIZE) || !(stat.valid & ZIP_STAT_NAME))
      throw Exception(Format(QStringLiteral("Книга «%s» повреждена: %s."), {Path, ArchiveError(archive.get())}));
    std::string name = stat.name;
    if (!name.empty() && name.back() == '/') continue;  // a folder entry
    std::string bytes(static_cast<size_t>(stat.size), '\0');
    std::unique_ptr<zip_file_t, TEntryCloser> entry(zip_fopen_index(archive.get(), static_cast<zip_uint64_t>(i), 0));
    if (!entry || zip_fread(entry.get(), bytes.data(), stat.size) != static_cast<zip_int64_t>(stat.size))
      throw Exception(Format(QStringLiteral("Книга «%s» повреждена: часть %s не читается (%s)."),
                             {Path, QString::fromStdString(name), ArchiveError(archive.get())}));
    package.FNames.push_back(std::move(name));
    package.FBytes.push_back(std::move(bytes));
  }
  return package;
}

const std::string* TZipPackage::Part(const std::string& Name) const {
  for (size_t i = 0; i < FNames.size(); ++i)
    if (FNames[i] == Name) return &FBytes[i];
  return nullptr;
}

void TZipPackage::SetPart(const std::string& Name, std::string Bytes) {
  for (size_t i = 0; i < FNames.size(); ++i)
    if (FNames[i] == Name) {
      FBytes[i] = std::move(Bytes);
      return;
    }
  FNames.push_back(Name);
  FBytes.push_back(std::move(Bytes));
}

void TZipPackage::RemovePart(const std::string& Name) {
  for (size_t i = 0; i < FNames.size(); ++i)
    if (FNames[i] == Name) {
      FNames.erase(FNames.begin() + static_cast<ptrdiff_t>(i));
      FBytes.erase(FBytes.begin() + static_cast<ptrdiff_t>(i));
      return;
    }
}

void TZipPackage::WriteNew(const QString& Path) const {
  const TTerminationDeferral deferral;  // a Ctrl+C or kill waits until the temporary file is gone
  if (QFileInfo::exists(Path))
    throw Exception(Format(QStringLiteral("Файл «%s» уже существует; он не будет перезаписан."), {Path}));
  const QString temp = Path + QStringLiteral(".part-") +
                       QString::number(QRandomGenerator::global()->generate64(), 36);
  const QByteArray tempName = QFile::encodeName(temp);
  const QByteArray finalName = QFile::encodeName(Path);
  auto fail = [&](const QString& Reason) {
    std::remove(tempName.constData());
    return Exception(Format(QStringLiteral("Не удалось записать книгу «%s»: %s."), {Path, Reason}));
  };

  int code = 0;
  zip_t* archive = zip_open(tempName.constData(), ZIP_CREATE | ZIP_EXCL, &code);
  if (!archive) throw fail(ZipError(code));
  for (size_t i = 0; i < FNames.size(); ++i) {
    zip_source_t* source = zip_source_buffer(archive, FBytes[i].data(), FBytes[i].size(), 0);
    const zip_int64_t index =
        source ? zip_file_add(archive, FNames[i].c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) : -1;
    if (index < 0) {
      if (source) zip_source_free(source);
      const QString reason = ArchiveError(archive);
      zip_discard(archive);
      throw fail(reason);
    }
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                             FBytes[i].size() >= LargePart ? 1 : 6);
  }
  if (zip_close(archive) != 0) {
    const QString reason = ArchiveError(archive);
    zip_discard(archive);
    throw fail(reason);
  }
  // Into place only if the name is still free: a file someone made meanwhile is never replaced.
  if (renameat2(AT_FDCWD, tempName.constData(), AT_FDCWD, finalName.constData(), RENAME_NOREPLACE) != 0) {
    const int error = errno;
    if (error == EEXIST) {
      std::remove(tempName.constData());
      throw Exception(Format(QStringLiteral("Файл «%s» уже существует; он не будет перезаписан."), {Path}));
    }
    if (error != EINVAL && error != ENOSYS) throw fail(QString::fromLocal8Bit(std::strerror(error)));
    // A file system without the no-replace rename: a hard link fails the same way on an existing name.
    if (link(tempName.constData(), finalName.constData()) != 0) {
      const int linkError = errno;
      throw fail(linkError == EEXIST ? QStringLiteral("файл уже существует")
                                     : QString::fromLocal8Bit(std::strerror(linkError)));
    }
    std::remove(tempName.constData());
  }
}
