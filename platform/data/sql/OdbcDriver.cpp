#include "platform/data/sql/OdbcDriver.h"

#include "platform/base/Exception.h"
#include "platform/data/cursor/RowStore.h"
#include "platform/data/cursor/TextInterner.h"
#include "platform/data/sql/Parameters.h"
#include "platform/data/sql/SqlServerOdbc.h"

#include <sql.h>
#include <sqlext.h>
#include <QDate>
#include <QDateTime>
#include <QStringList>

using namespace Qt::StringLiterals;

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC's SQLWCHAR is UTF-16");

namespace {

bool Ok(SQLRETURN Rc) { return Rc == SQL_SUCCESS || Rc == SQL_SUCCESS_WITH_INFO; }

SQLWCHAR* W(const QString& Text) { return reinterpret_cast<SQLWCHAR*>(const_cast<ushort*>(Text.utf16())); }

QString Diagnostics(SQLSMALLINT HandleType, SQLHANDLE Handle) {
  QStringList messages;
  for (SQLSMALLINT record = 1;; ++record) {
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLWCHAR text[1024] = {};
    SQLSMALLINT length = 0;
    if (!Ok(SQLGetDiagRecW(HandleType, Handle, record, state, &native, text, 1024, &length))) break;
    messages << QString::fromUtf16(reinterpret_cast<const char16_t*>(text)).trimmed();
  }
  return messages.isEmpty() ? u"unknown ODBC error"_s : messages.join(u"; "_s);
}

class TStmt {
public:
  explicit TStmt(SQLHDBC Dbc) {
    if (!Ok(SQLAllocHandle(SQL_HANDLE_STMT, Dbc, &FHandle)))
      throw Exception(u"ODBC: cannot allocate a statement: "_s + Diagnostics(SQL_HANDLE_DBC, Dbc));
  }
  TStmt(const TStmt&) = delete;
  TStmt& operator=(const TStmt&) = delete;
  ~TStmt() { SQLFreeHandle(SQL_HANDLE_STMT, FHandle); }
  SQLHSTMT Get() const { return FHandle; }
  void Check(SQLRETURN Rc) const {
    if (!Ok(Rc) && Rc != SQL_NO_DATA) throw Exception(Diagnostics(SQL_HANDLE_STMT, FHandle));
  }

private:
  SQLHSTMT FHandle = SQL_NULL_HSTMT;
};

// One bound input value; the buffers live until the statement has run.
struct TBound {
  explicit TBound(QVariant V) : Value(std::move(V)) {}
  QVariant Value;
  TFieldType DeclaredType = ftUnknown;
  int DeclaredSize = 0;
  QString Text;
  QByteArray Bytes;
  qlonglong Integer = 0;
  double Real = 0;
  unsigned char Bit = 0;
  SQLLEN Indicator = 0;
};

bool IsBinary(const TBound& B) { return B.DeclaredType == ftBlob || B.Value.typeId() == QMetaType::QByteArray; }

void BindParameter(const TStmt& Stmt, SQLUSMALLINT Number, TBound& B) {
  SQLSMALLINT cType = SQL_C_WCHAR;
  SQLSMALLINT sqlType = SQL_WVARCHAR;
  SQLULEN columnSize = 1;
  SQLPOINTER buffer = &B.Bit;
  SQLLEN bufferLength = 0;
  const bool isNull = B.Value.isNull() || !B.Value.isValid();
  if (IsBinary(B)) {
    B.Bytes = B.Value.toByteArray();
    cType = SQL_C_BINARY;
    // Up to 8000 bytes a varbinary(n) carries it; beyond, only the long type reaches varbinary(max).
    sqlType = B.Bytes.size() > 8000 ? SQL_LONGVARBINARY : SQL_VARBINARY;
    columnSize = static_cast<SQLULEN>(std::max<qsizetype>(B.Bytes.size(), 1));
    buffer = B.Bytes.isEmpty() ? static_cast<SQLPOINTER>(&B.Bit) : static_cast<SQLPOINTER>(B.Bytes.data());
    bufferLength = static_cast<SQLLEN>(B.Bytes.size());
    B.Indicator = static_cast<SQLLEN>(B.Bytes.size());
  } else if (!isNull && (B.Value.typeId() == QMetaType::Int || B.Value.typeId() == QMetaType::LongLong ||
                         B.Value.typeId() == QMetaType::UInt)) {
    B.Integer = B.Value.toLongLong();
    cType = SQL_C_SBIGINT;
    sqlType = B.Value.typeId() == QMetaType::Int ? SQL_INTEGER : SQL_BIGINT;
    columnSize = B.Value.typeId() == QMetaType::Int ? 10 : 19;
    buffer = &B.Integer;
    B.Indicator = 0;
  } else if (!isNull && B.Value.typeId() == QMetaType::Double) {
    B.Real = B.Value.toDouble();
    cType = SQL_C_DOUBLE;
    sqlType = SQL_DOUBLE;
    columnSize = 15;
    buffer = &B.Real;
  } else if (!isNull && B.Value.typeId() == QMetaType::Bool) {
    B.Bit = B.Value.toBool() ? 1 : 0;
    cType = SQL_C_BIT;
    sqlType = SQL_BIT;
    buffer = &B.Bit;
  } else {
    B.Text = B.Value.toString();
    const auto length = static_cast<SQLULEN>(B.Text.size());
    columnSize = std::max<SQLULEN>({length, static_cast<SQLULEN>(std::max(B.DeclaredSize, 0)), 1});
    if (length > 4000) sqlType = SQL_WLONGVARCHAR;  // beyond nvarchar(4000)
    buffer = B.Text.isEmpty() ? static_cast<SQLPOINTER>(&B.Bit) : static_cast<SQLPOINTER>(W(B.Text));
    bufferLength = static_cast<SQLLEN>(B.Text.size() * 2);
    B.Indicator = bufferLength;
  }
  if (isNull) B.Indicator = SQL_NULL_DATA;
  Stmt.Check(SQLBindParameter(Stmt.Get(), Number, SQL_PARAM_INPUT, cType, sqlType, columnSize, 0, buffer, bufferLength,
                              &B.Indicator));
}

TFieldType FieldTypeOf(SQLSMALLINT SqlType, SQLULEN Size, SQLSMALLINT Scale) {
  switch (SqlType) {
  case SQL_BIT:
    return ftBoolean;
  case SQL_TINYINT:
  case SQL_SMALLINT:
  case SQL_INTEGER:
    return ftInteger;
  case SQL_BIGINT:
    return ftLargeint;
  case SQL_REAL:
  case SQL_FLOAT:
  case SQL_DOUBLE:
    return ftFloat;
  case SQL_DECIMAL:
  case SQL_NUMERIC:
    if (Scale == 0 && Size <= 9) return ftInteger;
    if (Scale == 0 && Size <= 18) return ftLargeint;
    return ftFloat;
  case SQL_BINARY:
  case SQL_VARBINARY:
  case SQL_LONGVARBINARY:
    return ftBlob;
  case SQL_TYPE_DATE:
    return ftDate;
  case SQL_TYPE_TIMESTAMP:
    return ftDateTime;
  default:
    return ftWideString;
  }
}

QVariant ReadText(const TStmt& Stmt, SQLUSMALLINT Column) {
  QString text;
  SQLWCHAR chunk[2048];
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(Stmt.Get(), Column, SQL_C_WCHAR, chunk, sizeof chunk, &indicator);
    if (rc == SQL_NO_DATA) break;
    Stmt.Check(rc);
    if (indicator == SQL_NULL_DATA) return QVariant(QMetaType::fromType<QString>());
    const qsizetype capacity = static_cast<qsizetype>(sizeof chunk / sizeof(SQLWCHAR)) - 1;
    const qsizetype got = (indicator == SQL_NO_TOTAL || indicator / 2 > capacity) ? capacity : indicator / 2;
    text += QStringView(reinterpret_cast<const char16_t*>(chunk), got);
    if (rc == SQL_SUCCESS) break;
  }
  return text;
}

