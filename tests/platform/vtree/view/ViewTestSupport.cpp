#include "ViewTestSupport.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <memory>

namespace {
class TApplicationEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    FApp = std::make_unique<QApplication>(FArgc, FArgv);
  }
  void TearDown() override { FApp.reset(); }

private:
  int FArgc = 1;
  char FName[16] = "test_vtree_view";
  char* FArgv[2] = {FName, nullptr};
  std::unique_ptr<QApplication> FApp;
};

[[maybe_unused]] ::testing::Environment* const kApplication =
    ::testing::AddGlobalTestEnvironment(new TApplicationEnvironment);

TWarningRecorder* gRecorder = nullptr;
QtMessageHandler gPrevious = nullptr;

void Record(QtMsgType Type, const QMessageLogContext& Context, const QString& Text) {
  if (gRecorder && (Type == QtWarningMsg || Type == QtCriticalMsg || Type == QtFatalMsg)) gRecorder->Warnings << Text;
  if (gPrevious) gPrevious(Type, Context, Text);
}
}  // namespace

TWarningRecorder::TWarningRecorder() {
  gRecorder = this;
  gPrevious = qInstallMessageHandler(Record);
}

TWarningRecorder::~TWarningRecorder() {
  qInstallMessageHandler(gPrevious);
  gRecorder = nullptr;
}

TLazyTree::TLazyTree() {
  SetNodeDataSize(sizeof(int));
  TreeOptions.MiscOptions |= toCheckSupport;
  OnInitNode = [this](TVirtualStringTree*, PVirtualNode Parent, PVirtualNode Node, TVirtualNodeInitStates& States) {
    Node->CheckType = ctCheckBox;
    int& name = *static_cast<int*>(GetNodeData(Node));
    if (name == 0) name = Name(Parent) * 10 + static_cast<int>(Node->Index) + 1;
    if (name < 100) States |= ivsHasChildren;
  };
  // The children are made here, named at once, as the data-bound tree does.
  OnInitChildren = [this](TVirtualStringTree*, PVirtualNode Node, std::uint32_t& Count) {
    ++Loads;
    Count = Name(Node) == 3 ? 0 : 2;
    for (std::uint32_t k = 0; k < Count; ++k)
      *static_cast<int*>(GetNodeData(AddChild(Node))) = Name(Node) * 10 + static_cast<int>(k) + 1;
  };
  OnGetText = [this](TVirtualStringTree*, PVirtualNode Node, TColumnIndex, TVSTTextType, QString& Text) {
    Text = QStringLiteral("n") + QString::number(Name(Node));
  };
  for (int i = 1; i <= 3; ++i) {
    PVirtualNode n = AddChild(nullptr);
    *static_cast<int*>(GetNodeData(n)) = i;
    SetHasChildren(n, true);
  }
}

PVirtualNode TLazyTree::Find(int Wanted) {
  for (PVirtualNode n = GetFirstNoInit(); n; n = GetNextNoInit(n))
    if (Name(n) == Wanted) return n;
  return nullptr;
}

QStringList TLazyTree::Shape() {
  QStringList shape;
  for (PVirtualNode n = GetFirstNoInit(); n; n = GetNextNoInit(n))
    shape << (Name(n) ? QString::number(Name(n)) : QStringLiteral("?")) +
                 ((n->States & vsHasChildren) ? QStringLiteral("+") : QString()) +
                 ((n->States & vsExpanded) ? QStringLiteral("(x)") : QString());
  return shape;
}
