#include "tree/TLxNodeList.h"

#include "platform/base/Exception.h"
#include "tests/support/ExpectMessage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>

using namespace Qt::StringLiterals;

using TestSupport::MessageOf;

namespace {

QStringList Keys(const TLxNodeList& List) {
  QStringList keys;
  for (int i = 0; i < List.Count(); ++i) keys << List.GetKey(i);
  return keys;
}

PVirtualNode FakeNode(std::uintptr_t N) { return reinterpret_cast<PVirtualNode>(N * 64); }

TEST(NodeList, CompareKeysIsOrdinalOverCodeUnits) {
  struct Row {
    const char16_t* A;
    const char16_t* B;
    int Expected;
  } rows[] = {
      {u"10", u"9", -1},
      {u"9", u"10", 1},
      {u"Z", u"a", -1},
      {u"a", u"A", 1},
      {u"7", u"7", 0},
      {u"7", u"7 ", -1},
      {u"", u"0", -1},
      {u"", u"", 0},
      {u"-1", u"1", -1},
      {u"ab", u"a", 1},
      {u"\u00e9", u"z", 1},           // a code unit above ASCII sorts after every ASCII letter
      {u"\uffff", u"\U0001F600", 1},  // a surrogate (0xD83D) is below 0xFFFF as a code unit
  };
  for (const Row& r : rows) {
    const QString a = QString::fromUtf16(r.A), b = QString::fromUtf16(r.B);
    SCOPED_TRACE(QString(a + u" vs "_s + b).toStdString());
    EXPECT_EQ(TLxNodeList::CompareKeys(a, b), r.Expected);
  }
}

TEST(NodeList, InsertKeepsOrdinalOrderAndPositions) {
  TLxNodeList list;
  EXPECT_EQ(list.FindInsertIndex(u"5"_s), 0);  // empty list: position 0
  list.InsertItem(u"2"_s, FakeNode(2));
  list.InsertItem(u"10"_s, FakeNode(10));
  list.InsertItem(u"1"_s, FakeNode(1));
  EXPECT_EQ(Keys(list), (QStringList{u"1"_s, u"10"_s, u"2"_s}));
  // Positions by hand: before everything 0, between 10 and 2 position 2, after everything Count.
  EXPECT_EQ(list.FindInsertIndex(u"0"_s), 0);
  EXPECT_EQ(list.FindInsertIndex(u"11"_s), 2);
  EXPECT_EQ(list.FindInsertIndex(u"100"_s), 2);
  EXPECT_EQ(list.FindInsertIndex(u"3"_s), 3);
  EXPECT_EQ(list.FindInsertIndex(u"1 "_s), 1);
  EXPECT_EQ(list.Search(u"1"_s), 0);
  EXPECT_EQ(list.Search(u"2"_s), 2);
  EXPECT_EQ(list.Search(u"2 "_s), -1);
  EXPECT_EQ(list.NodeByID(u"10"_s), FakeNode(10));
  EXPECT_EQ(list.NodeByID(u"11"_s), nullptr);
  list.InsertItem(u"a"_s, FakeNode(20));
  list.InsertItem(u"A"_s, FakeNode(21));  // case makes a different key
  EXPECT_EQ(Keys(list), (QStringList{u"1"_s, u"10"_s, u"2"_s, u"A"_s, u"a"_s}));
}

TEST(NodeList, DuplicateKeyRaisesAndLeavesTheListAsItWas) {
  TLxNodeList list;
  TLxNodeItem* first = list.InsertItem(u"7"_s, FakeNode(7));
  list.InsertItem(u"3"_s, FakeNode(3));
  list.InsertItem(u"9"_s, FakeNode(9));
  for (const QString& key : {u"7"_s, u"3"_s, u"9"_s}) {
    EXPECT_EQ(MessageOf([&] { list.InsertItem(key, FakeNode(99)); }), u"Duplicate list ID "_s + key);
    EXPECT_THROW(list.FindInsertIndex(key), Exception);
  }
  EXPECT_EQ(Keys(list), (QStringList{u"3"_s, u"7"_s, u"9"_s}));
  EXPECT_EQ(list.Items(1), first);
  EXPECT_EQ(list.NodeByID(u"7"_s), FakeNode(7));
}

TEST(NodeList, EmptyListSearchesFindNothing) {
  TLxNodeList list;
  EXPECT_EQ(list.Search(u"1"_s), -1);
  EXPECT_EQ(list.NodeByID(u""_s), nullptr);
  list.DeleteItem(u"1"_s);
  list.ClearItems();
  EXPECT_EQ(list.Count(), 0);
}

TEST(NodeList, DeleteItemKeepsTheItemAliveAndClearItemsDestroysEachOnce) {
  // Each item holds one reference to a counter; when an item is destroyed its reference goes.
  auto tracker = std::make_shared<int>(0);
  std::unique_ptr<TLxNodeItem> takenOut;
  {
    TLxNodeList list;
    for (int k = 0; k < 5; ++k)
      list.InsertItem(QString::number(k), FakeNode(k))->SetParam(QVariant::fromValue(tracker));
    EXPECT_EQ(tracker.use_count(), 6);
    TLxNodeItem* three = list.Items(list.Search(u"3"_s));
    list.DeleteItem(u"3"_s);
    takenOut.reset(three);
    EXPECT_EQ(list.Search(u"3"_s), -1);
    EXPECT_EQ(takenOut->Key(), u"3"_s);
    list.ClearItems();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(tracker.use_count(), 2);  // the test's and the item taken out
    list.InsertItem(u"x"_s, FakeNode(1))->SetParam(QVariant::fromValue(tracker));
  }  // the list's destruction destroys what it still holds
  EXPECT_EQ(tracker.use_count(), 2);
  takenOut.reset();
  EXPECT_EQ(tracker.use_count(), 1);
}

// Keys of every kind the comparison must order alike: short numbers, long texts sharing their
// first 8 code units, zero code units, units above 0x7FFF and surrogates.
QString RandomKey(std::mt19937& Random) {
  static const QString stems[] = {u""_s, u"12345678"_s, u"1234567"_s, u"abcdefgh"_s, QString(3, QChar(0))};
  static const char16_t units[] = {u'0', u'1', u'9', u'a', u'A', 0, 0x7FFF, 0x8000, 0xD83D, 0xFFFF};
  if (Random() % 2) return QString::number(Random() % 20000);
  QString key = stems[Random() % 5];
  for (unsigned n = Random() % 4; n > 0; --n) key += QChar(units[Random() % 10]);
  return key;
}

// The reference order for the random tests: std::set under CompareKeys.
struct TOrdinal {
  bool operator()(const QString& a, const QString& b) const { return TLxNodeList::CompareKeys(a, b) < 0; }
};

TEST(NodeList, ManyOutOfOrderInsertsAndDeletesMatchASortedReference) {
  // Enough keys to split and merge many blocks; the reference is std::set under CompareKeys.
  std::set<QString, TOrdinal> reference;
  TLxNodeList list;
  std::mt19937 random(7);
  for (int i = 0; i < 6000; ++i) {
    const QString key = RandomKey(random);
    if (reference.insert(key).second) {
      const int expected = static_cast<int>(std::distance(reference.begin(), reference.find(key)));
      ASSERT_EQ(list.FindInsertIndex(key), expected);
      list.InsertItem(key, FakeNode(1));
      ASSERT_EQ(list.Search(key), expected);
    } else {
      ASSERT_THROW(list.InsertItem(key, FakeNode(1)), Exception);
    }
    if (i % 3 == 0 && !reference.empty()) {  // take one out by position, as the free-node hook does
      const int at = static_cast<int>(random() % reference.size());
      auto it = std::next(reference.begin(), at);
      ASSERT_EQ(list.GetKey(at), *it);
      delete list.Items(at);
      list.Delete(at);
      reference.erase(it);
    }
  }
  ASSERT_EQ(list.Count(), static_cast<int>(reference.size()));
  int i = 0;
  for (const QString& key : reference) {
    ASSERT_EQ(list.GetKey(i), key);
    ASSERT_EQ(list.Search(key), i++);
  }
  ASSERT_EQ(list.Search(u"12345678"_s + QChar(0)),
            reference.count(u"12345678"_s + QChar(0)) ? list.Search(u"12345678"_s + QChar(0)) : -1);
}

TEST(NodeList, RunsOfInsertsWithoutPositionQueriesKeepPositions) {
  // A branch load inserts many keys before anything asks for a position; the list sorts them into
  // place only then (a few one by one, many in one merge): runs of several lengths, block splits
  // among them, deletions by position in between.
  std::set<QString, TOrdinal> reference;
  TLxNodeList list;
  std::mt19937 random(21);
  for (int run : {1, 2, 7, 300, 1000, 2500, 3}) {
    SCOPED_TRACE(run);
    for (int i = 0; i < run; ++i) {
      const QString key = RandomKey(random);
      if (reference.insert(key).second)
        list.InsertItem(key, FakeNode(i));
      else
        ASSERT_THROW(list.InsertItem(key, FakeNode(i)), Exception);
    }
    ASSERT_EQ(list.Count(), static_cast<int>(reference.size()));
    int at = 0;
    for (const QString& key : reference) ASSERT_EQ(list.GetKey(at++), key);
    for (int d = 0; d < 5 && !reference.empty(); ++d) {
      const int gone = static_cast<int>(random() % reference.size());
      auto it = std::next(reference.begin(), gone);
      ASSERT_EQ(list.Search(*it), gone);
      delete list.Items(gone);
      list.Delete(gone);
      reference.erase(it);
    }
  }
  int at = 0;
  for (const QString& key : reference) ASSERT_EQ(list.Search(key), at++);
}

}  // namespace
