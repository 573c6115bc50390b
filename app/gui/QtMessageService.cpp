#include "app/gui/QtMessageService.h"

#include "app/gui/Application.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

#include <memory>

namespace {
QMessageBox::Icon ToQt(TMessageIcon Icon) {
  switch (Icon) {
  case TMessageIcon::Information:
    return QMessageBox::Information;
  case TMessageIcon::Warning:
    return QMessageBox::Warning;
  case TMessageIcon::Question:
    return QMessageBox::Question;
  case TMessageIcon::None:
    break;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

void FitCaption(QMessageBox& Box) {
  // The title bar's font is the window manager's; the application font is the nearest measure. The
  // margin leaves room for the title bar's icon and its buttons (close, and often two more).
  const QFontMetrics metrics(QApplication::font());
  const int wanted = metrics.horizontalAdvance(Box.windowTitle()) + 4 * metrics.height() + 96;
  auto* grid = qobject_cast<QGridLayout*>(Box.layout());
  if (!grid) {
    Box.setMinimumWidth(wanted);
    return;
  }
  // QMessageBox fixes its own width from the text; a spacer across the grid is what it respects.
  grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                grid->columnCount());
}

TMessageAnswer TQtMessageService::Show(const TMessageBox& Box) {
  QMessageBox box(ToQt(Box.Icon), Box.Caption, Box.Text,
                  Box.Buttons == TMessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                  Box.OwnedByMainWindow ? MainWindow : nullptr);
  FitCaption(box);
  const int answer = box.exec();
  if (Box.Buttons == TMessageButtons::Ok) return TMessageAnswer::Ok;
  return answer == QMessageBox::Yes ? TMessageAnswer::Yes : TMessageAnswer::No;
}

TMessageAnswer TStartupMessageService::Show(const TMessageBox& Box) {
  const bool display = qEnvironmentVariable("PPR_MESSAGES") != QStringLiteral("stderr") &&
                       (qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"));
  std::unique_ptr<QApplication> transient;
  if (display && !QApplication::instance()) {
    static int argc = 1;
    static char name[] = "ppr-schedule";
    static char* argv[] = {name, nullptr};
    transient = std::make_unique<QApplication>(argc, argv);
  }
  if (QApplication::instance() && CanShowMessageBoxes()) return TQtMessageService().Show(Box);
  return TStderrMessageService().Show(Box);
}
