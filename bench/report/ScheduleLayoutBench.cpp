// The annual schedule end to end: an SQLite report database of N instruments with two repair kinds
// each (2N result rows, one subdivision per 50 instruments, the subdivisions scrambled so the sort has
// work), fetched through rprt_get_PPR_box, sorted, laid out by ExcelDraw and saved. Beside it,
// libxlsxwriter writes the same body cells (values, borders, merged headers) in its normal mode.
// Each case runs in its own child process, so that its peak memory is its own.
//
//   bench_schedule_layout              10,000, 30,000 and 100,000 instruments
//   bench_schedule_layout 5000 20000   the sizes given
//   bench_schedule_layout --keep ...   the workbooks stay, for a reader to check
//
// Build it optimised for figures worth comparing (libxlsxwriter is the system's optimised library):
//   cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DPPR_BUILD_TESTS=OFF
//   cmake --build build-rel --target bench_schedule_layout && build-rel/bin/bench_schedule_layout
//
// The save share is measured by saving the finished workbook a second time; layout is ExcelDraw's
// time less that share. The second save's own peak memory is shown beside the finished sheet's.
#include "bench/common/ChildRun.h"
#include "bench/common/lxw_schedule_book.h"
#include "platform/base/Exception.h"
#include "platform/data/ado/ADOConnection.h"
#include "platform/data/ado/ADOStoredProc.h"
#include "platform/sheet/SheetApplication.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "report/ExcelCore.h"
#include "report/PlainScheduleYear.h"
#include "report/ScheduleLayout.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

bool GKeep = false;
constexpr int BodyColumns = 20;

using TClock = std::chrono::steady_clock;
double Seconds(TClock::time_point From, TClock::time_point To) {
  return std::chrono::duration<double>(To - From).count();
}
// Resident memory now (the peak alone cannot tell the fetched rows from the sheet).
double ResidentMiB() {
  long pages = 0, resident = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}
double PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}
// The peak since the last ResetPeak (VmHWM; Linux resets it on "5" written to clear_refs), so that the
// save's own peak shows apart from the layout's; -1 where the kernel does not tell.
void ResetPeak() {
  if (FILE* refs = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", refs);
    std::fclose(refs);
  }
}
double PeakSinceResetMiB() {
  double kib = -1;
  if (FILE* status = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, status))
      if (std::sscanf(line, "VmHWM: %lf kB", &kib) == 1) break;
    std::fclose(status);
  }
  return kib < 0 ? -1 : kib / 1024.0;
}

// The whole-process benchmark's database (db/make_report_db.py, the flat shape): N instruments, two
// repair kinds each, one subdivision per 50 instruments, the subdivisions scrambled.
void MakeDatabase(const std::string& Path, int Instruments) {
  const std::string command =
      "python3 " PPR_SOURCE_DIR "/db/make_report_db.py '" + Path + "' " + std::to_string(Instruments) + " flat";
  if (std::system(command.c_str()) != 0) std::exit(1);
}

// Keeps the workbook ExcelDraw makes, so that it can be saved once more and its cells read afterwards.
class TKeepingApplication : public TSheetApplication {
public:
  explicit TKeepingApplication(std::shared_ptr<TWorkbook>& Kept) : FKept(Kept) {}
  std::shared_ptr<TWorkbook> AddWorkbook(const QString& Path) override {
    FKept = TSheetApplication::AddWorkbook(Path);
    return FKept;
  }

private:
  std::shared_ptr<TWorkbook>& FKept;
};

// The body cells of the finished sheet as lines of tab-separated fields (numbers marked '#'), then
// "M row" for each merged header row: what the libxlsxwriter case writes.
void DumpBody(TWorksheet& Sheet, const std::string& Path) {
  QFile file(QString::fromStdString(Path));
  if (!file.open(QIODevice::WriteOnly)) std::exit(1);
  QTextStream out(&file);
  const TCellRect used = Sheet.Dimension();
  for (int32_t row = 11; row <= used.R2; ++row) {
    const QVariant first = Sheet.Value(row, 1), second = Sheet.Value(row, 2);
    if (!first.isValid() && !second.isValid()) break;  // the blank row after the body
    out << row;
    for (int32_t col = 1; col <= BodyColumns; ++col) {
      const QVariant value = Sheet.Value(row, col);
      out << '\t';
      if (value.typeId() == QMetaType::QString)
        out << value.toString();
      else if (value.isValid())
        out << '#' << value.toString();
    }
    out << '\n';
  }
  for (const TCellRect& merged : Sheet.MergedRanges())
    if (merged.R1 >= 11) out << "M\t" << merged.R1 << '\t' << merged.C1 << '\t' << merged.C2 << '\n';
}

