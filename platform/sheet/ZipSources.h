#pragma once
// The libzip sources a package is written through: the new file itself, made through the file
// operations (so that a test's failing device reaches every write), and a part deflated beforehand, which
// libzip copies into the archive as it stands.
#include "platform/sheet/PartCompressor.h"

#include <zip.h>
#include <QByteArray>

// The archive's destination: a file created new at Path on the first write, synced and closed when libzip
// commits, removed when it rolls back. It is never renamed: the caller puts the finished file in place.
class TNewZipFile {
public:
  explicit TNewZipFile(QByteArray Path);
  ~TNewZipFile();
  TNewZipFile(const TNewZipFile&) = delete;
  TNewZipFile& operator=(const TNewZipFile&) = delete;

  // A source for zip_open_from_source (ZIP_CREATE); this object must outlive the archive. nullptr with
  // Error set when libzip cannot make one.
  zip_source_t* Source(zip_error_t* Error);
  // The system's error (errno) that stopped the file, 0 when it was not the device that failed.
  int SystemError() const { return FSystemError; }

private:
  static zip_int64_t Call(void* State, void* Data, zip_uint64_t Length, zip_source_cmd_t Command);
  zip_int64_t Fail(int ZipCode, int System);
  zip_int64_t Write(const void* Data, zip_uint64_t Length);
  zip_int64_t Seek(void* Data, zip_uint64_t Length);
  zip_int64_t Commit();
  void Rollback();

  QByteArray FPath;
  int FFd = -1;
  bool FCreated = false;
  zip_uint64_t FPosition = 0, FLength = 0;
  int FSystemError = 0;
  zip_error_t FError;
};

// A source over Part's deflated bytes, which must outlive the archive's close; nullptr with Error set when
// libzip cannot make one.
zip_source_t* DeflatedPartSource(const TDeflatedPart& Part, zip_error_t* Error);
