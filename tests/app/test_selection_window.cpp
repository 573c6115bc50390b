// The selection window's behaviour and the report request, headless, over a real SQLite report
// database: creation, the check handlers, select-all, the page change, and what the request sends.
#include "app/ConnectionSettings.h"
#include "app/frMain.h"
#include "platform/base/MessageService.h"
#include "tests/app/ReportDbFixture.h"
#include "tree/TLxNodeItem.h"

#include "tree/DBTreeViewCore.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class TFakeApp : public TApplicationHooks {
public:
  void SetExceptionHandler(std::function<void(const std::exception&)> Value) override { Handler = std::move(Value); }
  void Terminate() override { ++Terminations; }
  std::function<void(const std::exception&)> Handler;
  int Terminations = 0;
};

QString KeyOf(TVirtualStringTree& Tree, PVirtualNode Node) {
  auto* item = *static_cast<TLxNodeItem**>(Tree.GetNodeData(Node));
  return item ? item->Key() : QString();
}

PVirtualNode NodeByKey(TVirtualStringTree& Tree, const QString& Key) {
  for (PVirtualNode n = Tree.GetFirstNoInit(); n; n = Tree.GetNextNoInit(n))
    if (KeyOf(Tree, n) == Key) return n;
  return nullptr;
}

QStringList CheckedKeys(TVirtualStringTree& Tree) {
  QStringList keys;
  for (PVirtualNode n = Tree.GetFirstNoInit(); n; n = Tree.GetNextNoInit(n))
    if (n->CheckState == csCheckedNormal) keys << KeyOf(Tree, n);
  return keys;
}

class SelectionWindow : public ::testing::Test {
protected:
  explicit SelectionWindow(const QString& ReportBody = {}) : Db(StandardLookups(), ReportBody) {
    ConnectionSettings = {u"sqlite"_s, Db.Path(), u"demo"_s, u""_s, u""_s};
    Window = std::make_unique<TfrMain>(App);
    Window->GetCurrentYear = [] { return 2026; };
    Window->FormCreate();
  }
  void Click(TLxADOTree& Tree, int Key) { Tree.ToggleCheckByUser(NodeByKey(Tree, QString::number(Key))); }

  TReportDb Db;
  TFakeApp App;
  TMessageRecorder Boxes;
  std::unique_ptr<TfrMain> Window;
};

TEST_F(SelectionWindow, OpensWithEveryNodeLoadedUncheckedCollapsedOnPageZero) {
  TfrMain& w = *Window;
  EXPECT_TRUE(static_cast<bool>(App.Handler)) << "AppException installed";
  EXPECT_EQ(w.LxADOTree1.TotalCount(), 6u);
  EXPECT_EQ(w.LxADOTree2.TotalCount(), 4u);
  EXPECT_EQ(w.LxADOTree3.TotalCount(), 3u) << "the orphan row is never shown";
  for (TLxADOTree* tree : {&w.LxADOTree1, &w.LxADOTree2, &w.LxADOTree3}) {
    EXPECT_TRUE(CheckedKeys(*tree).isEmpty());
    for (PVirtualNode n = tree->GetFirstNoInit(); n; n = tree->GetNextNoInit(n)) {
      EXPECT_FALSE(tree->Expanded(n));
      EXPECT_EQ(n->CheckType, ctCheckBox);
      EXPECT_TRUE(n->States & vsInitialized);
    }
  }
  EXPECT_EQ(w.pgc1.ActivePageIndex, 0);
  EXPECT_TRUE(w.child.Visible);
  EXPECT_TRUE(w.child.Checked);
  EXPECT_EQ(w.meYear.Text(), u"2026"_s);
  EXPECT_TRUE(Boxes.Shown.empty());
}

TEST_F(SelectionWindow, DescendantsFollowAClickOnlyWithTheOptionAndNotInTheStatesTree) {
  TfrMain& w = *Window;
  // Checking type 2 passes the mark to 3 and 4 (collapsed), not to its sibling 5 or parent 1.
  Click(w.LxADOTree1, 2);
  EXPECT_EQ(CheckedKeys(w.LxADOTree1), (QStringList{u"2"_s, u"3"_s, u"4"_s}));
  // Unchecking 3 unchecks 3 and 4 only.
  Click(w.LxADOTree1, 3);
  EXPECT_EQ(CheckedKeys(w.LxADOTree1), (QStringList{u"2"_s}));
  // Without the option, a click changes that node alone; what was passed on before stays.
  w.child.Checked = false;
  Click(w.LxADOTree1, 1);
  EXPECT_EQ(CheckedKeys(w.LxADOTree1), (QStringList{u"1"_s, u"2"_s}));
  // The states tree never passes a mark on, whatever the option says.
  w.child.Checked = true;
  Click(w.LxADOTree2, 10);
  EXPECT_EQ(CheckedKeys(w.LxADOTree2), (QStringList{u"10"_s}));
  // Subdivisions do.
  Click(w.LxADOTree3, 258);
  EXPECT_EQ(CheckedKeys(w.LxADOTree3), (QStringList{u"258"_s, u"5"_s}));
}