QVariant ReadBinary(const TStmt& Stmt, SQLUSMALLINT Column) {
  QByteArray bytes;
  char chunk[8192];
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(Stmt.Get(), Column, SQL_C_BINARY, chunk, sizeof chunk, &indicator);
    if (rc == SQL_NO_DATA) break;
    Stmt.Check(rc);
    if (indicator == SQL_NULL_DATA) return QVariant(QMetaType::fromType<QByteArray>());
    const qsizetype got = (indicator == SQL_NO_TOTAL || indicator > static_cast<SQLLEN>(sizeof chunk))
                              ? static_cast<qsizetype>(sizeof chunk)
                              : static_cast<qsizetype>(indicator);
    bytes.append(chunk, got);
    if (rc == SQL_SUCCESS) break;
  }
  if (bytes.isNull()) bytes = QByteArray("");  // an empty value, not NULL
  return bytes;
}

template <typename T>
bool ReadFixed(const TStmt& Stmt, SQLUSMALLINT Column, SQLSMALLINT CType, T& Value) {
  SQLLEN indicator = 0;
  Stmt.Check(SQLGetData(Stmt.Get(), Column, CType, &Value, sizeof Value, &indicator));
  return indicator != SQL_NULL_DATA;
}

QVariant ReadValue(const TStmt& Stmt, SQLUSMALLINT Column, TFieldType Type) {
  switch (Type) {
  case ftBoolean: {
    unsigned char bit = 0;
    return ReadFixed(Stmt, Column, SQL_C_BIT, bit) ? QVariant(bit != 0) : QVariant(QMetaType::fromType<bool>());
  }
  case ftInteger:  // read wide: some drivers call any integer column SQL_INTEGER
  case ftLargeint: {
    SQLBIGINT number = 0;
    return ReadFixed(Stmt, Column, SQL_C_SBIGINT, number) ? QVariant(static_cast<qlonglong>(number))
                                                          : QVariant(QMetaType::fromType<qlonglong>());
  }
  case ftFloat: {
    double number = 0;
    return ReadFixed(Stmt, Column, SQL_C_DOUBLE, number) ? QVariant(number) : QVariant(QMetaType::fromType<double>());
  }
  case ftBlob:
    return ReadBinary(Stmt, Column);
  case ftDate: {
    SQL_DATE_STRUCT date{};
    return ReadFixed(Stmt, Column, SQL_C_TYPE_DATE, date) ? QVariant(QDate(date.year, date.month, date.day))
                                                          : QVariant(QMetaType::fromType<QDate>());
  }
  case ftDateTime: {
    SQL_TIMESTAMP_STRUCT stamp{};
    if (!ReadFixed(Stmt, Column, SQL_C_TYPE_TIMESTAMP, stamp)) return QVariant(QMetaType::fromType<QDateTime>());
    return QDateTime(QDate(stamp.year, stamp.month, stamp.day),
                     QTime(stamp.hour, stamp.minute, stamp.second, static_cast<int>(stamp.fraction / 1000000)));
  }
  default:
    return ReadText(Stmt, Column);
  }
}

