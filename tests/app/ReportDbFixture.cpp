#include "tests/app/ReportDbFixture.h"

#include <sqlite3.h>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {
void Run(sqlite3* Db, const QString& Sql) {
  char* error = nullptr;
  if (sqlite3_exec(Db, Sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string text = error ? error : "sqlite error";
    sqlite3_free(error);
    throw std::runtime_error(text + " in: " + Sql.toStdString());
  }
}
QString Quote(const QString& Text) { return u'\'' + QString(Text).replace(u"'"_s, u"''"_s) + u'\''; }
}  // namespace

TReportDb::TReportDb(const std::vector<TLookupRow>& Lookups, const QString& ReportBody)
    : FPath(FDir.filePath(u"report.db"_s)) {
  sqlite3* db = nullptr;
  sqlite3_open(FPath.toUtf8().constData(), &db);
  Run(db, u"BEGIN"_s);
  Run(db,
      u"CREATE TABLE procedures(name TEXT PRIMARY KEY, body TEXT NOT NULL);"
      "CREATE TABLE lookups(ord INTEGER PRIMARY KEY, kind TEXT, id INTEGER, parentid INTEGER, fname TEXT);"_s);
  int ord = 0;
  for (const TLookupRow& row : Lookups)
    Run(db, u"INSERT INTO lookups VALUES(%1, %2, %3, %4, %5)"_s.arg(++ord)
                .arg(Quote(QString::fromUtf8(row.Kind)))
                .arg(row.Id)
                .arg(row.ParentId)
                .arg(Quote(QString::fromUtf8(row.Caption))));
  const QString lookups = u"SELECT id, fname, parentid FROM lookups WHERE kind = ?1 ORDER BY ord"_s;
  const QString report = ReportBody.isEmpty()
                             ? u"SELECT hex(@MiTypesArray) AS types, hex(@MMStateArray) AS states, "
                               "hex(@SubDivsArray) AS subdivs, @year AS year, typeof(@year) AS yeartype"_s
                             : ReportBody;
  Run(db, u"INSERT INTO procedures VALUES('rprt_com_get_loockups', %1), ('rprt_get_PPR_box', %2)"_s.arg(Quote(lookups),
                                                                                                        Quote(report)));
  Run(db, u"COMMIT"_s);
  sqlite3_close(db);
}

void TReportDb::Exec(const QString& Sql) const {
  sqlite3* db = nullptr;
  sqlite3_open(FPath.toUtf8().constData(), &db);
  Run(db, Sql);
  sqlite3_close(db);
}

std::vector<TLookupRow> StandardLookups() {
  return {
      // types: 1 (2 (3 (4)), 5), 6
      {"tMiTypes", 1, -1, "Средства измерений давления"},
      {"tMiTypes", 2, 1, "Манометры"},
      {"tMiTypes", 3, 2, "Манометры показывающие"},
      {"tMiTypes", 4, 3, "МП-100"},
      {"tMiTypes", 5, 1, "Вакуумметры"},
      {"tMiTypes", 6, -1, "Термометры"},
      // states: 10 (11, 12), 13
      {"MMState", 10, -1, "В эксплуатации"},
      {"MMState", 11, 10, "Основной фонд"},
      {"MMState", 12, 10, "Резерв"},
      {"MMState", 13, -1, "На консервации"},
      // subdivisions: 258 (5), 300; and an orphan that is never shown
      {"tSubDivs", 258, -1, "Цех №1"},
      {"tSubDivs", 5, 258, "Участок 5"},
      {"tSubDivs", 300, -1, "Лаборатория"},
      {"tSubDivs", 400, 999, "Сирота"},
  };
}
