#pragma once
// Reads every row of a prepared SQLite statement into a row store. Column kinds come from the
// declared type where there is one (INTEGER columns whose values all fit 32 bits become ftInteger,
// else ftLargeint), otherwise from the values.
#include <memory>

struct sqlite3_stmt;
class TRowStore;

std::shared_ptr<TRowStore> FetchSqliteRows(sqlite3_stmt* Statement);
