/* The schedule's shape written by libxlsxwriter, as the fastest writer we compare the whole program with:
 * one merged, bold, centred header row per 50 instruments, then one row of 20 bordered, wrapped cells per
 * instrument (number, six descriptive texts, twelve month cells, one empty), the due months computed by
 * the program's rule for the same generated instruments as the benchmark's report database.
 *
 *   lxw_schedule OUT.xlsx INSTRUMENTS [constant]     constant: libxlsxwriter's constant_memory mode
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "bench/common/lxw_schedule_book.h"

static int due(int year, int vrf_year, int vrf_month, int month, int period) {
  int d = (year - vrf_year) * 12 + month - vrf_month;
  if (d < 0) d = -d;
  return d % period == 0;
}

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: lxw_schedule OUT.xlsx INSTRUMENTS [constant]\n");
    return 2;
  }
  const int n = atoi(argv[2]);
  const lxw_schedule_book b = lxw_schedule_book_new(argv[1], argc > 3 && strcmp(argv[3], "constant") == 0);
  lxw_workbook* book = b.book;
  lxw_worksheet* sheet = b.sheet;
  lxw_format *body = b.body, *header = b.header;

  const int year = 2024, groups = n / 50 > 0 ? n / 50 : 1;
  char text[128];
  lxw_row_t row = 10;
  int number = 1;
  /* The program sorts by subdivision; the generator gives group g the subdivision (g * 7919) % groups,
   * so walking the subdivisions in order visits each group once. */
  for (int sub = 0; sub < groups; ++sub) {
    int group = -1;
    for (int g = 0; g < groups; ++g)
      if ((long)g * 7919 % groups == sub) {
        group = g;
        break;
      }
    if (group < 0) continue;
    snprintf(text, sizeof text, "Подразделение %05d", sub);
    worksheet_write_blank(sheet, row, 0, body);
    worksheet_merge_range(sheet, row, 1, row, 20, text, header);
    ++row;
    for (int i = group * 50; i < n && i < group * 50 + 50; ++i) {
      const int vm = i % 12 + 1, vy = 2020 + i % 5, interval = 12 * (1 + i % 3);
      worksheet_write_number(sheet, row, 0, number++, body);
      snprintf(text, sizeof text, "Средство измерения %d", i % 500);
      worksheet_write_string(sheet, row, 1, text, body);
      snprintf(text, sizeof text, "МП-%d", i % 37);
      worksheet_write_string(sheet, row, 2, text, body);
      snprintf(text, sizeof text, "N%d", 100000 + i);
      worksheet_write_string(sheet, row, 3, text, body);
      worksheet_write_string(sheet, row, 4, "0...10 МПа", body);
      worksheet_write_string(sheet, row, 5, "1,5", body);
      snprintf(text, sizeof text, "15.%02d.%04d", vm, vy);
      worksheet_write_string(sheet, row, 6, text, body);
      for (int m = 1; m <= 12; ++m) {
        const char* value = NULL;
        if (due(year, vy, vm, m, 6)) value = "ТО";
        if (due(year, vy, vm, m, 12)) value = "ТР";
        if (due(year, vy, vm, m, interval)) value = "П";
        if (value)
          worksheet_write_string(sheet, row, (lxw_col_t)(6 + m), value, body);
        else
          worksheet_write_blank(sheet, row, (lxw_col_t)(6 + m), body);
      }
      worksheet_write_blank(sheet, row, 19, body);
      ++row;
    }
  }
  if (workbook_close(book) != LXW_NO_ERROR) {
    fprintf(stderr, "libxlsxwriter failed\n");
    return 1;
  }
  return 0;
}
