#pragma once
// Handing a finished workbook to the user: it is saved once as a new file and opened by the desktop.
//
// PPR_OUTPUT names the file for a batch run (an existing file is refused, never replaced); without it the
// file goes into a new private folder (mode 0700) under the temporary folder, named after the template
// ("PPR.xlsx"). PPR_OPEN_COMMAND is the command that opens it, split at blanks with double quotes grouping
// a word, the path appended as its last argument (default "xdg-open"; "true" opens nothing).
#include <QString>

class TWorkbook;

class TDesktopHandover {
public:
  // Saves Book and starts the opening command; returns the saved file's path. Fails when the file cannot
  // be written, or when the command cannot start (the message then names the saved file).
  static QString HandOver(TWorkbook& Book);
};