TEST_F(SelectionWindow, SelectAllActsOnTheActivePageTreeOnly) {
  TfrMain& w = *Window;
  w.pgc1.ActivePageIndex = 2;
  w.pgc1Change();
  w.btnChAll1Click();
  EXPECT_EQ(CheckedKeys(w.LxADOTree3), (QStringList{u"258"_s, u"5"_s, u"300"_s}));
  EXPECT_TRUE(CheckedKeys(w.LxADOTree1).isEmpty());
  EXPECT_TRUE(CheckedKeys(w.LxADOTree2).isEmpty());
  w.btnUnChAll1Click();
  EXPECT_TRUE(CheckedKeys(w.LxADOTree3).isEmpty());
}

TEST_F(SelectionWindow, StatesPageHidesTheOptionAndKeepsItsValue) {
  TfrMain& w = *Window;
  w.child.Checked = false;
  w.pgc1.ActivePageIndex = 1;
  w.pgc1Change();
  EXPECT_FALSE(w.child.Visible);
  w.pgc1.ActivePageIndex = 2;
  w.pgc1Change();
  EXPECT_TRUE(w.child.Visible);
  EXPECT_FALSE(w.child.Checked);
}

TEST_F(SelectionWindow, CloseAsksTheApplicationToTerminate) {
  Window->btnCloseClick();
  EXPECT_EQ(App.Terminations, 1);
  EXPECT_TRUE(Boxes.Shown.empty());
}

TEST_F(SelectionWindow, RequestNamesTheFirstTreeWithoutMarksAndSendsNothing) {
  TfrMain& w = *Window;
  struct Row {
    const char* Name;
    std::vector<std::pair<TLxADOTree*, int>> Checks;
    QString Expected;
  } rows[] = {
      {"nothing checked", {}, u"Выберите тип СИ"_s},
      {"states and subdivisions only", {{&w.LxADOTree2, 13}, {&w.LxADOTree3, 300}}, u"Выберите тип СИ"_s},
      {"types only", {{&w.LxADOTree1, 6}}, u"Выберите состояние СИ"_s},
      {"types and states", {{&w.LxADOTree1, 6}, {&w.LxADOTree2, 13}}, u"Выберите подразделение"_s},
  };
  w.child.Checked = false;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    for (TLxADOTree* tree : {&w.LxADOTree1, &w.LxADOTree2, &w.LxADOTree3}) SetAllCheckState(*tree, csUncheckedNormal);
    for (const auto& [tree, key] : row.Checks) Click(*tree, key);
    Boxes.Shown.clear();
    w.btn1Click();
    ASSERT_EQ(Boxes.Shown.size(), 1u);
    EXPECT_EQ(Boxes.Shown[0].Text, row.Expected);
    EXPECT_EQ(Boxes.Shown[0].Buttons, TMessageButtons::Ok);
    EXPECT_FALSE(w.sp1.Active()) << "the procedure is not run";
  }
}

TEST_F(SelectionWindow, RequestSendsPreOrderArraysAndTheYearText) {
  TfrMain& w = *Window;
  w.child.Checked = false;
  // A checked node in a collapsed branch counts; a checked parent brings no children, and checked
  // children bring no parent.
  Click(w.LxADOTree1, 4);
  Click(w.LxADOTree1, 1);
  Click(w.LxADOTree2, 11);
  Click(w.LxADOTree3, 5);
  Click(w.LxADOTree3, 258);
  w.meYear.SetText(u"2013"_s);
  w.btn1Click();
  ASSERT_TRUE(w.sp1.Active());
  EXPECT_EQ(w.sp1.FieldByName(u"types"_s).AsString(), u"0000000100000004"_s);
  EXPECT_EQ(w.sp1.FieldByName(u"states"_s).AsString(), u"0000000B"_s);
  EXPECT_EQ(w.sp1.FieldByName(u"subdivs"_s).AsString(), u"0000010200000005"_s);
  EXPECT_EQ(w.sp1.FieldByName(u"year"_s).AsString(), u"2013"_s);
  EXPECT_EQ(w.sp1.FieldByName(u"yeartype"_s).AsString(), u"text"_s);
  // The echo lacks the schedule's columns: the layout's error is shown and the program goes on.
  ASSERT_EQ(Boxes.Shown.size(), 1u);
  EXPECT_TRUE(Boxes.Shown[0].Text.contains(u"not found"_s)) << Boxes.Shown[0].Text.toStdString();
  EXPECT_EQ(App.Terminations, 0);

  // A second request closes the first result before it runs again.
  Click(w.LxADOTree2, 13);
  w.btn1Click();
  ASSERT_TRUE(w.sp1.Active());
  EXPECT_EQ(w.sp1.FieldByName(u"states"_s).AsString(), u"0000000B0000000D"_s);
}

