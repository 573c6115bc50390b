#include "platform/sheet/ZipPackage.h"

#include "platform/base/Exception.h"
#include "platform/base/TerminationDeferral.h"
#include "platform/sheet/FileOperations.h"
#include "platform/sheet/FileSignature.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <zip.h>

namespace {

QString ArchiveError(zip_t* Archive) { return QString::fromUtf8(zip_error_strerror(zip_get_error(Archive))); }

struct TZipCloser {
  void operator()(zip_t* Archive) const { zip_discard(Archive); }
};
struct TEntryCloser {
  void operator()(zip_file_t* File) const { zip_fclose(File); }
};
struct TSourceFreer {
  void operator()(zip_source_t* Source) const { zip_source_free(Source); }
};


// Large parts (the sheet data) take the fastest deflate level: they are regular XML that it still
// shrinks about tenfold, and writing them dominates a big report's time.
constexpr size_t LargePart = 4u << 20;

QString SystemError(int Error) { return QString::fromLocal8Bit(std::strerror(Error)); }

// The whole file at Path read through the file operations and opened as an archive in memory, so that a
// failing read shows as the device's error; nullptr with Reason set when it cannot be (and ZipCode, when it
// is libzip that refuses the bytes).
zip_t* OpenArchive(const QByteArray& Path, QString& Reason, int& ZipCode) {
  TFileOperations& files = FileOperations();
  const int fd = files.OpenForReading(Path.constData());
  if (fd < 0) {
    Reason = SystemError(errno);
    return nullptr;
  }
  std::string bytes;
  char chunk[1 << 16];
  for (;;) {
    const ssize_t got = files.Read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      Reason = SystemError(errno);
      files.Close(fd);
      return nullptr;
    }
    if (got == 0) break;
    bytes.append(chunk, static_cast<size_t>(got));
  }
  files.Close(fd);
  // libzip takes the copy and frees it with the archive (an empty file has none to free).
  void* data = nullptr;
  if (!bytes.empty()) {
    data = std::malloc(bytes.size());
    if (!data) {
      Reason = SystemError(ENOMEM);
      return nullptr;
    }
    std::memcpy(data, bytes.data(), bytes.size());
  }
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(data, bytes.size(), data ? 1 : 0, &error);
  if (!source) std::free(data);
  zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
  if (!archive) {
    Reason = QString::fromUtf8(zip_error_strerror(&error));
    ZipCode = zip_error_code_zip(&error);
    if (source) zip_source_free(source);
  }
  zip_error_fini(&error);
  return archive;
}

// The package's entries as the bytes of a zip archive; empty with Reason set when libzip fails.
std::optional<std::string> PackArchive(const std::vector<std::string>& Names, const std::vector<std::string>& Bytes,
                                       QString& Reason) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_t* archive = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &error) : nullptr;
  if (!archive) {
    Reason = QString::fromUtf8(zip_error_strerror(&error));
    if (buffer) zip_source_free(buffer);
    zip_error_fini(&error);
    return std::nullopt;
  }
  zip_error_fini(&error);
  // Kept past zip_close, which would otherwise free it with the archive.
  zip_source_keep(buffer);
  std::unique_ptr<zip_source_t, TSourceFreer> owner(buffer);
  for (size_t i = 0; i < Names.size(); ++i) {
    zip_source_t* source = zip_source_buffer(archive, Bytes[i].data(), Bytes[i].size(), 0);
    const zip_int64_t index =
        source ? zip_file_add(archive, Names[i].c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) : -1;
    if (index < 0) {
      if (source) zip_source_free(source);
      Reason = ArchiveError(archive);
      zip_discard(archive);
      return std::nullopt;
    }
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                             Bytes[i].size() >= LargePart ? 1 : 6);
  }
  if (zip_close(archive) != 0) {
    Reason = ArchiveError(archive);
    zip_discard(archive);
    return std::nullopt;
  }
  zip_stat_t stat;
  std::string bytes;
  if (zip_source_stat(buffer, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) && zip_source_open(buffer) == 0) {
    bytes.resize(static_cast<size_t>(stat.size));
    const zip_int64_t got = zip_source_read(buffer, bytes.data(), stat.size);
    zip_source_close(buffer);
    if (got == static_cast<zip_int64_t>(stat.size)) return bytes;
  }
  Reason = QString::fromUtf8(zip_error_strerror(zip_source_error(buffer)));
  return std::nullopt;
}

