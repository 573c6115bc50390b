#pragma once
// How the four connection values reach Microsoft SQL Server through ODBC. FreeTDS ("FreeTDS") is
// the default driver; the environment variable PPR_ODBC_DRIVER names another installed one (e.g.
// "ODBC Driver 18 for SQL Server"). For FreeTDS the string asks for TDS 7.4 and a UTF-8 client
// charset: older protocol versions lose Cyrillic ("?") and cannot carry varbinary(max).
// "host,port" is split into Server and Port for FreeTDS. Every value is quoted in braces with "}"
// doubled, so that no value can add or change a key.
//   DriverConnectionString({u"srv"_s, u"db"_s, u"sa"_s, u"p;w"_s}, u"FreeTDS"_s)
//     == "Driver={FreeTDS};Server={srv};Database={db};UID={sa};PWD={p;w};TDS_Version=7.4;ClientCharset=UTF-8"
#include "platform/data/sql/ConnectionParams.h"

#include <QString>
#include <QStringList>

namespace TSqlServerOdbc {

QString DefaultDriver();              // PPR_ODBC_DRIVER, or "FreeTDS"
QString Quote(const QString& Value);  // {value} with } doubled
QString DriverConnectionString(const TConnectionParams& Params, const QString& Driver);
// "exec NAME @a=?, @b=?" for the given parameter names (each keeps or gets its '@').
QString ProcedureCall(const QString& ProcedureName, const QStringList& ParameterNames);

}  // namespace TSqlServerOdbc
