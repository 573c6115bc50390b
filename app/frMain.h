#pragma once
// The selection window's behaviour, without its widgets: the connection, the three lookup queries
// and their trees, the report procedure, the year field, the descendants option and the active page,
// with the window's handlers. The Qt window (app/gui/MainWindow) shows these members and forwards its
// controls' events here; a batch run drives the same object without any window.
//
//   TfrMain frMain(hooks);
//   frMain.FormCreate();          // connects and fills the trees; errors reach the installed handler
//   frMain.btn1Click();           // the report request
#include "app/SpinEditModel.h"
#include "platform/data/ado/ADOConnection.h"
#include "platform/data/ado/ADOQuery.h"
#include "platform/data/ado/ADOStoredProc.h"
#include "platform/data/cursor/DataSource.h"
#include "tree/TLxADOTree.h"

#include <array>
#include <exception>
#include <functional>

// What the window needs of the application object.
class TApplicationHooks {
public:
  virtual ~TApplicationHooks() = default;
  // The application's exception event.
  virtual void SetExceptionHandler(std::function<void(const std::exception&)> Handler) = 0;
  // Asks the message loop to end.
  virtual void Terminate() = 0;
};

struct TCheckBoxModel {
  bool Checked = false;
  bool Visible = true;
};

struct TPageControlModel {
  int ActivePageIndex = 0;
};

class TfrMain {
public:
  explicit TfrMain(TApplicationHooks& App);
  TfrMain(const TfrMain&) = delete;
  TfrMain& operator=(const TfrMain&) = delete;
  ~TfrMain();

  // The creation handler: installs AppException first, then connects, opens the three lookups
  // (which fills the trees), checks and clears page 0's tree, expands and collapses every tree
  // once, shows page 0 and the current year. Its errors are not caught here.
  void FormCreate();
  // The calendar year of the local date; replaceable so that tests fix "now".
  std::function<std::int32_t()> GetCurrentYear;

  void AppException(const std::exception& E);
  void LxADOTree1InitNode(TVirtualStringTree* Sender, PVirtualNode ParentNode, PVirtualNode Node,
                          TVirtualNodeInitStates& InitialStates);
  void LxADOTree1Checked(TVirtualStringTree* Sender, PVirtualNode Node);
  void btnChAll1Click();
  void btnUnChAll1Click();
  void pgc1Change();
  void btnCloseClick();
  // The report request ("Сформировать график").
  void btn1Click();
  // The schedule layout over sp1's open result and the year field.
  void ExcelDraw();

  // The tree of page Index (0 types, 1 states, 2 subdivisions).
  TLxADOTree& PageTree(int Index);

  TADOConnection conn;
  TADOQuery aq1, aq2, aq3;
  TDataSource ds1, ds2, ds3;
  TADOStoredProc sp1;
  TLxADOTree LxADOTree1, LxADOTree2, LxADOTree3;
  TSpinEditModel meYear;
  TCheckBoxModel child;
  TPageControlModel pgc1;

private:
  void SetActivePageCheckState(TCheckState State);

  TApplicationHooks& FApp;
  bool FHandlerInstalled = false;
};
