#pragma once
// Start-up: reading the host's command line into ConnectionSettings.
#include "app/ConnectionSettings.h"
#include "platform/base/IdArray.h"  // SwapBytes32

#include <QString>
#include <QStringList>

// Reads the five values from the whole command-line text exactly as the host wrote it. Each switch
// is searched from the previous one onwards (the working text is never reset); its value starts
// after the switch name plus two characters (one separator, the opening quotation mark), ends before
// the next switch name and then before the last double quotation mark. No trimming, no unescaping.
//   ReadCommandLine(u"app.exe /RepSqlServer \"srv\" /RepDBSource \"db\" ..."_s).SqlServer == u"srv"
TConnectionSettings ReadCommandLine(const QString& CommandLine);

// The list is incomplete when the login, the database or the server is empty, or the login equals
// the server (case-sensitive).
bool IsParameterListComplete(const TConnectionSettings& Settings);

// The command line as one text, as a Windows host would have written it. Our argv comes already
// split; it is joined back as: the program path as it stands, then for each argument one blank and
// either the argument as it stands when it is exactly one of the five switch names, or the argument
// enclosed in double quotation marks.
//   {"/opt/ppr-schedule", "/RepSqlServer", "my server"} -> /opt/ppr-schedule /RepSqlServer "my server"
QString RebuildCommandLine(const QStringList& Arguments);

// The process's own command line (read from /proc/self/cmdline, so that it needs no argv), with the
// program's own "--" options taken out (HostCommandLine in RunOptions.h), rebuilt as above.
QString GetCommandLineW();

// The bundled demo database, demo.db beside the executable, as the host's five values: server "sqlite",
// login "demo", password and extra data empty.
TConnectionSettings DemoConnectionSettings();

// The first statement of the program: fills ConnectionSettings from GetCommandLineW(); when the list
// is incomplete, shows "Не полный список параметров." (caption "Приложение будет закрыто", warning icon,
// no owner window) and ends the process at once with exit code 0.
void ParseCommandLine();

// The texts of the incomplete-list stop.
QString IncompleteParametersText();
QString ApplicationClosingCaption();
