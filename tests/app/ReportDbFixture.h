#pragma once
// A small report database on a real SQLite file, following the embedded contract: a `procedures`
// table whose bodies the connection runs for "exec NAME ..." and for the stored procedure.
// The lookups (kind, id, parentid, fname) keep their row order; the report procedure by default
// echoes what it was sent, so that a test can read back the arrays and the year.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

struct TLookupRow {
  const char* Kind;  // "tMiTypes", "MMState", "tSubDivs"
  int Id;
  int ParentId;
  const char* Caption;
};

class TReportDb {
public:
  // Rows of the three lookups; ReportBody replaces the echoing report procedure's SELECT.
  explicit TReportDb(const std::vector<TLookupRow>& Lookups, const QString& ReportBody = {});
  QString Path() const { return FPath; }
  // Runs plain SQL on the file (extra tables for a report body).
  void Exec(const QString& Sql) const;

private:
  QTemporaryDir FDir;
  QString FPath;
};

// The three trees the window tests use: types with a deep branch, states with children, subdivisions.
std::vector<TLookupRow> StandardLookups();
