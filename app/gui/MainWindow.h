#pragma once
// The window the user sees: the controls of the selection form at their places, bound to the
// headless TfrMain that holds the behaviour. Creating it runs the form's creation handler, so it
// may throw (the connection fails, a lookup is missing); by then AppException is installed.
#include "app/frMain.h"

#include "app/gui/AnchorPanel.h"

#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;
class TApplication;
class TVirtualTreeView;
class TYearSpinEdit;

class TMainWindow : public TAnchorPanel {
public:
  explicit TMainWindow(TApplication& App);
  ~TMainWindow() override;

  TfrMain& Form() { return *FForm; }

  // The controls, by the form's names.
  QLabel* lbl5 = nullptr;
  TYearSpinEdit* meYear = nullptr;
  QTabWidget* pgc1 = nullptr;
  QPushButton* btnChAll1 = nullptr;
  QPushButton* btnUnChAll1 = nullptr;
  QCheckBox* child = nullptr;
  QPushButton* Run = nullptr;
  QPushButton* btnClose = nullptr;
  TVirtualTreeView* TreeViews[3] = {nullptr, nullptr, nullptr};

protected:
  void showEvent(QShowEvent* Event) override;
  void moveEvent(QMoveEvent* Event) override;

private:
  class THooks;
  void SyncFromForm();
  // The form's minimum size, 625 x 410, counts the window frame; Qt's counts the client area only.
  void FitMinimumSizeToFrame();

  std::unique_ptr<THooks> FHooks;
  std::unique_ptr<TfrMain> FForm;
};