TEST_F(SelectionWindow, YearThatIsNoIntegerIsShownAndTheProcedureNotRun) {
  TfrMain& w = *Window;
  for (TLxADOTree* tree : {&w.LxADOTree1, &w.LxADOTree2, &w.LxADOTree3}) SetAllCheckState(*tree, csCheckedNormal);
  w.meYear.SetText(u"20-1"_s);
  w.btn1Click();
  ASSERT_EQ(Boxes.Shown.size(), 1u);
  EXPECT_EQ(Boxes.Shown[0].Text, u"''20-1'' is not a valid integer value"_s);
  EXPECT_EQ(Boxes.Shown[0].Caption, ApplicationTitle());
  EXPECT_FALSE(w.sp1.Active());
  EXPECT_EQ(App.Terminations, 0);
}

TEST(SelectionWindowStart, ConnectionFailureReachesAppExceptionAndEndsTheProgram) {
  TFakeApp app;
  TMessageRecorder boxes;
  QTemporaryDir dir;
  ConnectionSettings = {u"sqlite"_s, dir.filePath(u"missing.db"_s), u"demo"_s, u""_s, u""_s};
  TfrMain w(app);
  try {
    w.FormCreate();
    FAIL() << "a missing database must fail the creation";
  } catch (const std::exception& e) {
    ASSERT_TRUE(static_cast<bool>(app.Handler));
    app.Handler(e);
  }
  ASSERT_EQ(boxes.Shown.size(), 1u);
  EXPECT_TRUE(boxes.Shown[0].Text.startsWith(u"Ошибка выполнения отчета: "_s)) << boxes.Shown[0].Text.toStdString();
  EXPECT_TRUE(boxes.Shown[0].Text.contains(u"missing.db"_s)) << boxes.Shown[0].Text.toStdString();
  EXPECT_EQ(boxes.Shown[0].Caption, u"Приложение будет закрыто"_s);
  EXPECT_EQ(boxes.Shown[0].Icon, TMessageIcon::Warning);
  EXPECT_EQ(app.Terminations, 1);
  EXPECT_TRUE(QDir(dir.path()).isEmpty()) << "no database file is made";
}

TEST(YearField, StepsClampsAndTyping) {
  struct Row {
    const char* Name;
    QString Text;
    QString AfterFocusLost;
    QString AfterStepUp;
  } rows[] = {
      {"below the range", u"1800"_s, u"1900"_s, u"1900"_s},
      {"above the range", u"2500"_s, u"2200"_s, u"2200"_s},
      {"inside", u"2013"_s, u"2013"_s, u"2014"_s},
      {"no whole number stays as typed", u"20-1"_s, u"20-1"_s, u"1901"_s},
      {"empty", u""_s, u""_s, u"1901"_s},
      {"upper bound", u"2200"_s, u"2200"_s, u"2200"_s},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    TSpinEditModel focus(1900, 2200, 4, 1900);
    focus.SetText(row.Text);
    focus.FocusLost();
    EXPECT_EQ(focus.Text(), row.AfterFocusLost);
    TSpinEditModel step(1900, 2200, 4, 1900);
    step.SetText(row.Text);
    step.Step(+1);
    EXPECT_EQ(step.Text(), row.AfterStepUp);
  }
  TSpinEditModel year(1900, 2200, 4, 1900);
  year.Step(-1);
  EXPECT_EQ(year.Text(), u"1900"_s);
  year.SetText(u"201345"_s);
  EXPECT_EQ(year.Text(), u"2013"_s) << "at most 4 characters";
  for (QChar c : u"0123456789+-,\b"_s) EXPECT_TRUE(year.AcceptsKey(c, u',')) << int{c.unicode()};
  for (QChar c : u"a.Я \r"_s) EXPECT_FALSE(year.AcceptsKey(c, u',')) << int{c.unicode()};
}

}  // namespace
