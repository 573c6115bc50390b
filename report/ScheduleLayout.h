#pragma once
// The annual schedule of planned verification and repair work, laid out from the open result of
// rprt_get_PPR_box into a new workbook made from the template "PPR.xlt" beside the executable.
//
//   sp1.Open();                                  // the report procedure's rows
//   ExcelDraw(sp1, TPlainScheduleYear(u"2013"_s));
//
// The hourglass shows for the whole call and the default cursor comes back on every path. An empty
// result shows "Для выбранной комбинации типов СИ и подразделения отсутствуют данные." and starts no
// workbook. Otherwise sp1 is sorted by "sub" (stably) and on return stands at its end; one header row
// per subdivision ("Sid") and one numbered row per instrument ("IdN") with a due month are written,
// the body framed, the header rows merged, and the workbook handed to the user (ExcelCore::ShowWorkbook).
//
// A month is due when its distance in months from "VrfDate" (MM.YYYY), forwards or backwards, is a
// multiple of "VrfInterval" (the verification: "VrfType") or of a row's "RemPeriod" (that repair:
// "RemName"); the verification wins a month it shares with a repair, a later repair row an earlier.
//
// Failures are Exception, the workbook then never shown and dropped: "Field '%s' not found",
// "Division by zero" (an interval whose low 16 bits are 0, a "RemPeriod" of 0), "''%s'' is not a
// valid integer value" (a malformed "VrfDate"), a text longer than a cell holds (naming the column and the
// instrument's "IdN"), a template without the anchor "#body#" (naming the template), and the workbook
// engine's messages.
#include "report/ScheduleYear.h"

class TDataSet;

void ExcelDraw(TDataSet& sp1, const TScheduleYear& meYear);
