// Parts made by writers while the package is written: deflated piece by piece (a part that grows large
// changes its level on the way; a second core deflates while the writer makes the next piece) and read back
// byte for byte beside the parts given whole; a writer that fails fails the write and leaves nothing behind.
#include "platform/base/Exception.h"
#include "platform/sheet/ZipPackage.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <new>

using namespace Qt::StringLiterals;

namespace {

// Rows of XML-like text that deflate only so far: a fixed sequence, the same on every run.
std::string SheetLikeText(size_t Size) {
  std::string text;
  uint64_t state = 88172645463325252u;
  while (text.size() < Size) {
    state ^= state << 13, state ^= state >> 7, state ^= state << 17;
    text += "<row r=\"" + std::to_string(state % 1000003) + "\"><c t=\"s\"><v>" + std::to_string(state >> 40) +
            "</v></c></row>";
  }
  text.resize(Size);
  return text;
}

QStringList Files(const QTemporaryDir& Dir) {
  return QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

struct TWrittenPart {
  const char* Name;
  size_t Size;
  size_t Piece;  // bytes handed over at a time
};

TEST(ZipPackageParts, WrittenPartsReadBackAsTheirWriterMadeThem) {
  const TWrittenPart cases[] = {
      {"an empty part", 0, 1},
      {"one piece", 1000, 1000},
      {"pieces of one byte", 3000, 1},
      {"many pieces, past the size where the level changes", (9u << 20) + 12345, 256u << 10},
      {"pieces of odd sizes", (5u << 20) + 7, 70001},
  };
  for (const TWrittenPart& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string text = SheetLikeText(c.Size);
    TZipPackage package;
    package.SetPart("before.xml", std::string("<a/>"));
    bool emptied = true;
    package.SetPart("xl/worksheets/sheet1.xml", [&](const TPartPut& Put) {
      for (size_t at = 0; at < text.size(); at += c.Piece) {
        std::string piece = text.substr(at, c.Piece);
        Put(piece);
        emptied = emptied && piece.empty();
      }
    });
    package.SetPart("after.xml", std::string("<b/>"));
    EXPECT_EQ(package.Part("xl/worksheets/sheet1.xml"), nullptr) << "a written part has no bytes beforehand";

    QTemporaryDir dir;
    const QString out = dir.filePath(u"out.xlsx"_s);
    package.WriteNew(out);
    EXPECT_TRUE(emptied) << "Put takes the piece's bytes";
    const TZipPackage back = TZipPackage::Read(out);
    ASSERT_NE(back.Part("xl/worksheets/sheet1.xml"), nullptr);
    EXPECT_TRUE(*back.Part("xl/worksheets/sheet1.xml") == text) << "the part's bytes differ";
    EXPECT_EQ(*back.Part("before.xml"), "<a/>");
    EXPECT_EQ(*back.Part("after.xml"), "<b/>");
    EXPECT_EQ(Files(dir), QStringList{u"out.xlsx"_s});
  }
}

TEST(ZipPackageParts, AWriterThatFailsLeavesNothingBehind) {
  const std::string piece = SheetLikeText(300000);
  struct TFailure {
    const char* Name;
    int After;  // pieces put before the failure
    std::function<void()> Fail;
    QString Message;
  };
  const TFailure cases[] = {
      {"at once", 0, [] { throw Exception(u"ячейка слишком длинная"_s); }, u"ячейка слишком длинная"_s},
      {"after some pieces", 40, [] { throw Exception(u"ячейка слишком длинная"_s); }, u"ячейка слишком длинная"_s},
      {"out of memory", 5, [] { throw std::bad_alloc(); }, u"out of memory"_s},
  };
  for (const TFailure& c : cases) {
    SCOPED_TRACE(c.Name);
    TZipPackage package;
    package.SetPart("xl/worksheets/sheet1.xml", [&](const TPartPut& Put) {
      for (int i = 0; i < c.After; ++i) {
        std::string copy = piece;
        Put(copy);
      }
      c.Fail();
    });
    QTemporaryDir dir;
    const QString out = dir.filePath(u"out.xlsx"_s);
    QString message;
    try {
      package.WriteNew(out);
    } catch (const Exception& error) {
      message = error.Message();
    } catch (const std::bad_alloc& error) {
      message = u"out of memory"_s;
    }
    EXPECT_EQ(message, c.Message);
    EXPECT_EQ(Files(dir), QStringList()) << "no target, no temporary file";
  }
}

}  // namespace
