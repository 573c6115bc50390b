#pragma once
// Handing a finished workbook to the user.
//
// In the window (no output file set) the user gets a new, unsaved workbook: the schedule is saved as a
// template ("PPR.xltx", template content type) in a new private folder (mode 0700) under the temporary
// folder and opened there; a spreadsheet application makes an untitled workbook from a template, so the
// user's own Save asks where to put it and never lands in the temporary folder. PPR_OPEN_COMMAND is the
// opener, split at blanks with double quotes grouping a word, the path appended as its last argument
// (default "xdg-open"; "true" opens nothing).
//
// A batch run sets an output file: the workbook is saved there as a normal .xlsx (an existing file is
// refused, never replaced) and nothing is opened.
#include <QString>

class TWorkbook;

class TDesktopHandover {
public:
  // Saves Book and, in the window, starts the opener; returns the saved file's path. Fails when the file
  // cannot be written (leaving no folder behind), or when the opener cannot start or ends with an error
  // within its first second (the message then names the saved file).
  static QString HandOver(TWorkbook& Book);

  // The batch run's output file; empty (the default) for the window's hand-over.
  static void SetOutputFile(const QString& Path);
  static QString OutputFile();
};
