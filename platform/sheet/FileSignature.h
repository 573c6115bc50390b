#pragma once
// What kind of workbook a file is, from its first bytes.
#include <QString>

// True when the file starts with the signature of a binary (compound document) workbook, which the
// engine does not read.
bool IsBinaryWorkbookFile(const QString& Path);
