// The idarray_contains SQL function over any blob: the first four bytes are the id asked for, the rest
// the array, decoded here a second way (each element as four bytes, most significant first, a tail
// shorter than four bytes ignored). The function is reached as a report body reaches it: through SQL
// on a database the driver opened.
#include "platform/data/sql/SqliteDriver.h"

#include <sqlite3.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct TFunctionCall {
  std::unique_ptr<TSqliteDriver> Driver;
  sqlite3_stmt* Statement = nullptr;
};

TFunctionCall& Call() {
  static TFunctionCall* call = [] {
    // The driver never creates a database: make an empty one, open it, then let the name go.
    const QByteArray path = QFile::encodeName(QDir::tempPath() + QStringLiteral("/ppr-fuzz-idarray-") +
                                              QString::number(getpid()) + QStringLiteral(".db"));
    sqlite3* made = nullptr;
    if (sqlite3_open(path.constData(), &made) != SQLITE_OK) std::abort();
    sqlite3_exec(made, "CREATE TABLE t(x)", nullptr, nullptr, nullptr);
    sqlite3_close(made);
    auto* result = new TFunctionCall;
    result->Driver = std::make_unique<TSqliteDriver>(QFile::decodeName(path));
    unlink(path.constData());
    if (sqlite3_prepare_v2(result->Driver->Handle(), "SELECT idarray_contains(?1, ?2)", -1, &result->Statement,
                           nullptr) != SQLITE_OK)
      std::abort();
    return result;
  }();
  return *call;
}

bool Contains(const std::uint8_t* Array, std::size_t Size, std::int64_t Id) {
  for (std::size_t i = 0; Size - i >= 4 && i < Size; i += 4) {
    std::uint32_t element = 0;
    for (std::size_t b = 0; b < 4; ++b) element = element << 8 | Array[i + b];
    std::int32_t value;
    std::memcpy(&value, &element, sizeof value);
    if (value == Id) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size < 1) return 0;
  // The first byte picks the id's kind: an element's value, a value past 32 bits, NULL; the next eight its bits.
  std::int64_t id = 0;
  const std::size_t idBytes = std::min<std::size_t>(Size - 1, 8);
  for (std::size_t b = 0; b < idBytes; ++b)
    id = static_cast<std::int64_t>(static_cast<std::uint64_t>(id) << 8 | Data[1 + b]);
  if (Data[0] % 3 == 0) id = static_cast<std::int32_t>(id);
  const std::uint8_t* array = Data + 1 + idBytes;
  const std::size_t arraySize = Size - 1 - idBytes;

  TFunctionCall& call = Call();
  sqlite3_reset(call.Statement);
  sqlite3_bind_blob(call.Statement, 1, arraySize ? array : Data, static_cast<int>(arraySize), SQLITE_STATIC);
  if (Data[0] % 3 == 2)
    sqlite3_bind_null(call.Statement, 2);
  else
    sqlite3_bind_int64(call.Statement, 2, id);
  if (sqlite3_step(call.Statement) != SQLITE_ROW) std::abort();
  const int answer = sqlite3_column_int(call.Statement, 0);
  const bool expected = Data[0] % 3 != 2 && Contains(array, arraySize, id);
  if (answer != (expected ? 1 : 0)) std::abort();
  sqlite3_clear_bindings(call.Statement);
  return 0;
}