// The first row set of an executed statement; results that are only row counts are passed over.
std::shared_ptr<TRowStore> FetchFirstResult(const TStmt& Stmt) {
  for (;;) {
    SQLSMALLINT columns = 0;
    Stmt.Check(SQLNumResultCols(Stmt.Get(), &columns));
    if (columns > 0) {
      std::vector<TFieldDef> fields;
      for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(columns); ++c) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameLength = 0, sqlType = 0, scale = 0, nullable = 0;
        SQLULEN size = 0;
        Stmt.Check(SQLDescribeColW(Stmt.Get(), c, name, 256, &nameLength, &sqlType, &size, &scale, &nullable));
        fields.push_back({QString::fromUtf16(reinterpret_cast<const char16_t*>(name), nameLength),
                          FieldTypeOf(sqlType, size, scale)});
      }
      auto store = std::make_shared<TRowStore>(fields);
      std::vector<TTextInterner> texts(fields.size());
      for (;;) {
        const SQLRETURN rc = SQLFetch(Stmt.Get());
        if (rc == SQL_NO_DATA) break;
        Stmt.Check(rc);
        std::vector<QVariant> row;
        row.reserve(fields.size());
        for (std::size_t c = 0; c < fields.size(); ++c) {
          QVariant value = ReadValue(Stmt, static_cast<SQLUSMALLINT>(c + 1), fields[c].DataType);
          if (value.typeId() == QMetaType::QString && !value.isNull()) value = texts[c].Shared(value.toString());
          row.push_back(std::move(value));
        }
        store->AppendRow(std::move(row));
      }
      store->SettleTypes();
      return store;
    }
    const SQLRETURN more = SQLMoreResults(Stmt.Get());
    if (more == SQL_NO_DATA) return std::make_shared<TRowStore>(std::vector<TFieldDef>{});
    Stmt.Check(more);
  }
}

}  // namespace

