#include "app/gui/YearSpinEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>

TYearSpinEdit::TYearSpinEdit(TSpinEditModel& Model, QWidget* Parent) : QAbstractSpinBox(Parent), FModel(Model) {
  lineEdit()->setMaxLength(Model.MaxLength());
  connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& Text) {
    FModel.SetText(Text);
    // The arrows are drawn from stepEnabled(), which reads the typed text; Qt repaints them only
    // on its own value changes.
    update();
  });
  UpdateFromModel();
}

void TYearSpinEdit::UpdateFromModel() {
  if (lineEdit()->text() != FModel.Text()) lineEdit()->setText(FModel.Text());
}

void TYearSpinEdit::stepBy(int Steps) {
  FModel.Step(Steps);
  UpdateFromModel();
  lineEdit()->selectAll();
}

QValidator::State TYearSpinEdit::validate(QString&, int&) const { return QValidator::Acceptable; }

QAbstractSpinBox::StepEnabled TYearSpinEdit::stepEnabled() const {
  // The value an arrow steps from: the typed text as a number, or the minimum for any other text.
  const std::int32_t value = FModel.Value();
  StepEnabled enabled = StepNone;
  if (value < FModel.MaxValue()) enabled |= StepUpEnabled;
  if (value > FModel.MinValue()) enabled |= StepDownEnabled;
  return enabled;
}

void TYearSpinEdit::keyPressEvent(QKeyEvent* Event) {
  const QString text = Event->text();
  if (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) {
    QApplication::beep();
    Event->accept();
    return;
  }
  if (!text.isEmpty() && !FModel.AcceptsKey(text.front(), QLocale().decimalPoint().front())) {
    QApplication::beep();
    Event->accept();
    return;
  }
  QAbstractSpinBox::keyPressEvent(Event);
}

void TYearSpinEdit::focusOutEvent(QFocusEvent* Event) {
  FModel.SetText(lineEdit()->text());
  FModel.FocusLost();
  UpdateFromModel();
  QAbstractSpinBox::focusOutEvent(Event);
}
