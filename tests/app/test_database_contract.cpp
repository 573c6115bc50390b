#include "app/ConnectionString.h"
#include "app/DatabaseContract.h"
#include "platform/base/ByteOrder.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ConnectionString, EightItemsInOrderValuesUnescaped) {
  struct Row {
    const char* Name;
    TConnectionSettings Settings;
    QString Expected;
  } rows[] = {
      {"plain", {u"srv"_s, u"db"_s, u"user"_s, u"pw"_s, u"extra"_s},
       u"Provider=SQLOLEDB.1;Persist Security Info=True;Password=pw;User ID=user;Initial Catalog=db;Data Source=srv"_s},
      {"empty password keeps its key", {u"srv"_s, u"db"_s, u"user"_s, u""_s, u""_s},
       u"Provider=SQLOLEDB.1;Persist Security Info=True;Password=;User ID=user;Initial Catalog=db;Data Source=srv"_s},
      {"values go in as they stand", {u"a b"_s, u"база"_s, u"u"_s, u";Initial Catalog=x"_s, u""_s},
       u"Provider=SQLOLEDB.1;Persist Security Info=True;Password=;Initial Catalog=x;User ID=u;Initial Catalog=база;Data Source=a b"_s},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    EXPECT_EQ(BuildConnectionString(row.Settings), row.Expected);
  }
}

TEST(IdArray, BigEndianSignedElements) {
  const std::int32_t ids[] = {5, 258};
  EXPECT_EQ(EncodeIdArray(ids), QByteArray("\x00\x00\x00\x05\x00\x00\x01\x02", 8));
  const std::int32_t minusOne[] = {-1};
  EXPECT_EQ(EncodeIdArray(minusOne), QByteArray("\xFF\xFF\xFF\xFF", 4));
  const std::int32_t extremes[] = {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
  EXPECT_EQ(EncodeIdArray(extremes), QByteArray("\x80\x00\x00\x00\x7F\xFF\xFF\xFF", 8));
  EXPECT_TRUE(EncodeIdArray({}).isEmpty());
  EXPECT_EQ(DecodeIdArray(QByteArray("\x00\x00\x00\x05\xFF\xFF\xFF\xFE\x01", 9)), (std::vector<std::int32_t>{5, -2}));
}

TEST(SwapBytes32, ReversesTheUnsignedBitPattern) {
  static_assert(SwapBytes32(0x01020304u) == 0x04030201u);
  EXPECT_EQ(SwapBytes32(0x00000102u), 0x02010000u);
  EXPECT_EQ(SwapBytes32(static_cast<std::uint32_t>(-2)), 0xFEFFFFFFu);
  EXPECT_EQ(SwapBytes32(SwapBytes32(0xDEADBEEFu)), 0xDEADBEEFu);
}

TEST(DatabaseContract, LookupTextsAndReportParameters) {
  EXPECT_EQ(DatabaseContract::LookupTypesSql, u"exec rprt_com_get_loockups 'tMiTypes'");
  EXPECT_EQ(DatabaseContract::LookupStatesSql, u"exec rprt_com_get_loockups 'MMState'");
  EXPECT_EQ(DatabaseContract::LookupSubdivisionsSql, u"exec rprt_com_get_loockups 'tSubDivs'");
  const auto& p = DatabaseContract::ReportParameters;
  EXPECT_EQ(p[0].Name, u"@MiTypesArray");
  EXPECT_EQ(p[1].Name, u"@MMStateArray");
  EXPECT_EQ(p[2].Name, u"@SubDivsArray");
  EXPECT_EQ(p[3].Name, u"@year");
  EXPECT_EQ(p[3].Kind, DatabaseContract::TParameterKind::Text);
  EXPECT_EQ(p[3].DeclaredSize, 4);
  EXPECT_EQ(p[0].DeclaredSize, 2147483647);
}
