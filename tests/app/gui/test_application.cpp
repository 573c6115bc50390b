// The application object routes every exception that leaves an event handler to the error path.
#include "app/FatalError.h"
#include "app/gui/Application.h"
#include "platform/base/Exception.h"
#include "platform/base/MessageService.h"
#include "tests/app/gui/TestApplication.h"

#include <QEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

class TThrowing : public QObject {
public:
  std::function<void()> Throw;
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) Throw();
    return QObject::event(e);
  }
};

struct Row {
  const char* Name;
  std::function<void()> Throw;
  QString Expected;
};

TEST(Application, ExceptionFromEventHandlerShowsBoxAndTerminates) {
  const Row rows[] = {
      {"our exception", [] { throw Exception(u"Login failed for user 'sa'."_s); },
       u"Ошибка выполнения отчета: Login failed for user 'sa'."_s},
      {"standard exception", [] { throw std::runtime_error("disk full"); }, u"Ошибка выполнения отчета: disk full"_s},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    TApplication& app = App();
    app.OnException = nullptr;
    TMessageRecorder boxes;
    TThrowing target;
    target.Throw = row.Throw;
    QEvent event(QEvent::User);
    EXPECT_NO_THROW(app.notify(&target, &event));
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Text, row.Expected);
    EXPECT_EQ(boxes.Shown[0].Caption, u"Приложение будет закрыто"_s);
    EXPECT_EQ(boxes.Shown[0].Icon, TMessageIcon::Warning);
    EXPECT_EQ(boxes.Shown[0].Buttons, TMessageButtons::Ok);
    EXPECT_TRUE(app.Terminated());
  }
}

TEST(Application, InstalledHandlerReceivesTheException) {
  TApplication& app = App();
  QString seen;
  app.OnException = [&](const std::exception& e) { seen = ExceptionMessage(e); };
  TThrowing target;
  target.Throw = [] { throw Exception(u"Field 'id' not found"_s); };
  QEvent event(QEvent::User);
  app.notify(&target, &event);
  app.OnException = nullptr;
  EXPECT_EQ(seen, u"Field 'id' not found"_s);
}

TEST(Application, TerminateBeforeTheLoopStartsKeepsItFromRunning) {
  TApplication& app = App();
  app.Terminate();
  EXPECT_TRUE(app.Terminated());
  // A queued quit also ends a loop that starts afterwards, so exec() returns instead of hanging.
  QTimer::singleShot(0, &app, [&] { app.Terminate(); });
  EXPECT_EQ(app.exec(), 0);
}

}  // namespace
