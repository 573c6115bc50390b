// The schedule layout reads the year field through its own small interface.
#include "app/frMain.h"
#include "report/ScheduleLayout.h"

namespace {
class TYearField : public TScheduleYear {
public:
  explicit TYearField(const TSpinEditModel& Field) : FField(Field) {}
  QString Text() const override { return FField.Text(); }
  std::int32_t Value() const override { return FField.Value(); }

private:
  const TSpinEditModel& FField;
};
}  // namespace

void TfrMain::ExcelDraw() { ::ExcelDraw(sp1, TYearField(meYear)); }
