#include "app/BatchRun.h"

#include "app/FatalError.h"
#include "app/frMain.h"
#include "platform/base/IntegerConversion.h"
#include "report/ExcelCore.h"
#include "tree/DBTreeViewCore.h"

#include <cstdio>

namespace {

class TBatchApp : public TApplicationHooks {
public:
  void SetExceptionHandler(std::function<void(const std::exception&)> Handler) override {
    FHandler = std::move(Handler);
  }
  void Terminate() override { Terminated = true; }
  void Handle(const std::exception& E) {
    if (FHandler)
      FHandler(E);
    else
      ReportFatalError(ExceptionMessage(E), [this] { Terminate(); });
  }
  bool Terminated = false;

private:
  std::function<void(const std::exception&)> FHandler;
};

}  // namespace

bool IsBatchRun() { return qEnvironmentVariable("PPR_BATCH") == QStringLiteral("1"); }

QString RunBatch() {
  TBatchApp app;
  TfrMain frMain(app);
  const QString before = ExcelCore::LastSavedWorkbookPath();
  try {
    frMain.FormCreate();
    if (app.Terminated)
      return {};
    for (TLxADOTree* tree : {&frMain.LxADOTree1, &frMain.LxADOTree2, &frMain.LxADOTree3})
      SetAllCheckState(*tree, csCheckedNormal);
    const QString year = qEnvironmentVariable("PPR_BATCH_YEAR");
    if (!year.isEmpty())
      frMain.meYear.SetText(year);
    frMain.btn1Click();
  } catch (const std::exception& e) {
    app.Handle(e);
    return {};
  }
  const QString saved = ExcelCore::LastSavedWorkbookPath();
  if (saved.isEmpty() || saved == before)
    return {};
  const QByteArray line = saved.toLocal8Bit() + '\n';
  std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
  return saved;
}
