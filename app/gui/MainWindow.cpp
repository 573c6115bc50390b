#include "app/gui/MainWindow.h"

#include "app/gui/Application.h"
#include "app/gui/YearSpinEdit.h"
#include "platform/base/MessageService.h"
#include "platform/base/Screen.h"
#include "platform/vtree/view/TVirtualTreeView.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

using namespace Qt::StringLiterals;

class TMainWindow::THooks : public TApplicationHooks {
public:
  explicit THooks(TApplication& App) : FApp(App) {}
  void SetExceptionHandler(std::function<void(const std::exception&)> Handler) override {
    FApp.OnException = std::move(Handler);
  }
  void Terminate() override { FApp.Terminate(); }

private:
  TApplication& FApp;
};

TMainWindow::TMainWindow(TApplication& App)
    : TAnchorPanel(nullptr, QSize(638, 418)),
      FHooks(std::make_unique<THooks>(App)),
      FForm(std::make_unique<TfrMain>(*FHooks)) {
  setWindowTitle(u"График ППР на год"_s);
  // The form's font; where it is not installed, a sans serif of the same metrics class stands in.
  QFont font;
  font.setFamilies({u"MS Sans Serif"_s, u"Microsoft Sans Serif"_s, u"Liberation Sans"_s, u"Arial"_s});
  font.setPointSize(8);
  setFont(font);
  resize(638, 418);
  setMinimumSize(625, 410);

  lbl5 = new QLabel(u"Год, за который будет сформирован отчет:"_s, this);
  Place(lbl5, {8, 8, 219, 13}, akLeft | akTop);
  meYear = new TYearSpinEdit(FForm->meYear, this);
  Place(meYear, {232, 8, 129, 22}, akLeft | akTop);

  pgc1 = new QTabWidget(this);
  Place(pgc1, {8, 32, 617, 337}, akLeft | akTop | akRight | akBottom);
  struct TPage {
    const char16_t* Caption;
    const char16_t* Label;
    int LabelWidth;
    int TreeHeight;
  } pages[] = {
      {u"Типы СИ", u"Выбирите типы СИ, которые будет включены в отчет.", 272, 257},
      {u"Состояние СИ", u"Выбирите состояния СИ, на основании которых будет сформирован отчет.", 381, 265},
      {u"Подразделения", u"Выбирите подразделения СИ, на основании которых будет сформирован отчет.", 406, 257},
  };
  for (int i = 0; i < 3; ++i) {
    // The page's client area as designed: the page control less its tabs and frame.
    auto* page = new TAnchorPanel(nullptr, QSize(609, 309));
    page->Place(new QLabel(QString::fromUtf16(pages[i].Label)), {8, 8, pages[i].LabelWidth, 13}, akLeft | akTop);
    TreeViews[i] = new TVirtualTreeView(FForm->PageTree(i));
    // Errors raised while Qt handles an expand, a click or a key go the application's error path.
    TreeViews[i]->Model().OnException = [&App](std::exception_ptr Error) {
      try {
        std::rethrow_exception(Error);
      } catch (const std::exception& e) {
        App.HandleException(e);
      }
    };
    TreeViews[i]->header()->hide();
    page->Place(TreeViews[i], {8, 32, 481, pages[i].TreeHeight}, akLeft | akTop | akRight | akBottom);
    pgc1->addTab(page, QString::fromUtf16(pages[i].Caption));
  }

  btnChAll1 = new QPushButton(u"Выделить все"_s, this);
  Place(btnChAll1, {520, 88, 89, 25}, akTop | akRight);
  btnUnChAll1 = new QPushButton(u"Снять все"_s, this);
  Place(btnUnChAll1, {520, 116, 89, 21}, akTop | akRight);
  child = new QCheckBox(u"Автоматическое выделение потомков"_s, this);
  Place(child, {16, 348, 217, 17}, akLeft | akBottom);
  Run = new QPushButton(u"Сформировать график"_s, this);
  Place(Run, {421, 380, 131, 25}, akRight | akBottom);
  btnClose = new QPushButton(u"Отмена"_s, this);
  Place(btnClose, {557, 380, 65, 25}, akRight | akBottom);
  // They belong to the window and lie over the page control, whatever page shows.
  for (QWidget* w :
       {static_cast<QWidget*>(btnChAll1), static_cast<QWidget*>(btnUnChAll1), static_cast<QWidget*>(child)})
    w->raise();
  // No default (Enter) or cancel (Escape) button.
  for (QPushButton* b : {btnChAll1, btnUnChAll1, Run, btnClose}) b->setAutoDefault(false);

  QWidget::setTabOrder(Run, btnUnChAll1);
  QWidget::setTabOrder(btnUnChAll1, btnChAll1);
  QWidget::setTabOrder(btnChAll1, btnClose);
  QWidget::setTabOrder(btnClose, meYear);
  QWidget::setTabOrder(meYear, pgc1);
  QWidget::setTabOrder(pgc1, child);
  // Tab order 0: the window opens with the focus on the request, not in the year field.
  Run->setFocus(Qt::OtherFocusReason);

  connect(pgc1, &QTabWidget::currentChanged, this, [this](int Index) {
    FForm->pgc1.ActivePageIndex = Index;
    FForm->pgc1Change();
    SyncFromForm();
  });
  connect(child, &QCheckBox::toggled, this, [this](bool On) { FForm->child.Checked = On; });
  connect(btnChAll1, &QPushButton::clicked, this, [this] { FForm->btnChAll1Click(); });
  connect(btnUnChAll1, &QPushButton::clicked, this, [this] { FForm->btnUnChAll1Click(); });
  connect(Run, &QPushButton::clicked, this, [this] { FForm->btn1Click(); });
  connect(btnClose, &QPushButton::clicked, this, [this] { FForm->btnCloseClick(); });

  Screen().OnCursorChange = [](TCursor Cursor) {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    if (Cursor == crHourGlass) QApplication::setOverrideCursor(Qt::WaitCursor);
  };

  try {
    FForm->FormCreate();
  } catch (...) {
    // The base class would delete the views after the form's trees are gone.
    delete pgc1;
    pgc1 = nullptr;
    throw;
  }
  SyncFromForm();

  if (const QScreen* screen = QApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TMainWindow::FitMinimumSizeToFrame() {
  const QSize frame = frameGeometry().size() - geometry().size();
  const QSize wanted = (QSize(625, 410) - frame).expandedTo(QSize(0, 0));
  if (minimumSize() != wanted) setMinimumSize(wanted);
}

// The frame is known once the window is shown, and may change when the window manager decorates it.
void TMainWindow::showEvent(QShowEvent* Event) {
  TAnchorPanel::showEvent(Event);
  FitMinimumSizeToFrame();
}

void TMainWindow::moveEvent(QMoveEvent* Event) {
  TAnchorPanel::moveEvent(Event);
  FitMinimumSizeToFrame();
}

TMainWindow::~TMainWindow() {
  Screen().OnCursorChange = nullptr;
  // The views watch the form's trees: they go first, while the trees still exist.
  delete pgc1;
}

void TMainWindow::SyncFromForm() {
  meYear->UpdateFromModel();
  child->setChecked(FForm->child.Checked);
  child->setVisible(FForm->child.Visible);
  if (pgc1->currentIndex() != FForm->pgc1.ActivePageIndex) pgc1->setCurrentIndex(FForm->pgc1.ActivePageIndex);
}
