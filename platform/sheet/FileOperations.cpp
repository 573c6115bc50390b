#include "platform/sheet/FileOperations.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

namespace {

TFileOperations* GOperations = nullptr;

}  // namespace

TFileOperations::~TFileOperations() = default;

int TFileOperations::OpenForReading(const char* Path) { return open(Path, O_RDONLY | O_CLOEXEC); }

int TFileOperations::CreateNew(const char* Path) { return open(Path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); }

ssize_t TFileOperations::Read(int Fd, void* Buffer, std::size_t Size) { return read(Fd, Buffer, Size); }

ssize_t TFileOperations::Write(int Fd, const void* Buffer, std::size_t Size) { return write(Fd, Buffer, Size); }

off_t TFileOperations::Seek(int Fd, off_t Offset) { return lseek(Fd, Offset, SEEK_SET); }

int TFileOperations::Sync(int Fd) { return fsync(Fd); }

int TFileOperations::Close(int Fd) { return close(Fd); }

int TFileOperations::RenameNoReplace(const char* From, const char* To) {
  return renameat2(AT_FDCWD, From, AT_FDCWD, To, RENAME_NOREPLACE);
}

int TFileOperations::Link(const char* From, const char* To) { return link(From, To); }

int TFileOperations::Remove(const char* Path) { return unlink(Path); }

TFileOperations& FileOperations() {
  static TFileOperations system;
  return GOperations ? *GOperations : system;
}

TFileOperations* SetFileOperations(TFileOperations* Operations) {
  TFileOperations* previous = GOperations;
  GOperations = Operations;
  return previous;
}
