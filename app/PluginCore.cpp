#include "app/PluginCore.h"

#include "app/RunOptions.h"
#include "platform/base/MessageService.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <cstdio>
#include <cstdlib>

TConnectionSettings ConnectionSettings;

namespace {

struct TSwitchRow {
  const char16_t* Name;
  qsizetype Skip;  // the name's length plus the separator and the opening quotation mark
  const char16_t* EndMarker;
  QString TConnectionSettings::*Field;
};

const std::array<TSwitchRow, 5> kSwitches{{
    {u"/RepSqlServer", 15, u"/RepDBSource", &TConnectionSettings::SqlServer},
    {u"/RepDBSource", 14, u"/RepUserLogin", &TConnectionSettings::DBSource},
    {u"/RepUserLogin", 15, u"/RepUserPass", &TConnectionSettings::UserLogin},
    {u"/RepUserPass", 14, u"/RepExtraData", &TConnectionSettings::UserPass},
    {u"/RepExtraData", 15, nullptr, &TConnectionSettings::ExtraData},
}};

}  // namespace

TConnectionSettings ReadCommandLine(const QString& CommandLine) {
  TConnectionSettings settings;
  QString r = CommandLine;
  for (const TSwitchRow& row : kSwitches) {
    const qsizetype at = r.indexOf(QString::fromUtf16(row.Name), 0, Qt::CaseSensitive);
    if (at >= 0) r = r.mid(at);
    QString v = r.size() > row.Skip ? r.mid(row.Skip) : QString();
    if (row.EndMarker) {
      const qsizetype end = v.indexOf(QString::fromUtf16(row.EndMarker), 0, Qt::CaseSensitive);
      if (end >= 0) v.truncate(end);
    }
    const qsizetype quote = v.lastIndexOf(u'"');
    if (quote >= 0) v.truncate(quote);
    settings.*row.Field = v;
  }
  return settings;
}

bool IsParameterListComplete(const TConnectionSettings& Settings) {
  return !(Settings.UserLogin.isEmpty() || Settings.DBSource.isEmpty() || Settings.SqlServer.isEmpty() ||
           Settings.UserLogin == Settings.SqlServer);
}

QString RebuildCommandLine(const QStringList& Arguments) {
  QString text;
  for (qsizetype i = 0; i < Arguments.size(); ++i) {
    const QString& arg = Arguments[i];
    if (i == 0) {
      text = arg;
      continue;
    }
    text += u' ';
    bool isSwitch = false;
    for (const TSwitchRow& row : kSwitches) isSwitch = isSwitch || arg == QString::fromUtf16(row.Name);
    text += isSwitch ? arg : u'"' + arg + u'"';
  }
  return text;
}

QString GetCommandLineW() {
  QFile file(QStringLiteral("/proc/self/cmdline"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  QByteArray raw = file.readAll();
  if (raw.endsWith('\0')) raw.chop(1);
  QStringList arguments;
  for (const QByteArray& part : raw.split('\0')) arguments << QString::fromLocal8Bit(part);
  return HostCommandLine(arguments);
}

TConnectionSettings DemoConnectionSettings() {
  // Beside the executable wherever it is started from; argv[0] may be relative or a link.
  const QFileInfo self(QStringLiteral("/proc/self/exe"));
  const QString folder = QFileInfo(self.canonicalFilePath()).absolutePath();
  return {QStringLiteral("sqlite"), folder + QStringLiteral("/demo.db"), QStringLiteral("demo"), QString(), QString()};
}

QString IncompleteParametersText() { return QStringLiteral("Не полный список параметров."); }
QString ApplicationClosingCaption() { return QStringLiteral("Приложение будет закрыто"); }

void ParseCommandLine() {
  ConnectionSettings = ReadCommandLine(GetCommandLineW());
  if (IsParameterListComplete(ConnectionSettings)) return;
  MessageService().Show(
      {IncompleteParametersText(), ApplicationClosingCaption(), TMessageIcon::Warning, TMessageButtons::Ok, false});
  // No normal shutdown: nothing else exists yet that would need one.
  std::fflush(nullptr);
  std::_Exit(0);
}
