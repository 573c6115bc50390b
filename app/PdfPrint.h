#pragma once
// The schedule as PDF for a batch run: the saved workbook printed by LibreOffice, headless.
#include <QString>

// True when the name asks for PDF (ends in ".pdf", any case).
bool IsPdfName(const QString& Path);

// The refusal when LibreOffice is not installed.
QString NoLibreOfficeText();

// Prints Workbook to the new file Pdf with LibreOffice (a profile of its own, so that parallel runs and
// a LibreOffice the user has open do not clash), then moves it into place without replacing anything.
// Fails with a message when LibreOffice is not installed, gives no PDF, or Pdf exists by then. Leaves
// nothing of its own behind; a signal meanwhile takes effect when the work is cleaned up.
void PrintToPdf(const QString& Workbook, const QString& Pdf);
