// Writes the schedule's shape (20 columns, a subdivision header merged every 50 rows, borders and wrapping
// over the body) through ExcelCore, and the same cells through libxlsxwriter in its normal and
// constant-memory modes. Each case runs in a child process so that its peak memory is its own.
//
//   bench_schedule_sheet            10,000 and 100,000 rows
//   bench_schedule_sheet 5000       the rows given
//   bench_schedule_sheet --keep ... the files stay in the temporary folder, for a reader to check
#include "bench/common/ChildRun.h"
#include "bench/common/lxw_schedule_book.h"
#include "platform/base/Exception.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "report/ExcelCore.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QFileInfo>
#include <QString>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool GKeep = false;
constexpr int Columns = 20;
constexpr int HeaderEvery = 50;

// The cells of body row I (0-based, headers not counted), as the schedule fills them.
struct TBodyRow {
  std::string Name, Type, Serial;
  int Month;
};

TBodyRow BodyRow(int I) {
  return {"Средство измерения " + std::to_string(I % 500), "МП-" + std::to_string(I % 37), std::to_string(100000 + I),
          I % 12};
}

const char* const Limits = "0–10 МПа";
const char* const Precision = "1,5";
const char* const VrfDate = "03.2012";

QString Q(const std::string& Text) { return QString::fromStdString(Text); }

void WriteWithExcelCore(int Rows, const std::string& Path) {
  using namespace ExcelCore;
  SetOutputFile(QString::fromStdString(Path));
  OpenExcel(QStringLiteral("PPR.xlt"));
  ReplaceText(QStringLiteral("#year#"), QStringLiteral("2024"));
  StartBody(QStringLiteral("#body#"));
  CreateRowBuffer(Columns);
  int body = 0;
  for (int written = 0; written < Rows; ++written) {
    if (written % HeaderEvery == 0) {
      SetBufferCell(0, QString());
      SetBufferCell(1, Q("Подразделение " + std::to_string(written / HeaderEvery + 1)));
      SetBufferCell(2, QStringLiteral("#merge#"));
      WriteRowBuffer();
      NextRow();
      continue;
    }
    const TBodyRow row = BodyRow(body);
    SetBufferCell(0, ++body);
    SetBufferCell(1, Q(row.Name));
    SetBufferCell(2, Q(row.Type));
    SetBufferCell(3, Q(row.Serial));
    SetBufferCell(4, QString::fromUtf8(Limits));
    SetBufferCell(5, QString::fromUtf8(Precision));
    SetBufferCell(6, QString::fromUtf8(VrfDate));
    for (int m = 0; m < 12; ++m) SetBufferCell(7 + m, m == row.Month ? QStringLiteral("П") : QVariant());
    WriteRowBuffer();
    InsertRowBelow();
    NextRow();
  }
  DrawBodyBorders();
  MergeMarkedRows(2, 18);
  ShowWorkbook();
  ReleaseExcel();
}

// The engine alone: Rows rows of 20 values below the template's anchor, with or without a row inserted
// below each one; the two should cost about the same.
void WriteWithEngine(int Rows, const std::string& Path, bool Insert) {
  const QString folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
  auto book = TWorkbook::Load(folder + QStringLiteral("/PPR.xltx"));
  auto sheet = book->ActiveSheet();
  std::vector<QVariant> values(Columns);
  for (int i = 0; i < Rows; ++i) {
    const TBodyRow row = BodyRow(i);
    values[0] = i + 1;
    values[1] = Q(row.Name);
    values[2] = Q(row.Type);
    values[3] = Q(row.Serial);
    for (int m = 0; m < 12; ++m)
      values[static_cast<size_t>(7 + m)] = m == row.Month ? QVariant(QStringLiteral("П")) : QVariant();
    sheet->SetRowValues(11 + i, 1, values.data(), values.size());
    if (Insert) sheet->InsertRow(12 + i);
  }
  book->SaveAs(QString::fromStdString(Path));
}

