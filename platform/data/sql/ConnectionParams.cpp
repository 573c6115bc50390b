#include "platform/data/sql/ConnectionParams.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

const QString FixedOpening = u"Provider=SQLOLEDB.1;Persist Security Info=True;Password="_s;

// Splits Text at the last occurrence of Marker: Before gets what precedes it, the result what follows.
bool SplitAtLast(QString& Text, const QString& Marker, QString& After) {
  const qsizetype at = Text.lastIndexOf(Marker);
  if (at < 0) return false;
  After = Text.mid(at + Marker.size());
  Text.truncate(at);
  return true;
}

TConnectionParams ParsePairs(const QString& ConnectionString) {
  TConnectionParams params;
  for (const QString& pair : ConnectionString.split(u';', Qt::SkipEmptyParts)) {
    const qsizetype eq = pair.indexOf(u'=');
    if (eq < 0) continue;
    const QString key = pair.left(eq).trimmed().toLower();
    const QString value = pair.mid(eq + 1);
    if (key == u"data source"_s || key == u"server"_s)
      params.Server = value;
    else if (key == u"initial catalog"_s || key == u"database"_s)
      params.Database = value;
    else if (key == u"user id"_s || key == u"uid"_s)
      params.Login = value;
    else if (key == u"password"_s || key == u"pwd"_s)
      params.Password = value;
  }
  return params;
}

}  // namespace

TConnectionParams TConnectionParams::Parse(const QString& ConnectionString) {
  if (!ConnectionString.startsWith(FixedOpening)) return ParsePairs(ConnectionString);
  QString rest = ConnectionString.mid(FixedOpening.size());
  TConnectionParams params;
  if (!SplitAtLast(rest, u";Data Source="_s, params.Server) ||
      !SplitAtLast(rest, u";Initial Catalog="_s, params.Database) || !SplitAtLast(rest, u";User ID="_s, params.Login))
    return ParsePairs(ConnectionString);
  params.Password = rest;
  return params;
}

bool TConnectionParams::IsSqlite() const { return Server.trimmed().compare(u"sqlite"_s, Qt::CaseInsensitive) == 0; }
