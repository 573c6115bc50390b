// The program's own options: which run, its values, what is left for the host's command line, and
// every usage error, read from argv as a script would write it.
#include "app/RunOptions.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QStringList kHost{u"/RepSqlServer"_s, u"sqlite"_s, u"/RepDBSource"_s, u"/d/demo.db"_s,
                        u"/RepUserLogin"_s, u"demo"_s,   u"/RepUserPass"_s, u""_s,
                        u"/RepExtraData"_s, u""_s};

QStringList Args(const QStringList& Ours, const QStringList& Host = kHost) {
  return QStringList{u"/opt/ppr-schedule"_s} + Ours + Host;
}

TEST(RunOptions, RunsAndTheirValues) {
  struct Row {
    const char* Name;
    QStringList Arguments;
    TRunMode Mode;
    bool Demo;
    QString Output;
    std::optional<QString> Year;
    int ListTree;
  } rows[] = {
      {"host switches only: the window", Args({}), TRunMode::Window, false, {}, std::nullopt, -1},
      {"demo window", {u"p"_s, u"--demo"_s}, TRunMode::Window, true, {}, std::nullopt, -1},
      {"batch", Args({u"--batch"_s, u"--output"_s, u"out.xlsx"_s}), TRunMode::Batch, false, u"out.xlsx"_s, std::nullopt,
       -1},
      {"batch, values after =", Args({u"--batch"_s, u"--output=a b.pdf"_s, u"--year=2027"_s}), TRunMode::Batch, false,
       u"a b.pdf"_s, u"2027"_s, -1},
      {"options after the host switches",
       QStringList{u"p"_s} + kHost + QStringList{u"--batch"_s, u"--output"_s, u"o"_s}, TRunMode::Batch, false, u"o"_s,
       std::nullopt, -1},
      {"year as typed", Args({u"--batch"_s, u"--output"_s, u"o"_s, u"--year"_s, u"20-1"_s}), TRunMode::Batch, false,
       u"o"_s, u"20-1"_s, -1},
      {"empty year", Args({u"--batch"_s, u"--output"_s, u"o"_s, u"--year"_s, u""_s}), TRunMode::Batch, false, u"o"_s,
       u""_s, -1},
      {"list subdivisions", Args({u"--list"_s, u"subdivs"_s}), TRunMode::List, false, {}, std::nullopt, 2},
      {"demo list types", {u"p"_s, u"--demo"_s, u"--list"_s, u"types"_s}, TRunMode::List, true, {}, std::nullopt, 0},
      {"help wins", Args({u"--batch"_s, u"--help"_s}), TRunMode::Help, false, {}, std::nullopt, -1},
      {"version", {u"p"_s, u"--version"_s}, TRunMode::Version, false, {}, std::nullopt, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    const TRunOptions o = ParseRunOptions(row.Arguments);
    EXPECT_EQ(o.UsageError, QString());
    EXPECT_EQ(o.Mode, row.Mode);
    EXPECT_EQ(o.Demo, row.Demo);
    EXPECT_EQ(o.Output, row.Output);
    EXPECT_EQ(o.Year, row.Year);
    EXPECT_EQ(o.ListTree, row.ListTree);
  }
}

TEST(RunOptions, SelectionLists) {
  const TRunOptions o =
      ParseRunOptions(Args({u"--batch"_s, u"--output"_s, u"o"_s, u"--types"_s, u"all"_s, u"--subdivs"_s, u"3,7,-2"_s}));
  ASSERT_EQ(o.UsageError, QString());
  ASSERT_TRUE(o.Selections[0].has_value());
  EXPECT_TRUE(o.Selections[0]->All);
  EXPECT_FALSE(o.Selections[1].has_value()) << "a tree not named has nothing checked";
  ASSERT_TRUE(o.Selections[2].has_value());
  EXPECT_FALSE(o.Selections[2]->All);
  EXPECT_EQ(o.Selections[2]->Ids, (QStringList{u"3"_s, u"7"_s, u"-2"_s}));
}

TEST(RunOptions, UsageErrors) {
  struct Row {
    const char* Name;
    QStringList Arguments;
    const char16_t* Names;  // what the error must name
  } rows[] = {
      {"unknown option", Args({u"--batch"_s, u"--output"_s, u"o"_s, u"--colour"_s}), u"--colour"},
      {"bare --", Args({u"--"_s}), u"--"},
      {"missing value at the end", {u"p"_s, u"--batch"_s, u"--output"_s}, u"--output"},
      {"batch without output", Args({u"--batch"_s, u"--year"_s, u"2027"_s}), u"--output"},
      {"batch with an empty output", Args({u"--batch"_s, u"--output="_s}), u"--output"},
      {"flag with a value", Args({u"--batch=1"_s, u"--output"_s, u"o"_s}), u"--batch"},
      {"option twice", Args({u"--batch"_s, u"--output"_s, u"o"_s, u"--year"_s, u"1"_s, u"--year"_s, u"2"_s}),
       u"--year"},
      {"year of 5 characters", Args({u"--batch"_s, u"--output"_s, u"o"_s, u"--year"_s, u"20271"_s}), u"20271"},
      {"list of something else", Args({u"--list"_s, u"years"_s}), u"years"},
      {"batch and list", Args({u"--batch"_s, u"--output"_s, u"o"_s, u"--list"_s, u"types"_s}), u"--list"},
      {"output without batch", Args({u"--output"_s, u"o"_s}), u"--output"},
      {"selection without batch", Args({u"--list"_s, u"types"_s, u"--types"_s, u"1"_s}), u"--types"},
      {"id that is no number", Args({u"--batch"_s, u"--output"_s, u"o"_s, u"--states"_s, u"1,x"_s}), u"1,x"},
      {"empty item in a list", Args({u"--batch"_s, u"--output"_s, u"o"_s, u"--subdivs"_s, u"3,,7"_s}), u"3,,7"},
      {"ALL is not all", Args({u"--batch"_s, u"--output"_s, u"o"_s, u"--types"_s, u"ALL"_s}), u"ALL"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    const TRunOptions o = ParseRunOptions(row.Arguments);
    EXPECT_TRUE(o.UsageError.contains(QString::fromUtf16(row.Names))) << o.UsageError.toStdString();
    EXPECT_FALSE(o.UsageError.contains(u'\n')) << "one line";
  }
}

TEST(RunOptions, OurOptionsAreTakenOutOfTheHostText) {
  struct Row {
    const char* Name;
    QStringList Arguments;
    QString HostText;  // worked out by hand from the rebuild rule
  } rows[] = {
      {"options first",
       {u"/opt/ppr"_s, u"--batch"_s, u"--output"_s, u"o.xlsx"_s, u"/RepSqlServer"_s, u"s v"_s},
       uR"(/opt/ppr /RepSqlServer "s v")"_s},
      {"options between switches",
       {u"p"_s, u"/RepSqlServer"_s, u"s"_s, u"--year=2027"_s, u"/RepDBSource"_s, u"d"_s, u"--demo"_s},
       uR"(p /RepSqlServer "s" /RepDBSource "d")"_s},
      {"a value that begins with -- stays the host's",
       {u"p"_s, u"/RepUserPass"_s, u"--secret"_s, u"/RepExtraData"_s, u"--batch"_s},
       uR"(p /RepUserPass "--secret" /RepExtraData "--batch")"_s},
      {"single dash is no option", {u"p"_s, u"/RepSqlServer"_s, u"s"_s, u"-x"_s}, uR"(p /RepSqlServer "s" "-x")"_s},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    EXPECT_EQ(HostCommandLine(row.Arguments), row.HostText);
  }
  // The value after a switch is never read as an option, so the host's password cannot start a batch run.
  EXPECT_EQ(ParseRunOptions({u"p"_s, u"/RepUserPass"_s, u"--batch"_s}).Mode, TRunMode::Window);
}

}  // namespace
