#include "app/frMain.h"

#include "app/ConnectionString.h"
#include "app/FatalError.h"
#include "platform/base/Screen.h"
#include "report/DatabaseContract.h"
#include "tree/DBTreeViewCore.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace {

void SetUpTree(TLxADOTree& Tree, TDataSource& Source, QStringView ParentFieldName) {
  Tree.DBTreeFields().SetKeyFieldName(DatabaseContract::LookupKeyField.toString());
  Tree.DBTreeFields().SetListFieldName(DatabaseContract::LookupCaptionField.toString());
  Tree.DBTreeFields().SetParentOfRootValue(DatabaseContract::LookupRootParent.toString());
  Tree.DBTreeFields().SetParentFieldName(ParentFieldName.toString());
  Tree.DBTreeImages().SetHasChildrenImageIndex(-1);
  Tree.DBTreeImages().SetHasChildrenSelectedIndex(-1);
  Tree.DBTreeImages().SetNoChildrenImageIndex(-1);
  Tree.DBTreeImages().SetNoChildrenSelectedIndex(-1);
  Tree.TreeOptions.MiscOptions = toCheckSupport | toAcceptOLEDrop | toToggleOnDblClick;
  Tree.TreeOptions.PaintOptions = toShowButtons | toShowRoot | toShowTreeLines | toShowDropmark | toThemeAware;
  Tree.SetDataSource(&Source);
}

}  // namespace

TfrMain::TfrMain(TApplicationHooks& App)
    : GetCurrentYear([] { return static_cast<std::int32_t>(QDate::currentDate().year()); }),
      ds1(&aq1),
      ds2(&aq2),
      ds3(&aq3),
      meYear(1900, 2200, 4, 1900),
      FApp(App) {
  child.Checked = true;
  for (TADOQuery* q : {&aq1, &aq2, &aq3}) q->SetConnection(&conn);
  ds1.SetAutoEdit(false);
  ds2.SetAutoEdit(false);
  ds3.SetAutoEdit(false);
  conn.SetLoginPrompt(false);

  sp1.SetConnection(&conn);
  DatabaseContract::DeclareReportProcedure(sp1);

  SetUpTree(LxADOTree1, ds1, DatabaseContract::LookupTypesParentField);
  SetUpTree(LxADOTree2, ds2, DatabaseContract::LookupParentField);
  SetUpTree(LxADOTree3, ds3, DatabaseContract::LookupParentField);
  auto init = [this](TVirtualStringTree* Sender, PVirtualNode ParentNode, PVirtualNode Node,
                     TVirtualNodeInitStates& InitialStates) {
    LxADOTree1InitNode(Sender, ParentNode, Node, InitialStates);
  };
  LxADOTree1.OnInitNode = init;
  LxADOTree2.OnInitNode = init;
  LxADOTree3.OnInitNode = init;
  // The states tree has no check handler: a state's mark never reaches its descendants.
  auto checked = [this](TVirtualStringTree* Sender, PVirtualNode Node) { LxADOTree1Checked(Sender, Node); };
  LxADOTree1.OnChecked = checked;
  LxADOTree3.OnChecked = checked;
}

TfrMain::~TfrMain() {
  // A handler that outlived the form would call into freed memory (a failed creation is reported
  // after the form is gone); the application's own fatal-error path takes over.
  if (FHandlerInstalled) FApp.SetExceptionHandler(nullptr);
  // The trees let go of their data sources before the queries close.
  LxADOTree1.SetDataSource(nullptr);
  LxADOTree2.SetDataSource(nullptr);
  LxADOTree3.SetDataSource(nullptr);
}

TLxADOTree& TfrMain::PageTree(int Index) {
  switch (Index) {
  case 1:
    return LxADOTree2;
  case 2:
    return LxADOTree3;
  default:
    return LxADOTree1;
  }
}

void TfrMain::FormCreate() {
  FApp.SetExceptionHandler([this](const std::exception& e) { AppException(e); });
  FHandlerInstalled = true;
  conn.Close();
  aq1.Close();
  conn.SetConnectionString(BuildConnectionString(ConnectionSettings));
  conn.Open();
  aq1.SetSQL(DatabaseContract::LookupTypesSql.toString());
  aq1.Open();
  aq2.SetSQL(DatabaseContract::LookupStatesSql.toString());
  aq2.Open();
  aq3.SetSQL(DatabaseContract::LookupSubdivisionsSql.toString());
  aq3.Open();
  btnChAll1Click();
  btnUnChAll1Click();
  for (TLxADOTree* tree : {&LxADOTree1, &LxADOTree2, &LxADOTree3}) {
    tree->FullExpand();
    tree->FullCollapse();
  }
  pgc1.ActivePageIndex = 0;
  pgc1Change();
  meYear.SetValue(GetCurrentYear());
}

void TfrMain::AppException(const std::exception& E) {
  ReportFatalError(ExceptionMessage(E), [this] { FApp.Terminate(); });
}

void TfrMain::LxADOTree1InitNode(TVirtualStringTree*, PVirtualNode, PVirtualNode Node, TVirtualNodeInitStates&) {
  Node->CheckType = ctCheckBox;
}

void TfrMain::LxADOTree1Checked(TVirtualStringTree* Sender, PVirtualNode Node) {
  if (Node->CheckState == csCheckedNormal && child.Checked) {
    CheckDescendants(Node, true, *Sender);
    Sender->Refresh();
  } else if (Node->CheckState == csUncheckedNormal && child.Checked) {
    CheckDescendants(Node, false, *Sender);
    Sender->Refresh();
  }
}

void TfrMain::SetActivePageCheckState(TCheckState State) {
  TBusyCursor busy;
  SetAllCheckState(PageTree(pgc1.ActivePageIndex), State);
}

void TfrMain::btnChAll1Click() { SetActivePageCheckState(csCheckedNormal); }
void TfrMain::btnUnChAll1Click() { SetActivePageCheckState(csUncheckedNormal); }

void TfrMain::pgc1Change() { child.Visible = pgc1.ActivePageIndex != 1; }

void TfrMain::btnCloseClick() { FApp.Terminate(); }
