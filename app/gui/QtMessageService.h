#pragma once
// Message boxes shown with QMessageBox; an owned box is parented to the main window.
#include "platform/base/MessageService.h"

class QMessageBox;
class QWidget;

// Widens Box so that its caption shows whole in the title bar: QMessageBox sizes itself by its text
// alone, and a short text under a long caption gets the caption cut.
void FitCaption(QMessageBox& Box);

class TQtMessageService : public TMessageService {
public:
  TMessageAnswer Show(const TMessageBox& Box) override;
  QWidget* MainWindow = nullptr;
};

// Before the application object exists (the incomplete-parameters stop): creates a transient one
// to show the box when a display is at hand, else writes to stderr.
class TStartupMessageService : public TMessageService {
public:
  TMessageAnswer Show(const TMessageBox& Box) override;
};
