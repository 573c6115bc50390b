// The report request: the checked nodes of the three trees become the procedure's ID arrays, the
// year is checked, the procedure runs and its result goes to the schedule layout.
#include "app/frMain.h"
#include "platform/base/Exception.h"
#include "platform/base/IntegerConversion.h"
#include "platform/base/MessageService.h"
#include "tree/DBTreeViewCore.h"

#include <QBuffer>

using namespace Qt::StringLiterals;

void TfrMain::btn1Click() {
  sp1.Close();
  // One buffer serves the three arrays in turn and goes with the request, on every path.
  QBuffer buffer;
  buffer.open(QIODevice::ReadWrite);

  struct TSelection {
    TLxADOTree* Tree;
    QString Parameter;
    QString Missing;
  };
  const TSelection selections[] = {
      {&LxADOTree1, u"@MiTypesArray"_s, u"Выберите тип СИ"_s},
      {&LxADOTree2, u"@MMStateArray"_s, u"Выберите состояние СИ"_s},
      {&LxADOTree3, u"@SubDivsArray"_s, u"Выберите подразделение"_s},
  };
  for (const TSelection& s : selections) {
    WriteCheckedIds(buffer, *s.Tree);
    if (buffer.size() == 0) {
      ShowMessage(s.Missing);
      return;
    }
    sp1.Parameters().ParamByName(s.Parameter).LoadFromStream(buffer.data(), ftBlob);
  }

  try {
    StrToInt(meYear.Text());
    sp1.Parameters().ParamByName(u"@year"_s).SetValue(meYear.Text());
    sp1.Open();
    ExcelDraw();
  } catch (const Exception& e) {
    ShowMessage(e.Message());
  }
}
