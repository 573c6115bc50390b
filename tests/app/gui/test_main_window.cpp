// The real window under Qt's offscreen platform, over a real SQLite report database: the controls
// at their places, the trees shown, the page change, the buttons, the anchors, and a failed start.
#include "app/ConnectionSettings.h"
#include "app/gui/Application.h"
#include "app/gui/MainWindow.h"
#include "app/gui/QtMessageService.h"
#include "app/gui/YearSpinEdit.h"
#include "platform/base/MessageService.h"
#include "platform/vtree/view/TVirtualTreeView.h"
#include "tests/app/ReportDbFixture.h"
#include "tests/app/gui/TestApplication.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
  MainWindowTest() : Db(StandardLookups()) {
    App();
    ConnectionSettings = {u"sqlite"_s, Db.Path(), u"demo"_s, u""_s, u""_s};
  }
  TReportDb Db;
  TMessageRecorder Boxes;
};

int CheckedCount(TVirtualStringTree& Tree) {
  int n = 0;
  for (PVirtualNode node = Tree.GetFirstNoInit(); node; node = Tree.GetNextNoInit(node))
    n += node->CheckState == csCheckedNormal;
  return n;
}

TEST_F(MainWindowTest, ControlsAtTheirPlacesAndTheTreesShown) {
  TMainWindow w(App());
  w.show();
  EXPECT_EQ(w.windowTitle(), u"График ППР на год"_s);
  // 625 x 410 counts the frame, as the form's constraints do.
  EXPECT_EQ(w.minimumSize() + (w.frameGeometry().size() - w.geometry().size()), QSize(625, 410));
  EXPECT_EQ(w.Run->text(), u"Сформировать график"_s);
  EXPECT_EQ(w.Run->geometry(), QRect(421, 380, 131, 25));
  EXPECT_EQ(w.btnClose->text(), u"Отмена"_s);
  EXPECT_EQ(w.btnUnChAll1->geometry(), QRect(520, 116, 89, 21));
  EXPECT_EQ(w.child->text(), u"Автоматическое выделение потомков"_s);
  EXPECT_TRUE(w.child->isChecked());
  ASSERT_EQ(w.pgc1->count(), 3);
  EXPECT_EQ(w.pgc1->tabText(0), u"Типы СИ"_s);
  EXPECT_EQ(w.pgc1->tabText(1), u"Состояние СИ"_s);
  EXPECT_EQ(w.pgc1->tabText(2), u"Подразделения"_s);
  EXPECT_EQ(w.pgc1->currentIndex(), 0);
  // Top-level rows only show; every node exists and is unchecked.
  EXPECT_EQ(w.TreeViews[0]->model()->rowCount(), 2);
  EXPECT_EQ(w.TreeViews[0]->model()->index(0, 0).data().toString(), u"Средства измерений давления"_s);
  EXPECT_EQ(w.TreeViews[0]->model()->index(0, 0).data(Qt::CheckStateRole).toInt(), int{Qt::Unchecked});
  EXPECT_FALSE(w.TreeViews[0]->isExpanded(w.TreeViews[0]->model()->index(0, 0)));
  EXPECT_FALSE(w.grab().toImage().isNull());
  EXPECT_TRUE(Boxes.Shown.empty());
}

TEST_F(MainWindowTest, PagesButtonsAndTheRequestThroughTheControls) {
  TMainWindow w(App());
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  w.pgc1->setCurrentIndex(1);
  EXPECT_FALSE(w.child->isVisible()) << "hidden on the states page";
  w.pgc1->setCurrentIndex(2);
  EXPECT_TRUE(w.child->isVisible());
  QTest::mouseClick(w.btnChAll1, Qt::LeftButton);
  EXPECT_EQ(CheckedCount(w.Form().LxADOTree3), 3);
  EXPECT_EQ(CheckedCount(w.Form().LxADOTree1), 0);
  QTest::mouseClick(w.Run, Qt::LeftButton);
  ASSERT_EQ(Boxes.Shown.size(), 1u);
  EXPECT_EQ(Boxes.Shown[0].Text, u"Выберите тип СИ"_s);
  QTest::mouseClick(w.btnUnChAll1, Qt::LeftButton);
  EXPECT_EQ(CheckedCount(w.Form().LxADOTree3), 0);
  QTest::mouseClick(w.child, Qt::LeftButton);
  EXPECT_FALSE(w.Form().child.Checked);
}

