#include "platform/data/sql/SqliteDriver.h"

#include "platform/base/Exception.h"
#include "platform/base/IdArray.h"
#include "platform/data/cursor/RowStore.h"
#include "platform/data/sql/ExecStatement.h"
#include "platform/data/sql/Parameters.h"
#include "platform/data/sql/SqliteResult.h"

#include <sqlite3.h>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// idarray_contains(array BLOB, id INTEGER): is id one of the array's big-endian signed 32-bit elements.
void IdArrayContains(sqlite3_context* Context, int, sqlite3_value** Args) {
  if (sqlite3_value_type(Args[0]) == SQLITE_NULL || sqlite3_value_type(Args[1]) == SQLITE_NULL) {
    sqlite3_result_int(Context, 0);
    return;
  }
  const auto* bytes = static_cast<const unsigned char*>(sqlite3_value_blob(Args[0]));
  const int size = sqlite3_value_bytes(Args[0]);
  const sqlite3_int64 id = sqlite3_value_int64(Args[1]);
  for (int i = 0; i + IdArrayElementSize <= size; i += IdArrayElementSize) {
    if (LoadIdArrayElement(bytes + i) == id) {
      sqlite3_result_int(Context, 1);
      return;
    }
  }
  sqlite3_result_int(Context, 0);
}

class TStatement {
public:
  TStatement(sqlite3* Db, const QByteArray& Sql, const char** Tail = nullptr) {
    if (sqlite3_prepare_v2(Db, Sql.constData(), static_cast<int>(Sql.size()), &FStmt, Tail) != SQLITE_OK)
      throw Exception(QString::fromUtf8(sqlite3_errmsg(Db)));
  }
  TStatement(const TStatement&) = delete;
  TStatement& operator=(const TStatement&) = delete;
  ~TStatement() { sqlite3_finalize(FStmt); }
  sqlite3_stmt* Get() const { return FStmt; }

private:
  sqlite3_stmt* FStmt = nullptr;
};

void BindValue(sqlite3_stmt* Stmt, int Index, const QVariant& Value) {
  int rc = SQLITE_OK;
  if (Value.isNull() || !Value.isValid()) {
    rc = sqlite3_bind_null(Stmt, Index);
  } else {
    switch (Value.typeId()) {
    case QMetaType::QByteArray: {
      // constData() is never a null pointer, so an empty array binds a zero-length blob, not NULL.
      const QByteArray bytes = Value.toByteArray();
      rc = sqlite3_bind_blob64(Stmt, Index, bytes.constData(), static_cast<sqlite3_uint64>(bytes.size()),
                               SQLITE_TRANSIENT);
      break;
    }
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
      rc = sqlite3_bind_int64(Stmt, Index, Value.toLongLong());
      break;
    case QMetaType::Double:
      rc = sqlite3_bind_double(Stmt, Index, Value.toDouble());
      break;
    default: {
      const QByteArray text = Value.toString().toUtf8();
      rc = sqlite3_bind_text64(Stmt, Index, text.constData(), static_cast<sqlite3_uint64>(text.size()),
                               SQLITE_TRANSIENT, SQLITE_UTF8);
      break;
    }
    }
  }
  if (rc != SQLITE_OK) throw Exception(QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(Stmt))));
}

}  // namespace

TSqliteDriver::TSqliteDriver(const QString& FileName) {
  const QFileInfo info(FileName);
  if (FileName.isEmpty() || !info.exists() || !info.isFile())
    throw Exception(Format(u"Cannot open database '%s': the file does not exist"_s, {FileName}));
  const QByteArray path = FileName.toUtf8();
  int rc = sqlite3_open_v2(path.constData(), &FDb, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close(FDb);
    FDb = nullptr;
    rc = sqlite3_open_v2(path.constData(), &FDb, SQLITE_OPEN_READONLY, nullptr);
  }
  if (rc == SQLITE_OK)  // a file that is not a database is found out on its first read
    rc = sqlite3_exec(FDb, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    const QString reason = QString::fromUtf8(FDb ? sqlite3_errmsg(FDb) : sqlite3_errstr(rc));
    sqlite3_close(FDb);
    FDb = nullptr;
    throw Exception(Format(u"Cannot open database '%s': %s"_s, {FileName, reason}));
  }
  sqlite3_create_function_v2(FDb, "idarray_contains", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &IdArrayContains,
                             nullptr, nullptr, nullptr);
}

