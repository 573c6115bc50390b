#pragma once
// The year field: a spin edit whose text may be any typed text (it need not be a number), with the
// rules of TSpinEditModel: arrows step within the range, a number outside the range is brought
// back to the nearer bound when the field loses focus, refused keys beep.
#include "app/SpinEditModel.h"

#include <QAbstractSpinBox>

class TYearSpinEdit : public QAbstractSpinBox {
public:
  TYearSpinEdit(TSpinEditModel& Model, QWidget* Parent = nullptr);

  // Shows the model's text (after the core changed it).
  void UpdateFromModel();

  void stepBy(int Steps) override;
  QValidator::State validate(QString& Input, int& Pos) const override;

protected:
  StepEnabled stepEnabled() const override;
  void keyPressEvent(QKeyEvent* Event) override;
  void focusOutEvent(QFocusEvent* Event) override;

private:
  TSpinEditModel& FModel;
};
