#pragma once
// The connection string the report database is opened with: eight items in a fixed order, values
// inserted as they stand (no quoting, no escaping), no trailing semicolon:
//   Provider=SQLOLEDB.1;Persist Security Info=True;Password=<pass>;User ID=<login>;
//   Initial Catalog=<database>;Data Source=<server>
// Because nothing is escaped, the data layer reads the values back by position, never by splitting
// on ';', so that a value holding ";Initial Catalog=x" cannot change another key.
#include "app/ConnectionSettings.h"

#include <QString>

QString BuildConnectionString(const TConnectionSettings& Settings);
