#include "platform/data/sql/SqlServerOdbc.h"

using namespace Qt::StringLiterals;

namespace TSqlServerOdbc {

QString DefaultDriver() {
  const QString configured = qEnvironmentVariable("PPR_ODBC_DRIVER").trimmed();
  return configured.isEmpty() ? u"FreeTDS"_s : configured;
}

QString Quote(const QString& Value) {
  QString doubled = Value;
  doubled.replace(u"}"_s, u"}}"_s);
  return u'{' + doubled + u'}';
}

QString DriverConnectionString(const TConnectionParams& Params, const QString& Driver) {
  const bool freeTds = Driver.compare(u"FreeTDS"_s, Qt::CaseInsensitive) == 0;
  QString server = Params.Server;
  QString port;
  if (freeTds) {
    // FreeTDS takes the port as its own key; SQL Server's "host,port" form is split for it.
    const qsizetype comma = server.lastIndexOf(u',');
    if (comma > 0) {
      port = server.mid(comma + 1).trimmed();
      server = server.left(comma).trimmed();
    }
  }
  QString text = u"Driver="_s + Quote(Driver) + u";Server="_s + Quote(server);
  if (!port.isEmpty()) text += u";Port="_s + Quote(port);
  text +=
      u";Database="_s + Quote(Params.Database) + u";UID="_s + Quote(Params.Login) + u";PWD="_s + Quote(Params.Password);
  if (freeTds) text += u";TDS_Version=7.4;ClientCharset=UTF-8"_s;
  return text;
}

QString ProcedureCall(const QString& ProcedureName, const QStringList& ParameterNames) {
  QStringList assignments;
  for (const QString& name : ParameterNames) assignments << (name.startsWith(u'@') ? name : u'@' + name) + u"=?"_s;
  QString call = u"exec "_s + ProcedureName;
  if (!assignments.isEmpty()) call += u' ' + assignments.join(u", "_s);
  return call;
}

}  // namespace TSqlServerOdbc
