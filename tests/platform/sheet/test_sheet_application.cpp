// The application's hand-over: given by whoever wires the engine to a desktop, run once per workbook
// when the application becomes visible, and a clear failure where none was given.
#include "platform/sheet/SheetApplication.h"
#include "platform/sheet/Workbook.h"
#include "tests/platform/sheet/SheetFixture.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace SheetFixture;
using namespace Qt::StringLiterals;

namespace {

TEST(SheetApplication, EachWorkbookIsHandedOverOnceThroughTheGivenHandOver) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"t.xltx"_s);
  TBook().Write(path);
  TSheetApplication app;
  app.AddWorkbook(path);
  app.AddWorkbook(path);
  QStringList seen;
  app.SetHandOver([&seen](TWorkbook& Book) {
    seen << Book.SourcePath();
    return u"saved-%1"_s.arg(seen.size());
  });
  app.SetVisible(true);
  app.SetVisible(true);  // already the user's: nothing again
  EXPECT_EQ(seen, (QStringList{path, path}));
  EXPECT_EQ(app.HandedOver(), (std::vector<QString>{u"saved-1"_s, u"saved-2"_s}));
}

TEST(SheetApplication, WithoutAHandOverBecomingVisibleFailsAndHandsNothingOver) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"t.xltx"_s);
  TBook().Write(path);
  TSheetApplication app;
  app.SetVisible(true);  // no workbook yet: nothing to hand over, no failure
  app.AddWorkbook(path);
  EXPECT_EQ(MessageOf([&] { app.SetVisible(true); }),
            u"Книгу некому передать: приложение не знает, как показать её пользователю."_s);
  EXPECT_TRUE(app.HandedOver().empty());
}

}  // namespace
