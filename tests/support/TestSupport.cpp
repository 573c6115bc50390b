#include "tests/support/TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

namespace TestSupport {

QString SourceDir() { return QStringLiteral(PPR_SOURCE_DIR); }
QString BinaryDir() { return QStringLiteral(PPR_BINARY_DIR); }
QString BinDir() { return BinaryDir() + QStringLiteral("/bin"); }

ProcessResult Run(const QString& Program, const QStringList& Args, const QStringList& Env, int TimeoutMs) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const QString& entry : Env) {
    const qsizetype eq = entry.indexOf(u'=');
    env.insert(entry.left(eq), entry.mid(eq + 1));
  }
  process.setProcessEnvironment(env);
  process.start(Program, Args);
  ProcessResult result;
  if (!process.waitForStarted(TimeoutMs)) {
    result.Stderr = process.errorString();
    return result;
  }
  process.closeWriteChannel();
  if (!process.waitForFinished(TimeoutMs)) {
    process.kill();
    process.waitForFinished();
    result.Stderr = QStringLiteral("timed out");
    return result;
  }
  result.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  result.Stdout = QString::fromUtf8(process.readAllStandardOutput());
  result.Stderr = QString::fromUtf8(process.readAllStandardError());
  return result;
}

static QString Python() {
  // The Debian interpreter: it is the one that python3-openpyxl installs into.
  return QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                           : QStringLiteral("python3");
}

ProcessResult RunPython(const QString& Script, const QStringList& Args) {
  return Run(Python(), QStringList{QStringLiteral("-c"), Script} + Args);
}

bool HaveOpenpyxl() {
  static const bool have = RunPython(QStringLiteral("import openpyxl")).ExitCode == 0;
  return have;
}

}  // namespace TestSupport
