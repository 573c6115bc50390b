#pragma once
// The scripted runs: a batch run and the listing of a lookup tree, both through the window's own form
// code (FormCreate, the trees, btn1Click, ExcelDraw) with no window and no display, plus --help and
// --version. Every message the window would show goes to stderr as one plain line. See RunOptions.h for
// the command line.
//
//   ppr-schedule --demo --batch --output /tmp/2027.xlsx --year 2027 --subdivs 3,7 --types all --states all
#include "app/RunOptions.h"

// The exit codes of the scripted interface.
enum TExitCode : int {
  ecWritten = 0,  // the workbook (or PDF) is at --output, its path on stdout; a listing printed
  ecMessage = 1,  // any message (the failure at start, a refused --output, the request's own messages)
  ecUsage = 2,    // the command line is not understood; the usage follows on stderr
  ecNoData = 3,  // "Для выбранной комбинации типов СИ и подразделения отсутствуют данные."
};

// Runs Options (any mode but the window, or a usage error) and returns the exit code. Needs a
// QCoreApplication; fills ConnectionSettings from the host switches or the demo database.
int RunScripted(const TRunOptions& Options);
