// The rows are held by column; every value must read back exactly as it was stored, whatever mix of
// kinds a column gets, through loading, settling the types and editing.
#include "platform/data/cursor/RowStore.h"

#include <gtest/gtest.h>
#include <QDate>

using namespace Qt::StringLiterals;

namespace {

QVariant Null() { return {}; }

// Same kind and value, nulls included (a NULL's type is part of what a reader sees).
void ExpectSame(const QVariant& Got, const QVariant& Want) {
  EXPECT_EQ(Got.metaType(), Want.metaType()) << Got.typeName() << " vs " << Want.typeName();
  EXPECT_EQ(Got.isNull(), Want.isNull());
  if (!Want.isNull()) {
    EXPECT_EQ(Got, Want);
  }
}

TEST(RowStore, EveryColumnReadsBackAsStoredAfterSettling) {
  struct TCase {
    const char* Name;
    TFieldType Declared;
    std::vector<QVariant> In;
    TFieldType Settled;
    std::vector<QVariant> Out;
  };
  const QVariant nullInt(QMetaType::fromType<int>()), nullLong(QMetaType::fromType<qlonglong>()),
      nullText(QMetaType::fromType<QString>());
  const std::vector<TCase> cases = {
      {"integers that fit 32 bits become int",
       ftLargeint,
       {qlonglong(5), Null(), qlonglong(-7)},
       ftInteger,
       {5, nullInt, -7}},
      {"one wide integer keeps them all wide",
       ftLargeint,
       {qlonglong(5), qlonglong(5000000000)},
       ftLargeint,
       {qlonglong(5), qlonglong(5000000000)}},
      {"text in an integer column stays text",
       ftLargeint,
       {qlonglong(1), u"x"_s, Null()},
       ftInteger,
       {1, u"x"_s, nullInt}},
      {"an unknown column takes its first value's kind",
       ftUnknown,
       {Null(), u"a"_s, qlonglong(2)},
       ftWideString,
       {nullText, u"a"_s, qlonglong(2)}},
      {"empty and null texts stay apart",
       ftWideString,
       {QString(), u""_s, u"Цех"_s},
       ftWideString,
       {QString(), u""_s, u"Цех"_s}},
      {"dates, blobs and numbers keep their kinds",
       ftUnknown,
       {QDate(2024, 3, 1), QByteArray("\0\1", 2), 2.5},
       ftDate,
       {QDate(2024, 3, 1), QByteArray("\0\1", 2), 2.5}},
      {"int and qlonglong values mixed", ftUnknown, {7, qlonglong(8)}, ftInteger, {7, 8}},
      {"all null", ftUnknown, {Null(), Null()}, ftUnknown, {Null(), Null()}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TRowStore store({{u"v"_s, c.Declared}});
    for (const QVariant& value : c.In) store.AppendRow({value});
    store.SettleTypes();
    EXPECT_EQ(store.Field(0).DataType, c.Settled);
    ASSERT_EQ(store.RowCount(), static_cast<int>(c.Out.size()));
    for (int row = 0; row < store.RowCount(); ++row) {
      SCOPED_TRACE(row);
      ExpectSame(store.Value(row, 0), c.Out[static_cast<std::size_t>(row)]);
      EXPECT_EQ(store.IsNull(row, 0), c.Out[static_cast<std::size_t>(row)].isNull());
    }
  }
  // The empty text that is not null stays a non-null QString.
  TRowStore texts({{u"v"_s, ftWideString}});
  texts.AppendRow({QString()});
  texts.AppendRow({u""_s});
  EXPECT_TRUE(texts.Value(0, 0).toString().isNull());
  EXPECT_FALSE(texts.Value(1, 0).toString().isNull());
}

TEST(RowStore, EditsKeepIdsValuesAndKinds) {
  TRowStore store({{u"id"_s, ftLargeint}, {u"name"_s, ftWideString}});
  store.AppendRow({qlonglong(1), u"a"_s});
  store.AppendRow({qlonglong(2), u"b"_s});
  store.AppendRow({qlonglong(3), u"c"_s});
  store.SettleTypes();
  const quint64 inserted = store.InsertRow(1, {4, u"d"_s});
  store.UpdateRow(2, {QVariant(QMetaType::fromType<int>()), u"b2"_s});
  store.UpdateRow(3, {u"text now"_s, Null()});  // a text in the integer column
  store.DeleteRow(0);
  ASSERT_EQ(store.RowCount(), 3);
  EXPECT_EQ(store.PositionOf(inserted), 0);
  EXPECT_EQ(store.RowId(0), inserted);
  ExpectSame(store.Value(0, 0), 4);
  ExpectSame(store.Value(0, 1), u"d"_s);
  EXPECT_TRUE(store.IsNull(1, 0));
  ExpectSame(store.Value(1, 1), u"b2"_s);
  ExpectSame(store.Value(2, 0), u"text now"_s);
  ExpectSame(store.Value(2, 1), QVariant(QMetaType::fromType<QString>()));
  const std::vector<QVariant> row = store.RowValues(0);
  ASSERT_EQ(row.size(), 2u);
  EXPECT_EQ(row[1], u"d"_s);
}

TEST(RowStore, ATextHandedInAgainIsKeptOnce) {
  TRowStore store({{u"sub"_s, ftWideString}});
  const QString a = u"Подразделение 1"_s, b = u"Подразделение 2"_s;
  for (int i = 0; i < 100; ++i) store.AppendRow({i % 3 == 2 ? b : a});
  EXPECT_EQ(store.Value(0, 0).toString().constData(), a.constData());
  EXPECT_EQ(store.Value(2, 0).toString().constData(), b.constData());
  EXPECT_EQ(store.Value(99, 0).toString().constData(), a.constData());
  // An equal text in another buffer is still read back equal.
  store.AppendRow({QString(u"Подразделение 1"_s)});
  EXPECT_EQ(store.Value(100, 0), a);
}

}  // namespace
