#pragma once
// A strict reader of our own for the workbooks the tests write, independent of the engine: it opens the
// package with libzip and every part with pugixml, and checks what a spreadsheet application would
// otherwise repair or refuse: content types for every part, relationships that lead to parts, style and
// shared-string indexes in range, rows and cells in ascending order, merges that parse and do not overlap,
// columns in order, the dimension equal to the cells' extent, the worksheet's elements in schema order.
#include <QString>
#include <QStringList>

namespace WorkbookCheck {

// What is wrong with the package at Path, one line each; empty when nothing is.
QStringList Problems(const QString& Path);

}  // namespace WorkbookCheck

// GoogleTest: fails the current test, listing the problems, when the package at Path has any.
void ExpectStrictWorkbook(const QString& Path);
