#pragma once
// The spreadsheet application as the automation layer sees it: it makes workbooks from templates, knows
// the active sheet and the selection, and, once visible and under the user's control, hands each open
// workbook to the user through the hand-over it is given (the desktop's: saved once as a new file, then
// opened).
#include "platform/sheet/Range.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TWorkbook;
class TWorksheet;

class TSheetApplication {
public:
  TSheetApplication();
  virtual ~TSheetApplication();
  TSheetApplication(const TSheetApplication&) = delete;
  TSheetApplication& operator=(const TSheetApplication&) = delete;

  // A new workbook based on the template at Path (the template is not changed); it becomes active.
  // Fails with the engine's message, naming the file, when the template cannot be opened.
  virtual std::shared_ptr<TWorkbook> AddWorkbook(const QString& Path);
  // The active workbook's active sheet; fails when no workbook is open.
  std::shared_ptr<TWorksheet> ActiveSheet();
  // The active sheet's selection; fails when nothing is selected.
  TRange Selection();

  bool DisplayAlerts() const { return FDisplayAlerts; }
  void SetDisplayAlerts(bool On) { FDisplayAlerts = On; }
  bool UserControl() const { return FUserControl; }
  void SetUserControl(bool On) { FUserControl = On; }
  bool Visible() const { return FVisible; }
  // Becoming visible hands every workbook not yet handed over to the user; without a hand-over that fails.
  void SetVisible(bool On);
  // Saves a workbook for the user and returns the file's path.
  using THandOver = std::function<QString(TWorkbook&)>;
  void SetHandOver(THandOver HandOver) { FHandOver = std::move(HandOver); }

  // The files the workbooks were saved as when handed over, in order.
  const std::vector<QString>& HandedOver() const { return FHandedOver; }

private:
  std::vector<std::shared_ptr<TWorkbook>> FBooks;
  size_t FHandedCount = 0;
  std::vector<QString> FHandedOver;
  THandOver FHandOver;
  bool FDisplayAlerts = true;
  bool FUserControl = false;
  bool FVisible = false;
};
