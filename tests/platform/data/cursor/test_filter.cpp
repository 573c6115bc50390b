// Filter expressions, Locate and Lookup over one cursor.
#include "platform/base/Exception.h"
#include "platform/data/cursor/DataSource.h"
#include "tests/platform/data/DataFixtures.h"
#include "tests/support/ExpectMessage.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace DataFixtures;

using TestSupport::MessageOf;

namespace {

std::unique_ptr<TADOQuery> Sample() {
  auto q = std::make_unique<TADOQuery>();
  const QVariant null;
  q->OpenOnRows({{u"id"_s, ftInteger},
                 {u"parentid"_s, ftInteger},
                 {u"fname"_s, ftWideString},
                 {u"score"_s, ftFloat},
                 {u"note"_s, ftWideString}},
                {{1, -1, u"Alpha"_s, 1.5, null},
                 {2, 1, u"beta"_s, 2.0, u"x"_s},
                 {3, 1, u"Gamma"_s, null, u"y"_s},
                 {4, -1, u"delta"_s, 3.25, null},
                 {5, 4, u"O'Brien"_s, 0.0, u"x"_s},
                 {6, 12, u"Ёлка"_s, -1.0, u"z"_s}});
  return q;
}

}  // namespace

TEST(Filter, SelectsTheRowsOfAnExpression) {
  struct {
    const char* Filter;
    const char* Ids;
  } cases[] = {
      {"parentid=1", "2,3"},
      {"parentid=-1", "1,4"},
      {"(parentid=1) AND (id=3)", "3"},
      {"(fname='beta' OR fname='delta') AND (parentid=1)", "2"},
      {"parentid = 1 OR parentid = 4", "2,3,5"},
      {"NOT parentid=1", "1,4,5,6"},
      {"NOT (parentid=1 OR parentid=-1)", "5,6"},
      {"id <> 2 AND id < 4", "1,3"},
      {"id != 2 AND id < 4", "1,3"},
      {"id >= 5", "5,6"},
      {"id <= 1", "1"},
      {"id > 5", "6"},
      {"score > 1.9", "2,4"},
      {"score = 0", "5"},
      {"score < 0", "6"},
      {"note IS NULL", "1,4"},
      {"note IS NOT NULL", "2,3,5,6"},
      {"note = NULL", "1,4"},
      {"note <> NULL", "2,3,5,6"},
      {"note <> 'x'", "3,6"},
      {"fname = 'BETA'", "2"},
      {"fname = 'O''Brien'", "5"},
      {"fname = \"O'Brien\"", "5"},
      {"fname = 'ёлка'", "6"},
      {"fname > 'c'", "4,3,5,6"},
      {"parentid = '1'", "2,3"},
      {"[fname] = 'Gamma'", "3"},
      {"PARENTID=12", "6"},
      {"parentid=99", ""},
      // The compact "field=integer" form at its edges: each must read as the spaced form does.
      {"parentid=0001", "2,3"},
      {"parentid=-0", ""},
      {"parentid=1.0", "2,3"},
      {"Parentid=4", "5"},
      {"id=123456789012345678", ""},
      {"id=99999999999999999999", ""},
      {"id > 2 and parentid = 1", "3"},
      {"((parentid=1)) AND NOT id=2", "3"},
      {"1 = 1", "1,2,3,4,5,6"},
      {"  ", "1,2,3,4,5,6"},
  };
  auto q = Sample();
  q->SetSort(u"fname"_s);  // an order other than row order, which filtered results keep
  q->SetFiltered(true);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Filter);
    q->SetFilter(QString::fromUtf8(c.Filter));
    QStringList got;
    for (q->First(); !q->Eof(); q->Next()) got << q->FieldByName(u"id"_s).AsString();
    QStringList expected = QString::fromUtf8(c.Ids).split(u',', Qt::SkipEmptyParts);
    // The cases list ids in row order; the cursor shows them sorted by fname.
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(q->RecordCount(), expected.size());
  }
}

TEST(Filter, KeepsRowOrderAndFollowsTheFilteredSwitch) {
  auto q = Sample();
  q->SetFilter(u"parentid=1 OR parentid=12"_s);
  EXPECT_EQ(q->RecordCount(), 6) << "a filter text has no effect until Filtered";
  q->SetFiltered(true);
  EXPECT_EQ(Ids(*q), u"2,3,6"_s);
  q->SetFiltered(false);
  EXPECT_EQ(Ids(*q), u"1,2,3,4,5,6"_s);
  q->SetFiltered(true);
  EXPECT_EQ(Ids(*q), u"2,3,6"_s);
  q->SetFilter(u""_s);
  EXPECT_EQ(q->RecordCount(), 6) << "an empty filter text selects every row";
}

