#pragma once
// A run without a window (PPR_BATCH=1): the window's own creation and report request, with every
// node of the three trees checked and the year from PPR_BATCH_YEAR (else the current year). The
// workbook goes where PPR_OUTPUT names (never over an existing file) or to a new private folder;
// its path is printed on stdout. Messages go to stderr.
//   PPR_BATCH=1 PPR_OUTPUT=/tmp/ppr.xlsx ppr-schedule /RepSqlServer "sqlite" /RepDBSource "demo.db" ...
#include <QString>

// True when the environment asks for a batch run.
bool IsBatchRun();

// Runs the job; the result is the saved workbook's path, or empty when none was made (the reason
// has been shown through the message service).
QString RunBatch();
