// Navigation, field reading, bookmarks, sort and in-memory editing of one cursor.
#include "platform/base/Exception.h"
#include "platform/data/cursor/MemDataSet.h"
#include "tests/platform/data/DataFixtures.h"
#include "tests/support/ExpectMessage.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace DataFixtures;
using TestSupport::MessageOf;

namespace {

std::unique_ptr<TADOQuery> FourRows() { return OpenLookup({{1, -1, "A"}, {2, 1, "B"}, {3, 1, "C"}, {4, -1, "D"}}); }

}  // namespace

TEST(Cursor, WalksRowsWithEndTestsOfTheComponentConvention) {
  auto q = FourRows();
  EXPECT_EQ(q->RecordCount(), 4);
  EXPECT_TRUE(q->Bof());
  EXPECT_FALSE(q->Eof());
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 1);
  q->Next();
  q->Next();
  q->Next();
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 4);
  EXPECT_FALSE(q->Eof()) << "standing on the last row is not yet the end";
  q->Next();
  EXPECT_TRUE(q->Eof());
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 4) << "Next past the end stays on the last row";
  q->Prior();
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 3);
  EXPECT_FALSE(q->Eof());
  EXPECT_EQ(q->RecNo(), 3);
  q->Last();
  EXPECT_TRUE(q->Eof());
  q->First();
  q->Prior();
  EXPECT_TRUE(q->Bof());
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 1);
  EXPECT_EQ(Ids(*q), u"1,2,3,4"_s);
}

TEST(Cursor, EmptyAndClosedDatasets) {
  auto empty = OpenLookup({});
  EXPECT_TRUE(empty->Eof());
  EXPECT_TRUE(empty->Bof());
  EXPECT_TRUE(empty->IsEmpty());
  EXPECT_EQ(empty->RecordCount(), 0);
  EXPECT_TRUE(empty->FieldByName(u"fname"_s).IsNull());
  EXPECT_EQ(empty->FieldByName(u"fname"_s).AsString(), u""_s);
  EXPECT_EQ(empty->FieldByName(u"id"_s).AsInteger(), 0);
  EXPECT_EQ(empty->GetBookmark(), TBookmark());
  EXPECT_EQ(MessageOf([&] { empty->Edit(); }), u"Cannot edit an empty dataset"_s);
  EXPECT_EQ(MessageOf([&] { empty->Delete(); }), u"Cannot delete from an empty dataset"_s);

  auto q = FourRows();
  q->Close();
  EXPECT_FALSE(q->Active());
  EXPECT_EQ(q->State(), dsInactive);
  EXPECT_EQ(q->RecordCount(), 0);
  EXPECT_TRUE(q->Eof());
  EXPECT_EQ(q->FindField(u"id"_s), nullptr);
  EXPECT_EQ(MessageOf([&] { q->First(); }), u"Cannot perform this operation on a closed dataset"_s);
  EXPECT_EQ(MessageOf([&] { q->Locate(u"id"_s, 1); }), u"Cannot perform this operation on a closed dataset"_s);
}

TEST(Cursor, FieldsByNameWithoutRegardToCase) {
  auto q = FourRows();
  EXPECT_EQ(&q->FieldByName(u"FNAME"_s), &q->FieldByName(u"fname"_s));
  EXPECT_EQ(q->FieldByName(u"ParentId"_s).FieldName(), u"parentid"_s);
  EXPECT_EQ(q->FindField(u"nope"_s), nullptr);
  EXPECT_EQ(MessageOf([&] { q->FieldByName(u"nope"_s); }), u"Field 'nope' not found"_s);
  EXPECT_EQ(q->FieldCount(), 3);
  EXPECT_EQ(q->Fields(2).FieldName(), u"fname"_s);
}

TEST(Cursor, ReadsValuesAsTextIntegerStoredValueAndNull) {
  TMemDataSet ds(
      {{u"i"_s, ftInteger}, {u"t"_s, ftWideString}, {u"r"_s, ftFloat}, {u"b"_s, ftBoolean}},
      {{12, u"  7"_s, 2.5, true}, {QVariant(), QVariant(), QVariant(), QVariant()}, {-3, u"7x"_s, -2.5, false}});
  ds.Open();
  TField& i = ds.FieldByName(u"i"_s);
  TField& t = ds.FieldByName(u"t"_s);
  TField& r = ds.FieldByName(u"r"_s);
  TField& b = ds.FieldByName(u"b"_s);
  EXPECT_EQ(i.Value(), QVariant(12));
  EXPECT_EQ(i.AsString(), u"12"_s);
  EXPECT_EQ(t.AsInteger(), 7) << "text goes through the system's integer conversion";
  EXPECT_EQ(r.AsString(), u"2.5"_s);
  EXPECT_EQ(r.AsInteger(), 3) << "2.5 rounds to the nearest integer";
  EXPECT_EQ(b.AsString(), u"True"_s);
  EXPECT_EQ(b.AsInteger(), 1);
  ds.Next();
  for (TField* field : {&i, &t, &r, &b}) {
    SCOPED_TRACE(field->FieldName().toStdString());
    EXPECT_TRUE(field->IsNull());
    EXPECT_EQ(field->AsString(), u""_s);
    EXPECT_EQ(field->AsInteger(), 0);
    EXPECT_FALSE(field->AsBoolean());
  }
  EXPECT_EQ(i.Value().typeId(), QMetaType::Int) << "a NULL keeps its column's type";
  EXPECT_EQ(t.Value().typeId(), QMetaType::QString);
  ds.Next();
  EXPECT_EQ(r.AsInteger(), -3) << "-2.5 rounds away from zero";
  try {
    (void)t.AsInteger();
    ADD_FAILURE() << "no conversion error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"''7x'' is not a valid integer value"_s);
  }
}

