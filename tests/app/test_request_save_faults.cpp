// The report request when the disk fails under the save: the form shows the engine's message naming
// the file, nothing is left where the workbook was to go, the template stays as it was, and the next
// request from the same form saves the schedule. Runs over the demo database the build makes.
#include "app/ConnectionSettings.h"
#include "app/frMain.h"
#include "platform/base/MessageService.h"
#include "platform/sheet/FileOperations.h"
#include "report/ExcelCore.h"
#include "tests/support/TestSupport.h"
#include "tree/DBTreeViewCore.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

class TFakeApp : public TApplicationHooks {
public:
  void SetExceptionHandler(std::function<void(const std::exception&)>) override {}
  void Terminate() override { ++Terminations; }
  int Terminations = 0;
};

// A disk that fills up after Budget bytes; every write after that fails with ENOSPC.
class TFullDisk : public TFileOperations {
public:
  std::size_t Budget = 4096;
  ssize_t Write(int Fd, const void* Buffer, std::size_t Size) override {
    if (Budget == 0) {
      errno = ENOSPC;
      return -1;
    }
    const ssize_t put = TFileOperations::Write(Fd, Buffer, std::min(Size, Budget));
    if (put > 0) Budget -= static_cast<std::size_t>(put);
    return put;
  }
};

QByteArray Bytes(const QString& Path) {
  QFile file(Path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(RequestSaveFaults, AFullDiskIsShownAndTheNextRequestSaves) {
  const QString demo = TestSupport::BinDir() + u"/demo.db"_s;
  const QString templateFile = TestSupport::BinDir() + u"/PPR.xltx"_s;
  ASSERT_TRUE(QFile::exists(demo)) << "the build makes " << demo.toStdString();
  const QByteArray templateBytes = Bytes(templateFile);
  ASSERT_FALSE(templateBytes.isEmpty());
  QTemporaryDir dir;
  const QString output = dir.filePath(u"schedule.xlsx"_s);
  ExcelCore::SetOutputFile(output);

  ConnectionSettings = {u"sqlite"_s, demo, u"demo"_s, u""_s, u""_s};
  TFakeApp app;
  TMessageRecorder boxes;
  TfrMain form(app);
  form.GetCurrentYear = [] { return 2026; };
  form.FormCreate();
  for (TLxADOTree* tree : {&form.LxADOTree1, &form.LxADOTree2, &form.LxADOTree3})
    SetAllCheckState(*tree, csCheckedNormal);

  TFullDisk disk;
  TFileOperations* previous = SetFileOperations(&disk);
  form.btn1Click();
  SetFileOperations(previous);
  ASSERT_EQ(boxes.Shown.size(), 1u);
  EXPECT_EQ(boxes.Shown[0].Text, u"Не удалось записать книгу «"_s + output + u"»: "_s +
                                     QString::fromLocal8Bit(std::strerror(ENOSPC)) + u"."_s);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
  EXPECT_EQ(Bytes(templateFile), templateBytes);
  EXPECT_EQ(app.Terminations, 0);

  // The same form, the disk working again.
  form.btn1Click();
  EXPECT_EQ(boxes.Shown.size(), 1u) << "no message this time";
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{u"schedule.xlsx"_s});
  EXPECT_EQ(Bytes(templateFile), templateBytes);
  ExcelCore::SetOutputFile({});
}

}  // namespace
