/* The schedule's workbook as libxlsxwriter writes it for comparison: one sheet "График", the body's
 * format (thin borders, wrapped text) and the subdivision headers' (thin borders, bold, centred).
 * C, so that the stand-alone writer (bench/end_to_end/lxw_schedule.c) and the C++ benchmarks share it. */
#ifndef PPR_LXW_SCHEDULE_BOOK_H
#define PPR_LXW_SCHEDULE_BOOK_H

#include <string.h>
#include <xlsxwriter.h>

typedef struct {
  lxw_workbook* book;
  lxw_worksheet* sheet;
  lxw_format* body;
  lxw_format* header;
} lxw_schedule_book;

static inline lxw_schedule_book lxw_schedule_book_new(const char* path, int constant_memory) {
  lxw_workbook_options options;
  memset(&options, 0, sizeof options);
  options.constant_memory = constant_memory ? LXW_TRUE : LXW_FALSE;
  lxw_schedule_book b;
  b.book = workbook_new_opt(path, &options);
  b.sheet = workbook_add_worksheet(b.book, "График");
  b.body = workbook_add_format(b.book);
  format_set_border(b.body, LXW_BORDER_THIN);
  format_set_text_wrap(b.body);
  b.header = workbook_add_format(b.book);
  format_set_border(b.header, LXW_BORDER_THIN);
  format_set_bold(b.header);
  format_set_align(b.header, LXW_ALIGN_CENTER);
  return b;
}

#endif