TEST(Filter, MalformedTextIsAClearErrorAndLeavesTheOldFilter) {
  struct {
    const char* Filter;
    const char* Message;
  } cases[] = {
      {"parentid=", "Invalid filter expression 'parentid=': a field name or a value expected at position 10"},
      {"parentid = 1 AND",
       "Invalid filter expression 'parentid = 1 AND': a field name or a value expected at position 17"},
      {"(parentid=1", "Invalid filter expression '(parentid=1': ')' expected at position 12"},
      {"parentid == 1", "Invalid filter expression 'parentid == 1': a field name or a value expected at position 11"},
      {"fname = 'abc", "Invalid filter expression 'fname = 'abc': unterminated string at position 9"},
      {"parentid 1", "Invalid filter expression 'parentid 1': a comparison operator expected at position 10"},
      {"parentid = 1)",
       "Invalid filter expression 'parentid = 1)': unexpected text after the expression at position 13"},
      {"@x = 1", "Invalid filter expression '@x = 1': unexpected character '@' at position 1"},
      {"note IS 1", "Invalid filter expression 'note IS 1': NULL expected at position 9"},
      {"[fname = 1", "Invalid filter expression '[fname = 1': ']' expected at position 1"},
      {"id = 12abc", "Invalid filter expression 'id = 12abc': an operator expected at position 8"},
      {"id=12abc", "Invalid filter expression 'id=12abc': an operator expected at position 6"},
      {"AND=1", "Invalid filter expression 'AND=1': a field name or a value expected at position 1"},
      {"parentid=-", "Invalid filter expression 'parentid=-': unexpected character '-' at position 10"},
  };
  auto q = Sample();
  q->SetFilter(u"parentid=1"_s);
  q->SetFiltered(true);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Filter);
    EXPECT_EQ(MessageOf([&] { q->SetFilter(QString::fromUtf8(c.Filter)); }), QString::fromUtf8(c.Message));
    EXPECT_EQ(q->Filter(), u"parentid=1"_s);
    EXPECT_EQ(Ids(*q), u"2,3"_s);
  }
  for (const QString& unknown : {u"nosuch = 1"_s, u"nosuch=1"_s}) {
    SCOPED_TRACE(unknown.toStdString());
    EXPECT_EQ(MessageOf([&] { q->SetFilter(unknown); }), u"Field 'nosuch' not found"_s);
    EXPECT_EQ(Ids(*q), u"2,3"_s);
  }
}

TEST(Filter, LocateAndLookupOnOneField) {
  auto q = Sample();
  q->Locate(u"id"_s, 4);
  EXPECT_TRUE(q->Locate(u"parentid"_s, 1));
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 2) << "the first match in the cursor's order";
  EXPECT_TRUE(q->Locate(u"fname"_s, u"GAMMA"_s));
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 3);
  EXPECT_TRUE(q->Locate(u"id"_s, u"4"_s)) << "a key given as text, as the tree does";
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 4);
  EXPECT_FALSE(q->Locate(u"id"_s, 99));
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 4) << "a miss does not move";
  EXPECT_TRUE(q->Locate(u"note"_s, QVariant()));
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 1);

  q->Locate(u"id"_s, 5);
  EXPECT_EQ(q->Lookup(u"id"_s, 3, u"fname"_s), QVariant(u"Gamma"_s));
  EXPECT_EQ(q->Lookup(u"parentid"_s, u"4"_s, u"id"_s), QVariant(5));
  EXPECT_TRUE(q->Lookup(u"id"_s, 99, u"fname"_s).isNull());
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 5) << "Lookup does not move";

  q->SetSort(u"fname DESC"_s);
  EXPECT_TRUE(q->Locate(u"parentid"_s, 1));
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 3) << "Gamma comes before beta in descending order";
  q->SetSort(u""_s);
  q->SetFilter(u"parentid=1"_s);
  q->SetFiltered(true);
  EXPECT_FALSE(q->Locate(u"id"_s, 1)) << "a filtered-out row is not found";
  EXPECT_TRUE(q->Lookup(u"id"_s, 1, u"fname"_s).isNull());

  for (auto call :
       {+[](TADOQuery& d) { d.Locate(u"nosuch"_s, 1); }, +[](TADOQuery& d) { d.Lookup(u"nosuch"_s, 1, u"id"_s); },
        +[](TADOQuery& d) { d.Lookup(u"id"_s, 1, u"nosuch"_s); }}) {
    EXPECT_EQ(MessageOf([&] { call(*q); }), u"Field 'nosuch' not found"_s);
  }
}

