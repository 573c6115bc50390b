#include "platform/data/sql/SqliteResult.h"

#include "platform/base/Exception.h"
#include "platform/data/cursor/RowStore.h"
#include "platform/data/cursor/TextInterner.h"

#include <sqlite3.h>
#include <QByteArray>
#include <QString>

using namespace Qt::StringLiterals;

namespace {

// SQLite's type affinity rules, applied to the declared type of a column.
TFieldType AffinityOf(const char* DeclType) {
  if (!DeclType) return ftUnknown;
  const QByteArray decl = QByteArray(DeclType).toUpper();
  if (decl.contains("INT")) return ftLargeint;
  if (decl.contains("CHAR") || decl.contains("CLOB") || decl.contains("TEXT")) return ftWideString;
  if (decl.contains("BLOB")) return ftBlob;
  if (decl.contains("REAL") || decl.contains("FLOA") || decl.contains("DOUB")) return ftFloat;
  return ftUnknown;
}

}  // namespace

std::shared_ptr<TRowStore> FetchSqliteRows(sqlite3_stmt* Statement) {
  const int columns = sqlite3_column_count(Statement);
  std::vector<TFieldDef> fields(static_cast<std::size_t>(columns));
  for (int c = 0; c < columns; ++c) {
    fields[static_cast<std::size_t>(c)].Name = QString::fromUtf8(sqlite3_column_name(Statement, c));
    fields[static_cast<std::size_t>(c)].DataType = AffinityOf(sqlite3_column_decltype(Statement, c));
  }
  // The declared types serve until the values settle them; each row goes into the store as it comes,
  // so a large result is never held twice.
  auto store = std::make_shared<TRowStore>(std::move(fields));
  std::vector<TTextInterner> texts(static_cast<std::size_t>(columns));
  std::vector<QVariant> row(static_cast<std::size_t>(columns));
  for (;;) {
    const int rc = sqlite3_step(Statement);
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) throw Exception(QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(Statement))));
    for (int c = 0; c < columns; ++c) {
      QVariant& value = row[static_cast<std::size_t>(c)];
      switch (sqlite3_column_type(Statement, c)) {
      case SQLITE_INTEGER:
        value = static_cast<qlonglong>(sqlite3_column_int64(Statement, c));
        break;
      case SQLITE_FLOAT:
        value = sqlite3_column_double(Statement, c);
        break;
      case SQLITE_TEXT:
        value = texts[static_cast<std::size_t>(c)].FromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(Statement, c)), sqlite3_column_bytes(Statement, c));
        break;
      case SQLITE_BLOB: {
        const void* data = sqlite3_column_blob(Statement, c);
        value = QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(Statement, c));
        break;
      }
      default:
        value = QVariant();
        break;
      }
    }
    store->AppendRow(row);
  }
  store->SettleTypes();
  return store;
}