TEST_F(MainWindowTest, AnchoredControlsFollowAResize) {
  TMainWindow w(App());
  w.show();
  const QRect run = w.Run->geometry();
  const QRect tabs = w.pgc1->geometry();
  const QRect year = w.meYear->geometry();
  w.resize(w.width() + 100, w.height() + 50);
  EXPECT_EQ(w.Run->geometry(), run.translated(100, 50));
  EXPECT_EQ(w.pgc1->geometry(), QRect(tabs.topLeft(), tabs.size() + QSize(100, 50)));
  EXPECT_EQ(w.meYear->geometry(), year);
}

TEST_F(MainWindowTest, FocusStartsOnTheRequest) {
  TMainWindow w(App());
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  EXPECT_EQ(w.focusWidget(), w.Run);
}

TEST(MessageBox, IsWideEnoughForItsCaption) {
  App();
  const QString caption = u"Приложение будет закрыто"_s;
  const int captionWidth = QFontMetrics(QApplication::font()).horizontalAdvance(caption);
  QMessageBox plain(QMessageBox::Warning, caption, u"Ок"_s, QMessageBox::Ok);
  plain.show();
  QMessageBox fitted(QMessageBox::Warning, caption, u"Ок"_s, QMessageBox::Ok);
  FitCaption(fitted);
  fitted.show();
  // The title bar holds the caption and, beside it, the window's own buttons (three of a line's height).
  EXPECT_GE(fitted.width(), captionWidth + 3 * QFontMetrics(QApplication::font()).height());
  EXPECT_GT(fitted.width(), plain.width()) << "Qt alone sizes the box by its short text";
}

// The arrows' state for the text as typed: a number steps from itself, anything else from 1900.
class TProbedYear : public TYearSpinEdit {
public:
  using TYearSpinEdit::lineEdit;
  using TYearSpinEdit::stepEnabled;
  using TYearSpinEdit::TYearSpinEdit;
};

TEST(YearField, ArrowsFollowTheTypedText) {
  App();
  struct Row {
    const char16_t* Typed;
    bool Up;
    bool Down;
  } rows[] = {
      {u"2024", true, true},  {u"2200", false, true}, {u"1900", true, false}, {u"20-1", true, false},
      {u"", true, false},     {u"3000", false, true}, {u"1000", true, false}, {u"2199", true, true},
      {u"+300", true, false}, {u"-5", true, false},
  };
  TSpinEditModel model(1900, 2200, 4, 2024);
  TProbedYear field(model);
  field.show();
  for (const Row& row : rows) {
    SCOPED_TRACE(QString::fromUtf16(row.Typed).toStdString());
    field.lineEdit()->selectAll();
    QTest::keyClick(field.lineEdit(), Qt::Key_Backspace);
    QTest::keyClicks(field.lineEdit(), QString::fromUtf16(row.Typed));
    EXPECT_EQ(model.Text(), QString::fromUtf16(row.Typed));
    EXPECT_EQ(bool(field.stepEnabled() & QAbstractSpinBox::StepUpEnabled), row.Up);
    EXPECT_EQ(bool(field.stepEnabled() & QAbstractSpinBox::StepDownEnabled), row.Down);
  }
}

TEST(MainWindowStart, FailedConnectionShowsTheErrorAndTerminates) {
  TApplication& app = App();
  TMessageRecorder boxes;
  QTemporaryDir dir;
  ConnectionSettings = {u"sqlite"_s, dir.filePath(u"absent.db"_s), u"demo"_s, u""_s, u""_s};
  std::unique_ptr<TMainWindow> w;
  try {
    w = std::make_unique<TMainWindow>(app);
    FAIL() << "the window must not come into use";
  } catch (const std::exception& e) {
    app.HandleException(e);
  }
  ASSERT_EQ(boxes.Shown.size(), 1u);
  EXPECT_TRUE(boxes.Shown[0].Text.startsWith(u"Ошибка выполнения отчета: "_s));
  EXPECT_EQ(boxes.Shown[0].Caption, u"Приложение будет закрыто"_s);
  EXPECT_TRUE(app.Terminated());
  app.OnException = nullptr;
}

}  // namespace