TSqliteDriver::~TSqliteDriver() { sqlite3_close(FDb); }

QString TSqliteDriver::ProcedureBody(const QString& Name) {
  const QString notFound = Format(u"Procedure '%s' not found"_s, {Name});
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(FDb, "SELECT body FROM procedures WHERE name = ?1 COLLATE NOCASE", -1, &raw, nullptr) !=
      SQLITE_OK) {
    sqlite3_finalize(raw);
    throw Exception(notFound);
  }
  std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(raw, &sqlite3_finalize);
  BindValue(raw, 1, Name);
  if (sqlite3_step(raw) != SQLITE_ROW) throw Exception(notFound);
  return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(raw, 0)), sqlite3_column_bytes(raw, 0));
}

namespace {

// A body is one read-only statement: nothing after it, and nothing that writes.
void CheckBody(const QString& Name, sqlite3_stmt* Stmt, const char* Tail) {
  if (!Stmt || !sqlite3_stmt_readonly(Stmt) || !QByteArray(Tail).trimmed().isEmpty())
    throw Exception(Format(u"Procedure '%s': its body must be one SELECT statement"_s, {Name}));
}

}  // namespace

std::shared_ptr<TRowStore> TSqliteDriver::ExecQuery(const QString& Sql) {
  if (const auto exec = TExecStatement::Parse(Sql)) {
    const QByteArray body = ProcedureBody(exec->ProcedureName).toUtf8();
    const char* tail = nullptr;
    TStatement stmt(FDb, body, &tail);
    CheckBody(exec->ProcedureName, stmt.Get(), tail);
    if (static_cast<int>(exec->Arguments.size()) > sqlite3_bind_parameter_count(stmt.Get()))
      throw Exception(Format(u"Procedure '%s' has too many arguments specified"_s, {exec->ProcedureName}));
    for (std::size_t i = 0; i < exec->Arguments.size(); ++i)
      BindValue(stmt.Get(), static_cast<int>(i + 1), exec->Arguments[i]);
    return FetchSqliteRows(stmt.Get());
  }
  // Plain SQL: the statements run in turn; the first one with columns gives the rows.
  const QByteArray text = Sql.toUtf8();
  const char* cursor = text.constData();
  const char* end = cursor + text.size();
  std::shared_ptr<TRowStore> result;
  while (cursor < end) {
    const char* tail = nullptr;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(FDb, cursor, static_cast<int>(end - cursor), &raw, &tail) != SQLITE_OK)
      throw Exception(QString::fromUtf8(sqlite3_errmsg(FDb)));
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(raw, &sqlite3_finalize);
    cursor = tail;
    if (!raw) continue;  // whitespace or a comment
    if (!result && sqlite3_column_count(raw) > 0) {
      result = FetchSqliteRows(raw);
    } else {
      int rc;
      while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {}
      if (rc != SQLITE_DONE) throw Exception(QString::fromUtf8(sqlite3_errmsg(FDb)));
    }
  }
  return result ? result : std::make_shared<TRowStore>(std::vector<TFieldDef>{});
}

std::shared_ptr<TRowStore> TSqliteDriver::ExecProc(const QString& ProcedureName, const TParameters& Params) {
  const QByteArray body = ProcedureBody(ProcedureName).toUtf8();
  const char* tail = nullptr;
  TStatement stmt(FDb, body, &tail);
  CheckBody(ProcedureName, stmt.Get(), tail);
  const int count = sqlite3_bind_parameter_count(stmt.Get());
  for (int i = 1; i <= count; ++i) {
    const char* name = sqlite3_bind_parameter_name(stmt.Get(), i);
    if (!name) continue;
    if (const TParameter* parameter = Params.FindParam(QString::fromUtf8(name)))
      BindValue(stmt.Get(), i, parameter->TypedValue());
  }
  return FetchSqliteRows(stmt.Get());
}