// Bytes to Fd, a short write continued; false with errno set when the device refuses.
bool WriteAll(TFileOperations& Files, int Fd, const std::string& Bytes) {
  size_t done = 0;
  while (done < Bytes.size()) {
    const ssize_t put = Files.Write(Fd, Bytes.data() + done, Bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return false;
    if (put == 0) {
      errno = ENOSPC;  // a device that takes nothing and reports no error is full
      return false;
    }
    done += static_cast<size_t>(put);
  }
  return true;
}

}  // namespace

namespace {

// Limits on what a template may unpack to: far above any real workbook template, far below what a crafted
// archive could make us allocate.
constexpr zip_uint64_t MaxUnpacked = 256u << 20;
constexpr zip_uint64_t MaxEntries = 10000;
// Deflate shrinks XML some tens of times; beyond this ratio (for entries of some size) an archive is a bomb.
constexpr zip_uint64_t MaxRatio = 200;
constexpr zip_uint64_t RatioFloor = 1u << 20;

// libzip's reasons in the user's language, the library's own text after them.
QString ReadReason(int Code, const QString& LibraryText) {
  QString reason;
  switch (Code) {
    case ZIP_ER_NOZIP: reason = QStringLiteral("это не zip-архив"); break;
    case ZIP_ER_INCONS: reason = QStringLiteral("архив противоречив или повреждён"); break;
    case ZIP_ER_CRC: reason = QStringLiteral("контрольная сумма не сходится"); break;
    case ZIP_ER_COMPNOTSUPP: reason = QStringLiteral("метод сжатия не поддерживается"); break;
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD: reason = QStringLiteral("архив зашифрован"); break;
    case ZIP_ER_MEMORY: reason = QStringLiteral("недостаточно памяти"); break;
    case ZIP_ER_OPEN:
    case ZIP_ER_NOENT: reason = QStringLiteral("файл не открывается"); break;
    case ZIP_ER_READ:
    case ZIP_ER_SEEK: reason = QStringLiteral("ошибка чтения"); break;
    case ZIP_ER_EOF: reason = QStringLiteral("файл обрывается"); break;
    default: reason = QStringLiteral("ошибка архива"); break;
  }
  return reason + QStringLiteral(" (") + LibraryText + u')';
}

// A name that would leave the package's folder when unpacked: absolute, with a drive, or with "..".
bool UnsafeEntryName(const std::string& Name) {
  if (Name.empty() || Name[0] == '/' || Name[0] == '\\' || (Name.size() > 1 && Name[1] == ':')) return true;
  size_t start = 0;
  while (start <= Name.size()) {
    size_t end = Name.find_first_of("/\\", start);
    if (end == std::string::npos) end = Name.size();
    if (Name.compare(start, end - start, "..") == 0 && end - start == 2) return true;
    start = end + 1;
  }
  return Name.find('\0') != std::string::npos;
}

}  // namespace

