#pragma once
// The file system calls the workbook engine makes when it writes a workbook and reads a template, in
// one place so that tests can make any of them fail as a failing device would (a full disk after so
// many bytes, a rename refused). Each does what the system call of its name does: returns -1 (or a
// short count) and sets errno on failure.
//
//   class TFullDisk : public TFileOperations { ... Write(...) { errno = ENOSPC; return -1; } };
//   TFullDisk disk;
//   TFileOperations* old = SetFileOperations(&disk);   // ... the save fails ...
//   SetFileOperations(old);
#include <sys/types.h>
#include <cstddef>

class TFileOperations {
public:
  virtual ~TFileOperations();
  virtual int OpenForReading(const char* Path);  // O_RDONLY
  virtual int CreateNew(const char* Path);       // O_WRONLY | O_CREAT | O_EXCL, mode 0666 less umask
  virtual ssize_t Read(int Fd, void* Buffer, std::size_t Size);
  virtual ssize_t Write(int Fd, const void* Buffer, std::size_t Size);
  virtual off_t Seek(int Fd, off_t Offset);  // lseek SEEK_SET
  virtual int Sync(int Fd);                  // fsync
  virtual int Close(int Fd);
  virtual int RenameNoReplace(const char* From, const char* To);  // renameat2 RENAME_NOREPLACE
  virtual int Link(const char* From, const char* To);
  virtual int Remove(const char* Path);  // unlink
};

// The operations in use: the system's own unless a test installed others.
TFileOperations& FileOperations();
// Test seam: installs Operations (nullptr: the system's) and returns the previous ones.
TFileOperations* SetFileOperations(TFileOperations* Operations);
