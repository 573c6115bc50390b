#include "app/ConnectionString.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ConnectionString, EightItemsInOrderValuesUnescaped) {
  struct Row {
    const char* Name;
    TConnectionSettings Settings;
    QString Expected;
  } rows[] = {
      {"plain",
       {u"srv"_s, u"db"_s, u"user"_s, u"pw"_s, u"extra"_s},
       u"Provider=SQLOLEDB.1;Persist Security Info=True;Password=pw;User ID=user;Initial Catalog=db;Data Source=srv"_s},
      {"empty password keeps its key",
       {u"srv"_s, u"db"_s, u"user"_s, u""_s, u""_s},
       u"Provider=SQLOLEDB.1;Persist Security Info=True;Password=;User ID=user;Initial Catalog=db;Data Source=srv"_s},
      {"values go in as they stand",
       {u"a b"_s, u"база"_s, u"u"_s, u";Initial Catalog=x"_s, u""_s},
       u"Provider=SQLOLEDB.1;Persist Security Info=True;Password=;Initial Catalog=x;User ID=u;Initial Catalog=база;Data Source=a b"_s},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    EXPECT_EQ(BuildConnectionString(row.Settings), row.Expected);
  }
}