void WriteWithXlsxWriter(int Rows, const std::string& Path, bool ConstantMemory) {
  const lxw_schedule_book b = lxw_schedule_book_new(Path.c_str(), ConstantMemory);
  lxw_workbook* book = b.book;
  lxw_worksheet* sheet = b.sheet;
  lxw_format *body = b.body, *header = b.header;
  const lxw_row_t top = 10;  // the template's body starts on row 11
  int number = 0;
  for (int written = 0; written < Rows; ++written) {
    const lxw_row_t r = top + static_cast<lxw_row_t>(written);
    if (written % HeaderEvery == 0) {
      worksheet_write_blank(sheet, r, 0, body);
      const std::string caption = "Подразделение " + std::to_string(written / HeaderEvery + 1);
      worksheet_merge_range(sheet, r, 1, r, 20, caption.c_str(), header);
      continue;
    }
    const TBodyRow row = BodyRow(number);
    worksheet_write_number(sheet, r, 0, ++number, body);
    worksheet_write_string(sheet, r, 1, row.Name.c_str(), body);
    worksheet_write_string(sheet, r, 2, row.Type.c_str(), body);
    worksheet_write_string(sheet, r, 3, row.Serial.c_str(), body);
    worksheet_write_string(sheet, r, 4, Limits, body);
    worksheet_write_string(sheet, r, 5, Precision, body);
    worksheet_write_string(sheet, r, 6, VrfDate, body);
    for (int m = 0; m < 12; ++m) {
      const auto col = static_cast<lxw_col_t>(7 + m);
      if (m == row.Month)
        worksheet_write_string(sheet, r, col, "П", body);
      else
        worksheet_write_blank(sheet, r, col, body);
    }
    worksheet_write_blank(sheet, r, 19, body);
  }
  if (workbook_close(book) != LXW_NO_ERROR) std::fprintf(stderr, "libxlsxwriter failed\n");
}

// Runs Case in a child; prints seconds, rows per second, peak memory and the file's size.
template <class TCase>
void Measure(const char* Name, int Rows, const std::string& Path, TCase Case) {
  std::remove(Path.c_str());
  const auto start = std::chrono::steady_clock::now();
  const TChildRun run = RunInChild(Name, Case);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double mib = static_cast<double>(run.Usage.ru_maxrss) / 1024.0;
  const double size = static_cast<double>(QFileInfo(QString::fromStdString(Path)).size()) / (1024.0 * 1024.0);
  std::printf("%-28s %8d rows %8.2f s %10.0f rows/s %8.1f MiB peak %8.2f MiB file%s\n", Name, Rows, seconds,
              Rows / seconds, mib, size, run.Succeeded ? "" : "  FAILED");
  if (GKeep)
    std::printf("  kept %s\n", Path.c_str());
  else
    std::remove(Path.c_str());
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
  if (sizes.empty()) sizes = {10000, 100000};
  setenv("PPR_OPEN_COMMAND", "true", 0);  // a benchmark opens nothing on the desktop
  const std::string folder = P_tmpdir;
  for (int rows : sizes) {
    const std::string stem = folder + "/bench_schedule_" + std::to_string(getpid()) + "_" + std::to_string(rows);
    Measure("ExcelCore (ppr_sheet)", rows, stem + "_core.xlsx", [&] { WriteWithExcelCore(rows, stem + "_core.xlsx"); });
    Measure("engine: rows only", rows, stem + "_rows.xlsx", [&] { WriteWithEngine(rows, stem + "_rows.xlsx", false); });
    Measure("engine: rows + insert below", rows, stem + "_ins.xlsx",
            [&] { WriteWithEngine(rows, stem + "_ins.xlsx", true); });
    if (rows + 10 > 65535)
      std::printf(
          "  note: the layer computes the frame's bottom row in 16 bits, so above 65,535 rows the borders"
          " cover rows 11 to %d only\n",
          (rows + 10) % 65536);
    Measure("libxlsxwriter normal", rows, stem + "_lxw.xlsx",
            [&] { WriteWithXlsxWriter(rows, stem + "_lxw.xlsx", false); });
    Measure("libxlsxwriter const-memory", rows, stem + "_lxwc.xlsx",
            [&] { WriteWithXlsxWriter(rows, stem + "_lxwc.xlsx", true); });
  }
  return 0;
}