TZipPackage TZipPackage::Read(const QString& Path) {
  const QFileInfo info(Path);
  if (!info.exists())
    throw Exception(Format(QStringLiteral("Файл «%s» не найден."), {Path}));
  if (IsBinaryWorkbookFile(Path))
    throw Exception(Format(QStringLiteral("Файл «%s» — книга Excel 97-2003 в двоичном формате (.xls, .xlt); "
                                          "нужен файл Office Open XML (.xlsx, .xltx)."),
                           {Path}));
  QString reason;
  int zipCode = 0;
  std::unique_ptr<zip_t, TZipCloser> archive(OpenArchive(QFile::encodeName(Path), reason, zipCode));
  if (!archive)
    throw Exception(Format(QStringLiteral("Не удалось открыть книгу «%s»: %s."),
                           {Path, zipCode ? ReadReason(zipCode, reason) : reason}));
  auto damaged = [&](const QString& What) {
    return Exception(Format(QStringLiteral("Книга «%s» повреждена: %s."), {Path, What}));
  };
  auto archiveReason = [&] {
    return ReadReason(zip_error_code_zip(zip_get_error(archive.get())), ArchiveError(archive.get()));
  };
  const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
  if (count < 0 || static_cast<zip_uint64_t>(count) > MaxEntries)
    throw damaged(Format(QStringLiteral("в архиве %s частей, больше разумного (%s)"),
                         {QString::number(count), QString::number(MaxEntries)}));
  // Every entry's name and declared size are checked before anything is unpacked.
  std::vector<zip_stat_t> stats(static_cast<size_t>(count));
  zip_uint64_t total = 0;
  std::set<std::string> seen;
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t& stat = stats[static_cast<size_t>(i)];
    if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(i), 0, &stat) != 0 ||
        !(stat.valid & ZIP_STAT_SIZE) || !(stat.valid & ZIP_STAT_NAME) || !(stat.valid & ZIP_STAT_COMP_SIZE))
      throw damaged(archiveReason());
    const std::string name = stat.name;
    const QString shown = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    if (UnsafeEntryName(name))
      throw damaged(Format(QStringLiteral("имя части «%s» ведёт за пределы пакета"), {shown}));
    if (!seen.insert(name).second) throw damaged(Format(QStringLiteral("часть «%s» записана дважды"), {shown}));
    if (stat.size > MaxUnpacked - total)
      throw damaged(Format(QStringLiteral("распакованные части заняли бы больше %s МиБ"),
                           {QString::number(MaxUnpacked >> 20)}));
    total += stat.size;
    if (stat.size > RatioFloor && stat.size / std::max<zip_uint64_t>(stat.comp_size, 1) > MaxRatio)
      throw damaged(Format(QStringLiteral("часть «%s» сжата в %s раз, больше разумного"),
                           {shown, QString::number(stat.size / std::max<zip_uint64_t>(stat.comp_size, 1))}));
  }
  TZipPackage package;
  for (zip_int64_t i = 0; i < count; ++i) {
    const zip_stat_t& stat = stats[static_cast<size_t>(i)];
    std::string name = stat.name;
    if (!name.empty() && name.back() == '/') continue;  // a folder entry
    const QString shown = QString::fromStdString(name);
    // The declared size is all we read: an entry that unpacks to more is refused, not followed.
    std::string bytes(static_cast<size_t>(stat.size), '\0');
    std::unique_ptr<zip_file_t, TEntryCloser> entry(zip_fopen_index(archive.get(), static_cast<zip_uint64_t>(i), 0));
    if (!entry || zip_fread(entry.get(), bytes.data(), stat.size) != static_cast<zip_int64_t>(stat.size))
      throw damaged(Format(QStringLiteral("часть %s не читается: %s"), {shown, archiveReason()}));
    char extra = 0;
    const zip_int64_t more = zip_fread(entry.get(), &extra, 1);
    if (more != 0)
      throw damaged(more > 0 ? Format(QStringLiteral("часть %s длиннее, чем заявлено в архиве"), {shown})
                             : Format(QStringLiteral("часть %s не читается: %s"), {shown, archiveReason()}));
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
  auto failed = [&](const QString& Reason) {
    return Exception(Format(QStringLiteral("Не удалось записать книгу «%s»: %s."), {Path, Reason}));
  };
  QString reason;
  const std::optional<std::string> archive = PackArchive(FNames, FBytes, reason);
  if (!archive) throw failed(reason);

  TFileOperations& files = FileOperations();
  const QString temp = Path + QStringLiteral(".part-") +
                       QString::number(QRandomGenerator::global()->generate64(), 36);
  const QByteArray tempName = QFile::encodeName(temp);
  const QByteArray finalName = QFile::encodeName(Path);
  const int fd = files.CreateNew(tempName.constData());
  if (fd < 0) throw failed(SystemError(errno));
  auto fail = [&](int Error) {
    files.Remove(tempName.constData());
    return failed(SystemError(Error));
  };
  // Complete and on the disk before it takes the name: a crash or power loss after the rename must
  // not leave a workbook of zeros under the user's name.
  if (!WriteAll(files, fd, *archive) || files.Sync(fd) != 0) {
    const int error = errno;
    files.Close(fd);
    throw fail(error);
  }
  if (files.Close(fd) != 0) throw fail(errno);

  // Into place only if the name is still free: a file someone made meanwhile is never replaced.
  if (files.RenameNoReplace(tempName.constData(), finalName.constData()) != 0) {
    const int error = errno;
    if (error == EEXIST) {
      files.Remove(tempName.constData());
      throw Exception(Format(QStringLiteral("Файл «%s» уже существует; он не будет перезаписан."), {Path}));
    }
    if (error != EINVAL && error != ENOSYS) throw fail(error);
    // A file system without the no-replace rename: a hard link fails the same way on an existing name.
    if (files.Link(tempName.constData(), finalName.constData()) != 0) {
      const int linkError = errno;
      if (linkError != EEXIST) throw fail(linkError);
      files.Remove(tempName.constData());
      throw Exception(Format(QStringLiteral("Файл «%s» уже существует; он не будет перезаписан."), {Path}));
    }
    files.Remove(tempName.constData());
  }
}
