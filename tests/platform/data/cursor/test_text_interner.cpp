// Repeated texts of a fetched column share one buffer, and every text still reads as a fresh decode.
#include "platform/data/cursor/TextInterner.h"

#include <gtest/gtest.h>
#include <QByteArray>

namespace {

QString FromUtf8(TTextInterner& Column, const QByteArray& Bytes) {
  return Column.FromUtf8(Bytes.constData(), Bytes.size());
}

TEST(TextInterner, TextsReadAsAFreshDecode) {
  // Runs, returns to an earlier text, an empty text, a prefix of the previous text, invalid UTF-8.
  const QList<QByteArray> column = {"ТО", "ТО", "ТР", "ТО", "", "", "Т", "ТО", "\xff\xfe", "abc\0def"};
  TTextInterner interner;
  for (const QByteArray& bytes : column) {
    SCOPED_TRACE(bytes.toHex().toStdString());
    EXPECT_EQ(FromUtf8(interner, bytes), QString::fromUtf8(bytes.constData(), bytes.size()));
  }
  const QByteArray embedded("abc\0def", 7);
  EXPECT_EQ(FromUtf8(interner, embedded).size(), 7);
}

TEST(TextInterner, EqualTextsShareOneBuffer) {
  TTextInterner interner;
  const QString first = FromUtf8(interner, "Подразделение 00017");
  FromUtf8(interner, "Подразделение 00018");
  const QString again = FromUtf8(interner, "Подразделение 00017");  // not the previous value: the hash serves
  const QString run = FromUtf8(interner, "Подразделение 00017");    // the previous value serves
  EXPECT_EQ(again.constData(), first.constData());
  EXPECT_EQ(run.constData(), first.constData());

  TTextInterner decoded;
  const QString a = decoded.Shared(u"Манометр"_qs);
  decoded.Shared(u"Термометр"_qs);
  const QString b = decoded.Shared(QString(u"Манометр"_qs));
  EXPECT_EQ(b.constData(), a.constData());
}

TEST(TextInterner, AColumnOfUniqueTextsStaysCorrectAfterHashingStops) {
  TTextInterner interner;
  for (int i = 0; i < 20000; ++i) {
    const QByteArray bytes = "N" + QByteArray::number(100000 + i);
    ASSERT_EQ(FromUtf8(interner, bytes), QString::fromLatin1(bytes)) << i;
  }
  // Once hashing has stopped, a repeat of the previous value is still shared.
  const QString one = FromUtf8(interner, "N1"), two = FromUtf8(interner, "N1");
  EXPECT_EQ(two.constData(), one.constData());
  EXPECT_EQ(FromUtf8(interner, "N100005"), u"N100005"_qs);
}

}  // namespace
