#pragma once
// Small helpers shared by the tests: a scratch folder, the project's folders, and running an
// independent reader (python3 with openpyxl) over a file we wrote.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace TestSupport {

QString SourceDir();  // the project's root
QString BinaryDir();  // the build tree's root
QString BinDir();     // where the executable, the template and the demo database land

struct ProcessResult {
  int ExitCode = -1;
  QString Stdout;
  QString Stderr;
};

// Runs Program with Args and waits (at most TimeoutMs); Env entries "NAME=value" are added.
ProcessResult Run(const QString& Program, const QStringList& Args, const QStringList& Env = {}, int TimeoutMs = 120000);

// Runs a python3 script (given as text) with Args; the Debian python3, which has openpyxl.
ProcessResult RunPython(const QString& Script, const QStringList& Args = {});

// True when the Debian python3 can import openpyxl.
bool HaveOpenpyxl();

}  // namespace TestSupport

#include <QVariant>
#include <ostream>

// Readable failure output for Qt values in GoogleTest assertions.
inline void PrintTo(const QString& Value, std::ostream* Os) { *Os << '"' << Value.toStdString() << '"'; }
inline void PrintTo(const QVariant& Value, std::ostream* Os) {
  *Os << "QVariant(" << Value.typeName() << ", " << Value.toString().toStdString() << ')';
}