TEST(Filter, ExistsUnfilteredAnswersAsWithTheFilterOffAndLeavesTheCursorAlone) {
  auto q = Sample();
  q->SetSort(u"fname DESC"_s);
  q->SetFilter(u"parentid=1"_s);
  q->SetFiltered(true);
  q->Next();  // on beta (id 2), second of Gamma, beta
  TDataSource source(q.get());
  TRecordingLink link;
  link.SetDataSource(&source);
  link.Events.clear();  // the binding's own "active"

  struct {
    const char* Field;
    QVariant Value;
    bool Exists;
  } cases[] = {
      {"id", 1, true},  // filtered out
      {"parentid", u"-1"_s, true},
      {"PARENTID", 4, true},
      {"parentid", 99, false},
      {"parentid", u""_s, false},
      {"fname", u"ALPHA"_s, true},
      {"note", u"x"_s, true},
      {"note", QVariant(), false},  // NULL matches nothing, though rows hold NULL notes
      {"score", 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Field);
    const QString field = QString::fromUtf8(c.Field);
    EXPECT_EQ(q->ExistsUnfiltered(field, c.Value), c.Exists) << c.Value.toString().toStdString();
    // The answer Lookup gives with the filter off, on a second cursor over the same rows.
    auto plain = Sample();
    EXPECT_EQ(!plain->Lookup(field, c.Value, field).isNull(), c.Exists);
  }

  EXPECT_TRUE(link.Events.isEmpty()) << link.Events.join(u", "_s).toStdString();
  EXPECT_TRUE(q->Filtered());
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 2);
  EXPECT_EQ(q->RecordCount(), 2);
  EXPECT_EQ(MessageOf([&] { q->ExistsUnfiltered(u"nosuch"_s, 1); }), u"Field 'nosuch' not found"_s);
  q->Close();
  EXPECT_THROW(q->ExistsUnfiltered(u"id"_s, 1), Exception);
}

TEST(Filter, ATextKeyMeetsANumericFieldAsItsNumber) {
  struct {
    const char* Field;
    const char* Text;
    int Id;  // 0: no row
  } cases[] = {
      {"id", "4", 4},        {"id", " 4 ", 4},   {"id", "004", 4},
      {"parentid", "-1", 1}, {"score", "-0", 5}, {"score", "1.5", 1},
      {"score", "2e0", 2},   {"id", "+4", 4},    {"id", "0000000000000004", 4},  // past the digits read directly
      {"id", "4x", 0},       {"id", "-", 0},     {"id", "", 0},
      {"id", "--4", 0},
  };
  auto q = Sample();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Field) + " = '" + c.Text + "'");
    const QString field = QString::fromUtf8(c.Field);
    const QString text = QString::fromUtf8(c.Text);
    EXPECT_EQ(q->Lookup(field, text, u"id"_s).toInt(), c.Id);
    EXPECT_EQ(q->ExistsUnfiltered(field, text), c.Id != 0);
  }
}

// Parentheses or NOTs nested some ten thousand deep overflowed the stack (a text run through the filter
// fuzz target by hand, longer than its inputs).
// Nesting is refused past 256 levels with the usual message, at the token that goes one level too
// deep; 256 levels still read and filter.
TEST(Filter, NestingTooDeepIsAClearError) {
  const QString parens300 = QString(300, u'(') + u"id=2"_s + QString(300, u')');
  const QString nots300 = u"NOT "_s.repeated(300) + u"id=2"_s;
  const QString deep50000 = QString(50000, u'(') + u"id=2"_s + QString(50000, u')');
  struct {
    const char* Name;
    QString Filter;
    QString Position;
  } cases[] = {
      {"300 parentheses", parens300, u"257"_s},
      {"300 NOTs", nots300, u"1025"_s},  // the 257th NOT starts after 256 "NOT "
      {"50000 parentheses", deep50000, u"257"_s},
  };
  auto q = Sample();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(
        MessageOf([&] { q->SetFilter(c.Filter); }),
        u"Invalid filter expression '"_s + c.Filter + u"': nesting deeper than 256 levels at position "_s + c.Position);
  }
  q->SetFilter(QString(256, u'(') + u"id=2"_s + QString(256, u')'));
  q->SetFiltered(true);
  EXPECT_EQ(Ids(*q), u"2"_s);
  q->SetFilter(u"NOT "_s.repeated(256) + u"id=2"_s);  // an even number of NOTs
  EXPECT_EQ(Ids(*q), u"2"_s);
}

// A chain of a hundred thousand ORs overflowed the stack when the filter was bound to the fields. More
// than 4096 ANDs and ORs are refused at the first one too many; 4096 still filter.
TEST(Filter, TooManyOperatorsIsAClearError) {
  auto q = Sample();
  for (int terms : {4098, 100001}) {
    SCOPED_TRACE(terms);
    const QString chain = u"id=1 OR "_s.repeated(terms - 1) + u"id=2"_s;
    // The 4097th OR: each "id=1 OR " is 8 characters and its OR starts at the 6th.
    EXPECT_EQ(MessageOf([&] { q->SetFilter(chain); }),
              u"Invalid filter expression '"_s + chain + u"': more than 4096 AND and OR operators at position 32774"_s);
  }
  q->SetFilter(u"id=1 AND "_s.repeated(4096) + u"id=1"_s);
  q->SetFiltered(true);
  EXPECT_EQ(Ids(*q), u"1"_s);
}
