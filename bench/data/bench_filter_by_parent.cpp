// How the tree uses a lookup: fetch it once, then filter a read-only clone by each parent in turn
// and, for every row met, look up whether it has children (with the filter off and back on, and
// a return to the bookmark). Prints the time per row for 1k, 10k and 100k rows; a flat figure
// means the cost grows linearly with the rows.
#include "platform/data/ado/ADOConnection.h"
#include "platform/data/ado/ADOQuery.h"

#include <sqlite3.h>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Rows 1..N; the first eight are top-level, row i hangs under row i / 8 (a tree eight wide).
QString MakeLookup(const QTemporaryDir& Dir, int Rows) {
  const QString path = Dir.filePath(u"lookup%1.db"_s.arg(Rows));
  sqlite3* db = nullptr;
  sqlite3_open(path.toUtf8().constData(), &db);
  sqlite3_exec(db,
               "CREATE TABLE procedures (name TEXT PRIMARY KEY, body TEXT NOT NULL);"
               "INSERT INTO procedures VALUES ('lookups', 'SELECT id, fname, parentid FROM lookup ORDER BY id');"
               "CREATE TABLE lookup (id INTEGER PRIMARY KEY, fname TEXT, parentid INTEGER);"
               "BEGIN;",
               nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO lookup VALUES (?1, 'Узел ' || ?1, ?2)", -1, &insert, nullptr);
  for (int id = 1; id <= Rows; ++id) {
    sqlite3_bind_int(insert, 1, id);
    sqlite3_bind_int(insert, 2, id <= 8 ? -1 : id / 8);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return path;
}

struct TFigures {
  double FetchMs = 0;
  double LoadMs = 0;
  int Visited = 0;
  int Parents = 0;
};

// Walks the tree the way its branch loads do: every parent once, breadth first.
TFigures Measure(const QString& Path) {
  TADOConnection connection;
  connection.SetParams({u"sqlite"_s, Path, QString(), QString()});
  TADOQuery query;
  query.SetConnection(&connection);
  query.SetSQL(u"exec lookups"_s);
  TFigures figures;
  QElapsedTimer timer;
  timer.start();
  query.Open();
  figures.FetchMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;

  timer.restart();
  std::unique_ptr<TCustomADODataSet> clone(query.NewInstance());
  clone->Clone(query, ltReadOnly);
  TField& key = clone->FieldByName(u"id"_s);
  TField& caption = clone->FieldByName(u"fname"_s);
  std::vector<QString> pending{u"-1"_s};
  qsizetype captionChars = 0;
  for (std::size_t next = 0; next < pending.size(); ++next) {
    ++figures.Parents;
    clone->SetFilter(u"parentid="_s + pending[next]);
    clone->SetFiltered(true);
    for (clone->First(); !clone->Eof(); clone->Next()) {
      const QString id = key.AsString();
      captionChars += caption.AsString().size();
      const TBookmark here = clone->GetBookmark();
      clone->SetFiltered(false);
      const bool hasChildren = !clone->Lookup(u"parentid"_s, id, u"parentid"_s).isNull();
      clone->SetFiltered(true);
      clone->GotoBookmark(here);
      if (hasChildren) pending.push_back(id);
      ++figures.Visited;
    }
    clone->SetFiltered(false);
  }
  figures.LoadMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  if (captionChars == 0) std::printf("(no captions read)\n");
  return figures;
}

}  // namespace

int main() {
  QTemporaryDir dir;
  std::printf("best of 3 runs each\n");
  std::printf("%8s %8s %10s %12s %10s %12s\n", "rows", "parents", "fetch ms", "fetch ns/row", "load ms", "load ns/row");
  for (int rows : {1000, 10000, 100000}) {
    const QString path = MakeLookup(dir, rows);
    TFigures f = Measure(path);
    for (int run = 1; run < 3; ++run) {  // the machine is shared: keep the least disturbed run
      const TFigures again = Measure(path);
      f.FetchMs = std::min(f.FetchMs, again.FetchMs);
      f.LoadMs = std::min(f.LoadMs, again.LoadMs);
    }
    std::printf("%8d %8d %10.1f %12.0f %10.1f %12.0f\n", f.Visited, f.Parents, f.FetchMs, f.FetchMs * 1e6 / rows,
                f.LoadMs, f.LoadMs * 1e6 / rows);
  }
  return 0;
}
