#include "app/RunOptions.h"

#include "app/PluginCore.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

const QStringList kHostSwitches{u"/RepSqlServer"_s, u"/RepDBSource"_s, u"/RepUserLogin"_s, u"/RepUserPass"_s,
                                u"/RepExtraData"_s};
const QStringList kFlags{u"batch"_s, u"demo"_s, u"help"_s, u"version"_s};
const QStringList kValued{u"output"_s, u"year"_s, u"types"_s, u"states"_s, u"subdivs"_s, u"list"_s};
const QStringList kTreeNames{u"types"_s, u"states"_s, u"subdivs"_s};

std::optional<TTreeSelection> ReadList(const QString& Option, const QString& Value, QString& Error) {
  TTreeSelection selection;
  if (Value == u"all"_s) {
    selection.All = true;
    return selection;
  }
  static const QRegularExpression id(u"^[+-]?[0-9]{1,10}$"_s);
  selection.Ids = Value.split(u',');
  for (const QString& item : selection.Ids)
    if (!id.match(item).hasMatch()) {
      Error = u"--%1: \"%2\" is neither \"all\" nor ids separated by commas"_s.arg(Option, Value);
      return std::nullopt;
    }
  return selection;
}

}  // namespace

int TreeIndexOfName(const QString& Name) { return static_cast<int>(kTreeNames.indexOf(Name)); }

TRunOptions ParseRunOptions(const QStringList& Arguments) {
  TRunOptions o;
  QMap<QString, QString> given;  // option name -> value ("" for a flag)
  QString error;
  for (qsizetype i = 0; i < Arguments.size(); ++i) {
    const QString& arg = Arguments[i];
    const bool hostValue = i > 0 && kHostSwitches.contains(Arguments[i - 1]);
    if (i == 0 || hostValue || !arg.startsWith(u"--"_s)) {
      o.HostArguments << arg;
      continue;
    }
    const qsizetype eq = arg.indexOf(u'=');
    const QString name = arg.mid(2, eq < 0 ? -1 : eq - 2);
    std::optional<QString> value;
    if (eq >= 0) value = arg.mid(eq + 1);
    if (kFlags.contains(name)) {
      if (value && error.isEmpty()) error = u"--%1 takes no value"_s.arg(name);
    } else if (kValued.contains(name)) {
      if (!value && i + 1 < Arguments.size()) value = Arguments[++i];
      if (!value && error.isEmpty()) error = u"--%1 needs a value"_s.arg(name);
    } else if (error.isEmpty()) {
      error = u"unknown option %1"_s.arg(name.isEmpty() ? arg : u"--"_s + name);
      continue;
    }
    if (given.contains(name) && error.isEmpty()) error = u"--%1 is given twice"_s.arg(name);
    given.insert(name, value.value_or(QString()));
  }

  o.Demo = given.contains(u"demo"_s);
  if (given.contains(u"help"_s)) {
    o.Mode = TRunMode::Help;
    return o;
  }
  if (given.contains(u"version"_s)) {
    o.Mode = TRunMode::Version;
    return o;
  }
  const bool batch = given.contains(u"batch"_s);
  const bool list = given.contains(u"list"_s);
  o.Mode = batch ? TRunMode::Batch : list ? TRunMode::List : TRunMode::Window;
  if (error.isEmpty() && batch && list) error = u"--batch and --list cannot be combined"_s;
  if (error.isEmpty() && !batch)
    for (const QString& name : {u"output"_s, u"year"_s, u"types"_s, u"states"_s, u"subdivs"_s})
      if (given.contains(name)) {
        error = u"--%1 belongs to a --batch run"_s.arg(name);
        break;
      }
  if (error.isEmpty() && batch && given.value(u"output"_s).isEmpty()) error = u"a --batch run needs --output FILE"_s;
  o.Output = given.value(u"output"_s);
  if (error.isEmpty() && list) {
    o.ListTree = TreeIndexOfName(given.value(u"list"_s));
    if (o.ListTree < 0) error = u"--list takes types, states or subdivs, not \"%1\""_s.arg(given.value(u"list"_s));
  }
  if (given.contains(u"year"_s)) {
    o.Year = given.value(u"year"_s);
    // The year field holds 4 characters; a longer text would be cut there, so it is refused here.
    if (error.isEmpty() && o.Year->size() > 4)
      error = u"--year \"%1\" is longer than the year field's 4 characters"_s.arg(*o.Year);
  }
  for (int t = 0; t < 3 && error.isEmpty(); ++t)
    if (given.contains(kTreeNames[t]))
      o.Selections[static_cast<size_t>(t)] = ReadList(kTreeNames[t], given.value(kTreeNames[t]), error);
  o.UsageError = error;
  return o;
}

QString HostCommandLine(const QStringList& Arguments) {
  return RebuildCommandLine(ParseRunOptions(Arguments).HostArguments);
}

QString UsageText() {
  return uR"(Usage:
  ppr-schedule HOST-SWITCHES                          the window
  ppr-schedule --batch --output FILE [--year TEXT] [--types LIST] [--states LIST] [--subdivs LIST] HOST-SWITCHES
  ppr-schedule --list types|states|subdivs HOST-SWITCHES
  ppr-schedule --demo [--batch ...] [--list ...]      the bundled demo database in place of the host switches
  ppr-schedule --help | --version

HOST-SWITCHES: /RepSqlServer "S" /RepDBSource "D" /RepUserLogin "L" /RepUserPass "P" /RepExtraData "E"
LIST: all, or ids separated by commas (exactly those entries; a tree not named has none checked)
--year: the year field's text, at most 4 characters (default: the current year)
--output: never overwritten; a name ending in .pdf gets the schedule as PDF (needs LibreOffice)
Exit codes: 0 written (path on stdout), 1 any other message, 2 usage error, 3 no data for the selection
)"_s;
}
