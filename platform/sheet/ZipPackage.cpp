#include "platform/sheet/ZipPackage.h"

#include "platform/base/Exception.h"
#include "platform/base/TerminationDeferral.h"
#include "platform/sheet/FileOperations.h"
#include "platform/sheet/FileSignature.h"
#include "platform/sheet/PartCompressor.h"
#include "platform/sheet/ZipSources.h"

#include <zip.h>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>

namespace {

QString ArchiveError(zip_t* Archive) { return QString::fromUtf8(zip_error_strerror(zip_get_error(Archive))); }

struct TZipCloser {
  void operator()(zip_t* Archive) const { zip_discard(Archive); }
};
struct TEntryCloser {
  void operator()(zip_file_t* File) const { zip_fclose(File); }
};

// Large parts (the sheet data) take the fastest deflate level: they are regular XML that it still
// shrinks about tenfold, and writing them dominates a big report's time. A part made by a writer has no
// size beforehand: it changes level once past its first piece, since packing the start of a big sheet
// tighter costs more time than it saves bytes.
constexpr size_t LargePart = 4u << 20;
constexpr size_t LargeWrittenPart = 256u << 10;
constexpr int SmallPartLevel = 6, LargePartLevel = 1;

QString SystemError(int Error) { return QString::fromLocal8Bit(std::strerror(Error)); }

// The whole file at Path read through the file operations and opened as an archive in memory, so that a
// failing read shows as the device's error; nullptr with Reason set when it cannot be (and ZipCode, when it
// is libzip that refuses the bytes).
std::unique_ptr<zip_t, TZipCloser> OpenArchive(const QByteArray& Path, QString& Reason, int& ZipCode) {
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
  std::unique_ptr<zip_t, TZipCloser> archive(source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr);
  if (!archive) {
    Reason = QString::fromUtf8(zip_error_strerror(&error));
    ZipCode = zip_error_code_zip(&error);
    if (source) zip_source_free(source);
  }
  zip_error_fini(&error);
  return archive;
}

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
  case ZIP_ER_NOZIP:
    reason = QStringLiteral("это не zip-архив");
    break;
  case ZIP_ER_INCONS:
    reason = QStringLiteral("архив противоречив или повреждён");
    break;
  case ZIP_ER_CRC:
    reason = QStringLiteral("контрольная сумма не сходится");
    break;
  case ZIP_ER_COMPNOTSUPP:
    reason = QStringLiteral("метод сжатия не поддерживается");
    break;
  case ZIP_ER_ENCRNOTSUPP:
  case ZIP_ER_NOPASSWD:
  case ZIP_ER_WRONGPASSWD:
    reason = QStringLiteral("архив зашифрован");
    break;
  case ZIP_ER_MEMORY:
    reason = QStringLiteral("недостаточно памяти");
    break;
  case ZIP_ER_OPEN:
  case ZIP_ER_NOENT:
    reason = QStringLiteral("файл не открывается");
    break;
  case ZIP_ER_READ:
  case ZIP_ER_SEEK:
    reason = QStringLiteral("ошибка чтения");
    break;
  case ZIP_ER_EOF:
    reason = QStringLiteral("файл обрывается");
    break;
  default:
    reason = QStringLiteral("ошибка архива");
    break;
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
  if (!info.exists()) throw Exception(Format(QStringLiteral("Файл «%s» не найден."), {Path}));
  if (IsBinaryWorkbookFile(Path))
    throw Exception(Format(QStringLiteral("Файл «%s» — книга Excel 97-2003 в двоичном формате (.xls, .xlt); "
                                          "нужен файл Office Open XML (.xlsx, .xltx)."),
                           {Path}));
  QString reason;
  int zipCode = 0;
  const std::unique_ptr<zip_t, TZipCloser> archive = OpenArchive(QFile::encodeName(Path), reason, zipCode);
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
    if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(i), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
        !(stat.valid & ZIP_STAT_NAME) || !(stat.valid & ZIP_STAT_COMP_SIZE))
      throw damaged(archiveReason());
    const std::string name = stat.name;
    const QString shown = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    if (UnsafeEntryName(name)) throw damaged(Format(QStringLiteral("имя части «%s» ведёт за пределы пакета"), {shown}));
    if (!seen.insert(name).second) throw damaged(Format(QStringLiteral("часть «%s» записана дважды"), {shown}));
    if (stat.size > MaxUnpacked - total)
      throw damaged(
          Format(QStringLiteral("распакованные части заняли бы больше %s МиБ"), {QString::number(MaxUnpacked >> 20)}));
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
    package.FEntries.push_back(TEntry{std::move(name), std::move(bytes), {}});
  }
  return package;
}

