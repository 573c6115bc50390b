#pragma once
// Message boxes shown with QMessageBox; an owned box is parented to the main window.
#include "platform/base/MessageService.h"

class QWidget;

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
