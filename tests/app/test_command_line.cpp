#include "app/PluginCore.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct ReadRow {
  const char* Name;
  const char16_t* CommandLine;
  const char16_t* SqlServer;
  const char16_t* DBSource;
  const char16_t* UserLogin;
  const char16_t* UserPass;
  const char16_t* ExtraData;
  bool Complete;
};

// Expected values worked out by hand from the reading rule (skip = name length + 2, cut before the
// next switch name, then before the last quotation mark).
const ReadRow kReadRows[] = {
    {"host's form",
     uR"(C:\ppr.exe /RepSqlServer "srv" /RepDBSource "db" /RepUserLogin "user" /RepUserPass "pw" /RepExtraData "x")",
     u"srv", u"db", u"user", u"pw", u"x", true},
    {"value with blanks",
     uR"(p /RepSqlServer "my server" /RepDBSource "d b" /RepUserLogin "u" /RepUserPass "" /RepExtraData "")",
     u"my server", u"d b", u"u", u"", u"", true},
    {"quotation mark inside a value",
     uR"(p /RepSqlServer "a "big" srv" /RepDBSource "db" /RepUserLogin "u" /RepUserPass "p" /RepExtraData "e")",
     uR"(a "big" srv)", u"db", u"u", u"p", u"e", true},
    {"Cyrillic values",
     uR"(p /RepSqlServer "сервер" /RepDBSource "база" /RepUserLogin "кто" /RepUserPass "пароль" /RepExtraData "")",
     u"сервер", u"база", u"кто", u"пароль", u"", true},
    {"unquoted value loses its first character",
     uR"(p /RepSqlServer srv /RepDBSource "db" /RepUserLogin "u" /RepUserPass "p" /RepExtraData "e")", u"rv ", u"db",
     u"u", u"p", u"e", true},
    {"two blanks keep the opening quotation mark",
     uR"(p /RepSqlServer  "srv" /RepDBSource "db" /RepUserLogin "u" /RepUserPass "p" /RepExtraData "e")", uR"("srv)",
     u"db", u"u", u"p", u"e", true},
    {"lower-case switch is not found",
     uR"(app /repsqlserver "srv" /RepDBSource "db" /RepUserLogin "u" /RepUserPass "p" /RepExtraData "e")",
     uR"(er "srv)", u"db", u"u", u"p", u"e", true},
    {"last value ends at the last quotation mark",
     uR"(p /RepSqlServer "s" /RepDBSource "d" /RepUserLogin "u" /RepUserPass "p" /RepExtraData "a" b "c" tail)", u"s",
     u"d", u"u", u"p", uR"(a" b "c)", true},
    {"value holding the next switch name is cut there",
     uR"(p /RepSqlServer "x/RepDBSourcey" /RepDBSource "db" /RepUserLogin "u" /RepUserPass "p" /RepExtraData "e")",
     u"x", uR"( /RepDBSource "db)", u"u", u"p", u"e", true},
    {"login equal to server",
     uR"(p /RepSqlServer "same" /RepDBSource "db" /RepUserLogin "same" /RepUserPass "p" /RepExtraData "e")", u"same",
     u"db", u"same", u"p", u"e", false},
    {"empty database", uR"(p /RepSqlServer "s" /RepDBSource "" /RepUserLogin "u" /RepUserPass "p" /RepExtraData "e")",
     u"s", u"", u"u", u"p", u"e", false},
    {"empty login", uR"(p /RepSqlServer "s" /RepDBSource "d" /RepUserLogin "" /RepUserPass "p" /RepExtraData "e")",
     u"s", u"d", u"", u"p", u"e", false},
    {"no switches, long text", u"/usr/bin/ppr-schedule --help me", u"hedule --help me", u"chedule --help me",
     u"hedule --help me", u"chedule --help me", u"hedule --help me", false},
    {"no switches, at most 15 characters", u"/usr/bin/ppr-sc", u"", u"c", u"", u"c", u"", false},
    {"missing password switch", uR"(p /RepSqlServer "s" /RepDBSource "d" /RepUserLogin "u" /RepExtraData "e")", u"s",
     u"d", uR"(u" /RepExtraData "e)", uR"("u)", u"e", true},
};

TEST(ReadCommandLine, TableOfHostTexts) {
  for (const ReadRow& row : kReadRows) {
    SCOPED_TRACE(row.Name);
    const TConnectionSettings s = ReadCommandLine(QString::fromUtf16(row.CommandLine));
    EXPECT_EQ(s.SqlServer, QString::fromUtf16(row.SqlServer));
    EXPECT_EQ(s.DBSource, QString::fromUtf16(row.DBSource));
    EXPECT_EQ(s.UserLogin, QString::fromUtf16(row.UserLogin));
    EXPECT_EQ(s.UserPass, QString::fromUtf16(row.UserPass));
    EXPECT_EQ(s.ExtraData, QString::fromUtf16(row.ExtraData));
    EXPECT_EQ(IsParameterListComplete(s), row.Complete);
  }
}

TEST(RebuildCommandLine, SwitchesAsTheyStandOtherArgumentsQuoted) {
  EXPECT_EQ(RebuildCommandLine(
                {u"/opt/ppr-schedule"_s, u"/RepSqlServer"_s, u"my server"_s, u"/RepDBSource"_s, u"/data/demo.db"_s}),
            uR"(/opt/ppr-schedule /RepSqlServer "my server" /RepDBSource "/data/demo.db")"_s);
  // Only the exact names are switches: a lower-case one is quoted like a value and so not found.
  EXPECT_EQ(RebuildCommandLine({u"p"_s, u"/repsqlserver"_s, u""_s}), uR"(p "/repsqlserver" "")"_s);
  EXPECT_EQ(RebuildCommandLine({u"p"_s}), u"p"_s);
}

TEST(RebuildCommandLine, ArgvRoundTripsThroughTheReader) {
  const QString values[][5] = {
      {u"srv"_s, u"/var/lib/ppr/demo.db"_s, u"user"_s, u"pw"_s, u"extra"_s},
      {u"my server"_s, u"база данных"_s, u"кто"_s, u""_s, u""_s},
      {u"a\"b"_s, u"db"_s, u"u"_s, u"p\"q\"r"_s, u"x y \""_s},
  };
  const QString names[5] = {u"/RepSqlServer"_s, u"/RepDBSource"_s, u"/RepUserLogin"_s, u"/RepUserPass"_s,
                            u"/RepExtraData"_s};
  for (const auto& v : values) {
    QStringList argv{u"/usr/bin/ppr-schedule"_s};
    for (int i = 0; i < 5; ++i) argv << names[i] << v[i];
    SCOPED_TRACE(argv.join(u' ').toStdString());
    const TConnectionSettings s = ReadCommandLine(RebuildCommandLine(argv));
    EXPECT_EQ(s.SqlServer, v[0]);
    EXPECT_EQ(s.DBSource, v[1]);
    EXPECT_EQ(s.UserLogin, v[2]);
    EXPECT_EQ(s.UserPass, v[3]);
    EXPECT_EQ(s.ExtraData, v[4]);
  }
}

}  // namespace