const std::string* TZipPackage::Part(const std::string& Name) const {
  for (const TEntry& entry : FEntries)
    if (entry.Name == Name) return entry.Writer ? nullptr : &entry.Bytes;
  return nullptr;
}

TZipPackage::TEntry& TZipPackage::Entry(const std::string& Name) {
  for (TEntry& entry : FEntries)
    if (entry.Name == Name) return entry;
  return FEntries.emplace_back(TEntry{Name, {}, {}});
}

void TZipPackage::SetPart(const std::string& Name, std::string Bytes) {
  TEntry& entry = Entry(Name);
  entry.Bytes = std::move(Bytes);
  entry.Writer = nullptr;
}

void TZipPackage::SetPart(const std::string& Name, TPartWriter Writer) {
  TEntry& entry = Entry(Name);
  entry.Bytes.clear();
  entry.Writer = std::move(Writer);
}

void TZipPackage::RemovePart(const std::string& Name) {
  std::erase_if(FEntries, [&](const TEntry& entry) { return entry.Name == Name; });
}

void TZipPackage::WriteNew(const QString& Path) const {
  const TTerminationDeferral deferral;  // a Ctrl+C or kill waits until the temporary file is gone
  const QString existing = Format(QStringLiteral("Файл «%s» уже существует; он не будет перезаписан."), {Path});
  if (QFileInfo::exists(Path)) throw Exception(existing);
  auto failed = [&](const QString& Reason) {
    return Exception(Format(QStringLiteral("Не удалось записать книгу «%s»: %s."), {Path, Reason}));
  };
  // Parts made by writers are made and deflated first, a piece at a time: a writer that fails has no
  // file to undo.
  std::vector<TDeflatedPart> deflated(FEntries.size());
  for (size_t i = 0; i < FEntries.size(); ++i)
    if (FEntries[i].Writer) {
      TPartCompressor compressor(SmallPartLevel, LargePartLevel, LargeWrittenPart);
      FEntries[i].Writer([&](std::string& Piece) { compressor.Put(Piece); });
      deflated[i] = compressor.Finish();
    }

  const QString temp = Path + QStringLiteral(".part-") + QString::number(QRandomGenerator::global()->generate64(), 36);
  const QByteArray tempName = QFile::encodeName(temp);
  const QByteArray finalName = QFile::encodeName(Path);
  TNewZipFile file(tempName);  // outlives the archive, whose source it is
  {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* target = file.Source(&error);
    std::unique_ptr<zip_t, TZipCloser> archive(target ? zip_open_from_source(target, ZIP_CREATE, &error) : nullptr);
    if (!archive) {
      if (target) zip_source_free(target);
      const QString reason = QString::fromUtf8(zip_error_strerror(&error));
      zip_error_fini(&error);
      throw failed(reason);
    }
    zip_error_fini(&error);
    for (size_t i = 0; i < FEntries.size(); ++i) {
      const TEntry& entry = FEntries[i];
      zip_source_t* source = entry.Writer ? DeflatedPartSource(deflated[i], nullptr)
                                          : zip_source_buffer(archive.get(), entry.Bytes.data(), entry.Bytes.size(), 0);
      const zip_int64_t index =
          source ? zip_file_add(archive.get(), entry.Name.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) : -1;
      if (index < 0) {
        if (source) zip_source_free(source);
        throw failed(source ? ArchiveError(archive.get()) : SystemError(ENOMEM));
      }
      if (!entry.Writer)
        zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                                 entry.Bytes.size() >= LargePart ? LargePartLevel : SmallPartLevel);
    }
    // The file is written, synced and closed here, or removed again when anything fails.
    if (zip_close(archive.get()) != 0)
      throw failed(file.SystemError() ? SystemError(file.SystemError()) : ArchiveError(archive.get()));
    archive.release();  // closed is freed
  }

  TFileOperations& files = FileOperations();
  auto fail = [&](int Error) {
    files.Remove(tempName.constData());
    return failed(SystemError(Error));
  };
  // Into place only if the name is still free: a file someone made meanwhile is never replaced.
  if (files.RenameNoReplace(tempName.constData(), finalName.constData()) != 0) {
    const int error = errno;
    if (error == EEXIST) {
      files.Remove(tempName.constData());
      throw Exception(existing);
    }
    if (error != EINVAL && error != ENOSYS) throw fail(error);
    // A file system without the no-replace rename: a hard link fails the same way on an existing name.
    if (files.Link(tempName.constData(), finalName.constData()) != 0) {
      const int linkError = errno;
      if (linkError != EEXIST) throw fail(linkError);
      files.Remove(tempName.constData());
      throw Exception(existing);
    }
    files.Remove(tempName.constData());
  }
}