void RunLayout(const std::string& Db, const std::string& Output, const std::string& Cells, int Instruments) {
  const auto t0 = TClock::now();
  TADOConnection connection;
  connection.SetConnectionString(u"Data Source=sqlite;Initial Catalog="_s + QString::fromStdString(Db));
  connection.Open();
  TADOStoredProc sp1;
  sp1.SetConnection(&connection);
  sp1.SetProcedureName(u"rprt_get_PPR_box"_s);
  sp1.Open();
  const auto t1 = TClock::now();
  const double fetched = ResidentMiB();
  sp1.SetSort(u"sub"_s);  // what ExcelDraw does first; there it then finds the order already set
  const auto t2 = TClock::now();
  std::shared_ptr<TWorkbook> kept;
  ExcelCore::SetSheetApplicationFactory([&kept] { return std::make_shared<TKeepingApplication>(kept); });
  ExcelCore::SetOutputFile(QString::fromStdString(Output));
  ExcelDraw(sp1, TPlainScheduleYear(u"2024"_s));
  const auto t3 = TClock::now();
  const double peak = PeakMiB();
  const double laidOut = ResidentMiB();
  ResetPeak();
  kept->SaveAs(QString::fromStdString(Output + ".again.xlsx"));
  const auto t4 = TClock::now();
  const double savePeak = PeakSinceResetMiB();
  std::remove((Output + ".again.xlsx").c_str());
  const double save = Seconds(t3, t4);
  const double total = Seconds(t0, t3);
  std::printf(
      "%-22s %7d instr %7d rows  fetch %6.2f s  sort %5.2f s  layout %6.2f s  save %5.2f s  total %6.2f s"
      "  %5.1f us/instr  %7.1f MiB peak\n",
      "ExcelDraw (ppr)", Instruments, sp1.RecordCount(), Seconds(t0, t1), Seconds(t1, t2), Seconds(t2, t3) - save, save,
      total, total * 1e6 / Instruments, peak);
  std::printf(
      "   resident: %.1f MiB after the fetch, %.1f MiB with the finished sheet; saving it peaks at %.1f MiB"
      " (%+.1f MiB over the resident before it)\n",
      fetched, laidOut, savePeak, savePeak - laidOut);
  std::fflush(stdout);
  DumpBody(*kept->ActiveSheet(), Cells);
}

void RunXlsxWriter(const std::string& Cells, const std::string& Output, int Instruments) {
  // Read the cells first (not timed): the case times the writing alone.
  struct TLine {
    lxw_row_t Row;
    std::vector<std::string> Fields;
  };
  std::vector<TLine> lines;
  std::vector<lxw_row_t> merged;
  {
    QFile file(QString::fromStdString(Cells));
    if (!file.open(QIODevice::ReadOnly)) std::exit(1);
    QTextStream in(&file);
    QString line;
    while (in.readLineInto(&line)) {
      const QStringList fields = line.split(u'\t');
      if (fields[0] == u"M"_s) {
        merged.push_back(static_cast<lxw_row_t>(fields[1].toInt() - 1));
        continue;
      }
      TLine entry{static_cast<lxw_row_t>(fields[0].toInt() - 1), {}};
      for (qsizetype i = 1; i < fields.size(); ++i) entry.Fields.push_back(fields[i].toStdString());
      lines.push_back(std::move(entry));
    }
  }
  std::vector<bool> isHeader(lines.empty() ? 0 : lines.back().Row + 1, false);
  for (lxw_row_t row : merged)
    if (row < isHeader.size()) isHeader[row] = true;

  const auto t0 = TClock::now();
  const lxw_schedule_book b = lxw_schedule_book_new(Output.c_str(), 0);
  lxw_workbook* book = b.book;
  lxw_worksheet* sheet = b.sheet;
  lxw_format *body = b.body, *header = b.header;
  for (const TLine& line : lines) {
    if (isHeader[line.Row]) {
      worksheet_write_blank(sheet, line.Row, 0, body);
      worksheet_merge_range(sheet, line.Row, 1, line.Row, 20, line.Fields[1].c_str(), header);
      continue;
    }
    for (lxw_col_t col = 0; col < line.Fields.size(); ++col) {
      const std::string& field = line.Fields[col];
      if (field.empty())
        worksheet_write_blank(sheet, line.Row, col, body);
      else if (field[0] == '#')
        worksheet_write_number(sheet, line.Row, col, std::atof(field.c_str() + 1), body);
      else
        worksheet_write_string(sheet, line.Row, col, field.c_str(), body);
    }
  }
  if (workbook_close(book) != LXW_NO_ERROR) std::fprintf(stderr, "libxlsxwriter failed\n");
  const double total = Seconds(t0, TClock::now());
  std::printf("%-22s %7d instr %7zu rows  write %6.2f s  %5.1f us/instr  %7.1f MiB peak\n", "libxlsxwriter normal",
              Instruments, lines.size(), total, total * 1e6 / Instruments, PeakMiB());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--keep")
      GKeep = true;
    else
      sizes.push_back(std::atoi(argv[i]));
  }
  if (sizes.empty()) sizes = {10000, 30000, 100000};
  setenv("PPR_OPEN_COMMAND", "true", 1);  // a benchmark opens nothing on the desktop
  for (int n : sizes) {
    QTemporaryDir dir;
    dir.setAutoRemove(!GKeep);
    const std::string folder = dir.path().toStdString();
    const auto t0 = TClock::now();
    MakeDatabase(folder + "/report.db", n);
    std::printf("-- %d instruments: database made in %.2f s (not counted)\n", n, Seconds(t0, TClock::now()));
    const bool ok = RunInChild("ExcelDraw (ppr)", [&] {
                      RunLayout(folder + "/report.db", folder + "/ppr.xlsx", folder + "/cells.tsv", n);
                    }).Succeeded;
    if (!ok) {
      std::printf("ExcelDraw FAILED\n");
      continue;
    }
    RunInChild("libxlsxwriter normal", [&] { RunXlsxWriter(folder + "/cells.tsv", folder + "/lxw.xlsx", n); });
    const auto size = [](const std::string& Path) {
      return static_cast<double>(QFileInfo(QString::fromStdString(Path)).size()) / (1024.0 * 1024.0);
    };
    std::printf("   files: ppr %.2f MiB, libxlsxwriter %.2f MiB%s\n", size(folder + "/ppr.xlsx"),
                size(folder + "/lxw.xlsx"), GKeep ? (" (kept in " + folder + ")").c_str() : "");
    // The frame's bottom row is kept in 16 bits by the automation layer.
    if (10 + n + n / 50 > 65535)
      std::printf("   note: the body passes row 65,535, so its frame stops where the 16-bit bottom row wraps\n");
  }
  return 0;
}
