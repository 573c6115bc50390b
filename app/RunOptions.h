#pragma once
// The program's own options, read from argv before the host's switches: what kind of run this is,
// the batch run's output, year and selection, and the arguments left for the host's command-line
// text. Headless, so that the interface scripts are written against has its own tests.
//
//   ppr-schedule --batch --output FILE [--year TEXT] [--types LIST] [--states LIST] [--subdivs LIST] HOST-SWITCHES
//   ppr-schedule --list types|states|subdivs HOST-SWITCHES
//   ppr-schedule --demo [--batch ...] [--list ...]
//   ppr-schedule --help | --version
//
//   const TRunOptions o = ParseRunOptions({"ppr", "--batch", "--output", "a.xlsx", "/RepSqlServer", "s"});
//   o.Mode == TRunMode::Batch;  o.Output == "a.xlsx";  o.HostArguments == {"ppr", "/RepSqlServer", "s"}
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

enum class TRunMode { Window, Batch, List, Help, Version };

// One tree's selection: every node, or exactly the nodes with these ids (no descendants).
struct TTreeSelection {
  bool All = false;
  QStringList Ids;  // as typed, each a decimal integer
};

struct TRunOptions {
  TRunMode Mode = TRunMode::Window;
  bool Demo = false;
  QString Output;
  std::optional<QString> Year;  // as typed, at most 4 characters
  // Index 0 types, 1 states, 2 subdivisions (the window's page order). A tree not named: nothing.
  std::array<std::optional<TTreeSelection>, 3> Selections;
  int ListTree = -1;  // --list: the page index of the tree to print
  // argv[0] and every argument that is not one of our options: the host's switches and values.
  QStringList HostArguments;
  // Not empty: the command line is not understood (exit code 2); one line naming what is wrong.
  QString UsageError;
};

// Reads Arguments (argv, program path first). An argument beginning with "--" is one of our options
// ("--name VALUE" or "--name=VALUE") wherever it stands, except directly after one of the five host
// switch names, where it is that switch's value. Everything else goes to HostArguments unchanged.
TRunOptions ParseRunOptions(const QStringList& Arguments);

// The usage text printed for --help (stdout) and after a usage error (stderr).
QString UsageText();

// The host's command-line text rebuilt from argv with our options taken out (RebuildCommandLine's
// rule over HostArguments). What the host switches are read from in every kind of run.
//   HostCommandLine({"/opt/ppr", "--demo", "/RepSqlServer", "s"}) == "/opt/ppr /RepSqlServer \"s\""
QString HostCommandLine(const QStringList& Arguments);

// The selection names and page indexes: "types" 0, "states" 1, "subdivs" 2; -1 for any other name.
int TreeIndexOfName(const QString& Name);