struct TOdbcDriver::THandles {
  SQLHENV Env = SQL_NULL_HENV;
  SQLHDBC Dbc = SQL_NULL_HDBC;
  bool Connected = false;
  ~THandles() {
    if (Connected) SQLDisconnect(Dbc);
    if (Dbc) SQLFreeHandle(SQL_HANDLE_DBC, Dbc);
    if (Env) SQLFreeHandle(SQL_HANDLE_ENV, Env);
  }
};

TOdbcDriver::TOdbcDriver(const QString& OdbcConnectionString) : FHandles(std::make_unique<THandles>()) {
  if (!Ok(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &FHandles->Env)))
    throw Exception(u"ODBC connection failed: cannot allocate an environment"_s);
  SQLSetEnvAttr(FHandles->Env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  if (!Ok(SQLAllocHandle(SQL_HANDLE_DBC, FHandles->Env, &FHandles->Dbc)))
    throw Exception(u"ODBC connection failed: "_s + Diagnostics(SQL_HANDLE_ENV, FHandles->Env));
  SQLWCHAR out[1024];
  SQLSMALLINT outLength = 0;
  const QString text = OdbcConnectionString;
  if (!Ok(SQLDriverConnectW(FHandles->Dbc, nullptr, W(text), SQL_NTS, out, 1024, &outLength, SQL_DRIVER_NOPROMPT)))
    throw Exception(u"ODBC connection failed: "_s + Diagnostics(SQL_HANDLE_DBC, FHandles->Dbc));
  FHandles->Connected = true;
}

TOdbcDriver::~TOdbcDriver() = default;

std::shared_ptr<TRowStore> TOdbcDriver::ExecQuery(const QString& Sql) {
  TStmt stmt(FHandles->Dbc);
  const QString text = Sql;
  stmt.Check(SQLExecDirectW(stmt.Get(), W(text), SQL_NTS));
  return FetchFirstResult(stmt);
}

namespace {

std::shared_ptr<TRowStore> Run(SQLHDBC Dbc, const QString& Sql, std::vector<TBound>& Values) {
  TStmt stmt(Dbc);
  const QString text = Sql;
  stmt.Check(SQLPrepareW(stmt.Get(), W(text), SQL_NTS));
  for (std::size_t i = 0; i < Values.size(); ++i) BindParameter(stmt, static_cast<SQLUSMALLINT>(i + 1), Values[i]);
  stmt.Check(SQLExecute(stmt.Get()));
  return FetchFirstResult(stmt);
}

}  // namespace

std::shared_ptr<TRowStore> TOdbcDriver::ExecParams(const QString& Sql, const std::vector<QVariant>& Values) {
  std::vector<TBound> bound;
  for (const QVariant& value : Values) bound.emplace_back(value);
  return Run(FHandles->Dbc, Sql, bound);
}

std::shared_ptr<TRowStore> TOdbcDriver::ExecProc(const QString& ProcedureName, const TParameters& Params) {
  QStringList names;
  std::vector<TBound> bound;
  for (int i = 0; i < Params.Count(); ++i) {
    const TParameter& parameter = Params.Items(i);
    if (parameter.Direction() != pdInput && parameter.Direction() != pdInputOutput) continue;
    names << parameter.Name();
    TBound value(parameter.TypedValue());
    value.DeclaredType = parameter.DataType();
    value.DeclaredSize = parameter.Size();
    bound.push_back(std::move(value));
  }
  return Run(FHandles->Dbc, TSqlServerOdbc::ProcedureCall(ProcedureName, names), bound);
}