TEST(Cursor, BookmarksNameRowsNotPositions) {
  auto q = FourRows();
  q->Locate(u"id"_s, 3);
  const TBookmark third = q->GetBookmark();
  q->First();
  q->GotoBookmark(third);
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 3);

  q->First();
  q->Delete();  // row 1 goes: row 3 moves up one place, the bookmark still finds it
  EXPECT_TRUE(q->BookmarkValid(third));
  q->GotoBookmark(third);
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 3);

  q->SetFilter(u"parentid=-1"_s);
  q->SetFiltered(true);
  EXPECT_FALSE(q->BookmarkValid(third)) << "row 3 is filtered out";
  EXPECT_EQ(MessageOf([&] { q->GotoBookmark(third); }), u"Record not found"_s);
  EXPECT_FALSE(q->BookmarkValid(TBookmark()));
  q->Last();
  q->GotoBookmark(TBookmark());  // an empty cursor's bookmark: nothing to go back to
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 4);

  auto other = FourRows();
  other->Locate(u"id"_s, 3);
  EXPECT_FALSE(q->BookmarkValid(other->GetBookmark())) << "a bookmark of unrelated rows";
}

TEST(Cursor, SortIsAscendingStableAndCaseBlind) {
  TMemDataSet ds({{u"id"_s, ftInteger}, {u"sub"_s, ftWideString}},
                 {{1, u"b"_s}, {2, u"a"_s}, {3, u"B"_s}, {4, u"a"_s}, {5, QVariant()}, {6, u"Цех"_s}, {7, u"АБВ"_s}});
  ds.Open();
  struct {
    const char* Sort;
    const char* Ids;
  } cases[] = {
      {"sub", "5,2,4,1,3,7,6"}, {"SUB ASC", "5,2,4,1,3,7,6"},      {"sub DESC", "6,7,1,3,2,4,5"},
      {"", "1,2,3,4,5,6,7"},    {"sub, id DESC", "5,4,2,3,1,7,6"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Sort);
    ds.SetSort(QString::fromUtf8(c.Sort));
    EXPECT_EQ(Ids(ds), QString::fromUtf8(c.Ids));
  }
  ds.SetSort(u"sub"_s);
  EXPECT_EQ(MessageOf([&] { ds.SetSort(u"zzz"_s); }), u"Field 'zzz' not found"_s);
  EXPECT_EQ(ds.Sort(), u"sub"_s) << "a failed sort keeps the old one";
  ds.SetFilter(u"id > 2"_s);
  ds.SetFiltered(true);
  EXPECT_EQ(Ids(ds), u"5,4,3,7,6"_s) << "filter and sort together";
}

TEST(Cursor, EditInsertDeleteOnTheRowsInMemory) {
  auto q = FourRows();
  q->Locate(u"id"_s, 2);
  q->Edit();
  EXPECT_EQ(q->State(), dsEdit);
  q->FieldByName(u"fname"_s).SetValue(u"Б"_s);
  EXPECT_EQ(q->FieldByName(u"fname"_s).AsString(), u"Б"_s) << "the edit buffer shows in the editing cursor";
  q->Cancel();
  EXPECT_EQ(q->State(), dsBrowse);
  EXPECT_EQ(q->FieldByName(u"fname"_s).AsString(), u"B"_s);

  q->Edit();
  q->FieldByName(u"parentid"_s).SetValue(u"4"_s);
  q->Post();
  EXPECT_EQ(q->FieldByName(u"parentid"_s).Value(), QVariant(4))
      << "text written to an integer field is stored as integer";
  EXPECT_EQ(q->Lookup(u"parentid"_s, 4, u"id"_s), QVariant(2)) << "the index follows the posted value";
  EXPECT_TRUE(q->Lookup(u"id"_s, 2, u"parentid"_s) == QVariant(4));

  q->Locate(u"id"_s, 3);
  q->Insert();
  EXPECT_EQ(q->State(), dsInsert);
  q->FieldByName(u"id"_s).SetAsInteger(10);
  q->FieldByName(u"parentid"_s).SetAsInteger(1);
  q->Post();
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 10) << "the cursor stays on the posted row";
  q->Append();
  q->FieldByName(u"id"_s).SetAsInteger(11);
  q->First();  // moving posts the pending insert
  EXPECT_EQ(q->State(), dsBrowse);
  EXPECT_EQ(Ids(*q), u"1,2,10,3,4,11"_s);

  q->Locate(u"id"_s, 3);
  q->Delete();
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 4) << "after a delete the next row is current";
  q->Last();
  q->Delete();
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 4) << "deleting the last row makes the new last current";
  EXPECT_EQ(Ids(*q), u"1,2,10,4"_s);
  EXPECT_EQ(q->RecordCount(), 4);

  EXPECT_EQ(MessageOf([&] { q->FieldByName(u"fname"_s).SetValue(u"x"_s); }), u"Dataset not in edit or insert mode"_s);
  EXPECT_EQ(MessageOf([&] { q->Post(); }), u"Dataset not in edit or insert mode"_s);
  q->Edit();
  EXPECT_EQ(MessageOf([&] { q->FieldByName(u"id"_s).SetValue(u"x"_s); }), u"''x'' is not a valid integer value"_s);
  q->Cancel();
}
