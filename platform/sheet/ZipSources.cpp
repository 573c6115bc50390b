#include "platform/sheet/ZipSources.h"

#include "platform/sheet/FileOperations.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

TNewZipFile::TNewZipFile(QByteArray Path) : FPath(std::move(Path)) { zip_error_init(&FError); }

TNewZipFile::~TNewZipFile() {
  Rollback();  // nothing to do once committed
  zip_error_fini(&FError);
}

zip_source_t* TNewZipFile::Source(zip_error_t* Error) { return zip_source_function_create(&Call, this, Error); }

zip_int64_t TNewZipFile::Fail(int ZipCode, int System) {
  if (System != 0 && FSystemError == 0) FSystemError = System;
  zip_error_set(&FError, ZipCode, System);
  return -1;
}

zip_int64_t TNewZipFile::Call(void* State, void* Data, zip_uint64_t Length, zip_source_cmd_t Command) {
  TNewZipFile& file = *static_cast<TNewZipFile*>(State);
  switch (Command) {
  case ZIP_SOURCE_SUPPORTS:
    return ZIP_SOURCE_SUPPORTS_WRITABLE;
  case ZIP_SOURCE_STAT:
    // A new archive: libzip takes a missing file to mean there is nothing to read first.
    zip_error_set(&file.FError, ZIP_ER_READ, ENOENT);
    return -1;
  case ZIP_SOURCE_ERROR:
    return zip_error_to_data(&file.FError, Data, Length);
  case ZIP_SOURCE_BEGIN_WRITE:
    file.FFd = FileOperations().CreateNew(file.FPath.constData());
    if (file.FFd < 0) return file.Fail(ZIP_ER_OPEN, errno);
    file.FCreated = true;
    file.FPosition = file.FLength = 0;
    return 0;
  case ZIP_SOURCE_WRITE:
    return file.Write(Data, Length);
  case ZIP_SOURCE_SEEK_WRITE:
    return file.Seek(Data, Length);
  case ZIP_SOURCE_TELL_WRITE:
    return static_cast<zip_int64_t>(file.FPosition);
  case ZIP_SOURCE_COMMIT_WRITE:
    return file.Commit();
  case ZIP_SOURCE_ROLLBACK_WRITE:
  case ZIP_SOURCE_REMOVE:
    file.Rollback();
    return 0;
  case ZIP_SOURCE_FREE:
    return 0;
  default:
    return file.Fail(ZIP_ER_OPNOTSUPP, 0);  // never read: the archive is only ever written
  }
}

zip_int64_t TNewZipFile::Write(const void* Data, zip_uint64_t Length) {
  TFileOperations& files = FileOperations();
  const char* bytes = static_cast<const char*>(Data);
  zip_uint64_t done = 0;
  while (done < Length) {
    const ssize_t put = files.Write(FFd, bytes + done, static_cast<size_t>(Length - done));
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return Fail(ZIP_ER_WRITE, errno);
    // A device that takes nothing and reports no error is full.
    if (put == 0) return Fail(ZIP_ER_WRITE, ENOSPC);
    done += static_cast<zip_uint64_t>(put);
  }
  FPosition += Length;
  FLength = std::max(FLength, FPosition);
  return static_cast<zip_int64_t>(Length);
}

zip_int64_t TNewZipFile::Seek(void* Data, zip_uint64_t Length) {
  const zip_int64_t to = zip_source_seek_compute_offset(FPosition, FLength, Data, Length, &FError);
  if (to < 0) return -1;
  if (FileOperations().Seek(FFd, static_cast<off_t>(to)) < 0) return Fail(ZIP_ER_SEEK, errno);
  FPosition = static_cast<zip_uint64_t>(to);
  return 0;
}

zip_int64_t TNewZipFile::Commit() {
  TFileOperations& files = FileOperations();
  // Complete and on the disk before it takes the name: a crash or power loss after the rename must not
  // leave a workbook of zeros under the user's name.
  if (files.Sync(FFd) != 0) {
    const int error = errno;
    files.Close(FFd);
    FFd = -1;
    return Fail(ZIP_ER_WRITE, error);
  }
  const int closed = files.Close(FFd);
  FFd = -1;  // gone even when close reports a lost write
  if (closed != 0) return Fail(ZIP_ER_CLOSE, errno);
  FCreated = false;  // the caller's now
  return 0;
}

void TNewZipFile::Rollback() {
  TFileOperations& files = FileOperations();
  if (FFd >= 0) files.Close(FFd);
  FFd = -1;
  if (FCreated) files.Remove(FPath.constData());
  FCreated = false;
}

namespace {

struct TDeflatedReader {
  const TDeflatedPart& Part;
  std::time_t Made = std::time(nullptr);
  size_t Block = 0, Offset = 0;  // where the next read starts
  zip_error_t Error{};
};

zip_int64_t ReadDeflated(void* State, void* Data, zip_uint64_t Length, zip_source_cmd_t Command) {
  TDeflatedReader& reader = *static_cast<TDeflatedReader*>(State);
  switch (Command) {
  case ZIP_SOURCE_SUPPORTS:
    return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                          ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
  case ZIP_SOURCE_OPEN:
    reader.Block = reader.Offset = 0;
    return 0;
  case ZIP_SOURCE_READ: {
    char* into = static_cast<char*>(Data);
    zip_uint64_t done = 0;
    while (done < Length && reader.Block < reader.Part.Blocks.size()) {
      const std::string& block = reader.Part.Blocks[reader.Block];
      const size_t n = static_cast<size_t>(std::min<zip_uint64_t>(Length - done, block.size() - reader.Offset));
      std::memcpy(into + done, block.data() + reader.Offset, n);
      done += n;
      reader.Offset += n;
      if (reader.Offset == block.size()) {
        ++reader.Block;
        reader.Offset = 0;
      }
    }
    return static_cast<zip_int64_t>(done);
  }
  case ZIP_SOURCE_CLOSE:
    return 0;
  case ZIP_SOURCE_STAT: {
    zip_stat_t* stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, Data, Length, &reader.Error);
    if (!stat) return -1;
    zip_stat_init(stat);
    // Already deflated, with its size and CRC known: libzip copies the bytes as they are.
    stat->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC |
                  ZIP_STAT_ENCRYPTION_METHOD | ZIP_STAT_MTIME;
    stat->size = reader.Part.Size;
    stat->comp_size = reader.Part.DeflatedSize;
    stat->comp_method = ZIP_CM_DEFLATE;
    stat->crc = reader.Part.Crc;
    stat->encryption_method = ZIP_EM_NONE;
    stat->mtime = reader.Made;
    return sizeof(zip_stat_t);
  }
  case ZIP_SOURCE_ERROR:
    return zip_error_to_data(&reader.Error, Data, Length);
  case ZIP_SOURCE_FREE:
    delete &reader;
    return 0;
  default:
    zip_error_set(&reader.Error, ZIP_ER_OPNOTSUPP, 0);
    return -1;
  }
}

}  // namespace

zip_source_t* DeflatedPartSource(const TDeflatedPart& Part, zip_error_t* Error) {
  auto* reader = new TDeflatedReader{Part};
  zip_source_t* source = zip_source_function_create(&ReadDeflated, reader, Error);
  if (!source) delete reader;
  return source;
}
