#pragma once
// Unit ExcelCore: a thin layer of procedures over the spreadsheet engine (platform/sheet), in the order a
// report uses them. Its state is process-wide and serves one run at a time, on the GUI thread only.
//
//   using namespace ExcelCore;
//   OpenExcel(u"PPR.xlt"_s);                 // the template beside the executable
//   ReplaceText(u"#year#"_s, u"2024"_s);
//   StartBody(u"#body#"_s);
//   CreateRowBuffer(20);
//   SetBufferCell(0, 1); SetBufferCell(1, u"Манометр"_s);
//   WriteRowBuffer(); InsertRowBelow(); NextRow();
//   DrawBodyBorders();
//   MergeMarkedRows(2, 18);
//   ShowWorkbook();                          // saved once as a new file and opened by the desktop
//   ReleaseExcel();                          // also on every failure path
//
// Failures are Exception with a message: "Ошибка открытия Excel." + reason when the engine cannot start;
// "Ошибка создания буфера чтения данных." when the buffer cannot be made; otherwise the engine's own text
// (a missing or damaged template names the file).
//
// Where the workbook goes: SetOutputFile names the file a batch run saves (an existing file is never
// replaced; nothing is opened). Without it, in the window, the schedule is saved as a template in a new
// private folder and opened by PPR_OPEN_COMMAND, the command that opens it, split into words at blanks
// (double quotes group a word), the file's path added as the last argument (default "xdg-open"; "true"
// opens nothing): the spreadsheet application makes a new, untitled workbook from it.
#include "platform/sheet/SheetApplication.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <functional>
#include <memory>

namespace ExcelCore {

// The process-wide state. ExcelBook and ExcelSheet are the workbook made from the template and its
// active sheet; all three are empty when no engine is held.
extern std::shared_ptr<TSheetApplication> ExcelApp;
extern std::shared_ptr<TWorkbook> ExcelBook;
extern std::shared_ptr<TWorksheet> ExcelSheet;
extern int32_t CurRow;
extern int32_t CurCol;
extern uint16_t BodyTop;   // the row above the body anchor; kept from one run to the next
extern uint16_t BodyLeft;  // the anchor's column
extern int32_t BufferSize;
extern QList<QVariant> RowBuffer;

// Starts the engine and makes a workbook from TemplateName (OpenTemplate). Always true.
bool OpenExcel(const QString& TemplateName);
// Makes a new workbook from the template in the running executable's folder, TemplateName appended to it;
// CurRow = CurCol = 1. "X.xlt" prefers "X.xltx" beside it; a binary .xlt alone is converted with
// LibreOffice when it is installed and refused with a clear message otherwise. Always true.
bool OpenTemplate(const QString& TemplateName);
// The first cell holding What (TWorksheet::Find's rule) gets NewText as its whole value and becomes the
// position. False, with nothing changed, when no cell holds What.
bool ReplaceText(const QString& What, const QString& NewText);
// Empties every cell holding What; the position ends on the last one. Always false.
bool ClearText(const QString& What);
// Alerts off; BodyTop = the anchor's row - 1, BodyLeft = its column (16-bit), the anchor emptied and the
// position on it. A missing anchor changes nothing but the alerts.
void StartBody(const QString& Anchor);
// A buffer of Size empty positions. Always true.
bool CreateRowBuffer(int32_t Size);
// Stores a copy of Value at Index; an index outside the buffer fails.
void SetBufferCell(int32_t Index, const QVariant& Value);
// The whole buffer into the current row, position p in column BodyLeft + p, in one block.
void WriteRowBuffer();
// A blank row below the current row; every row below moves down one. CurRow does not change.
void InsertRowBelow();
void NextRow();
// Borders (edges and inside lines; inside horizontals only for more than one row), wrapping on and
// shrink-to-fit off over the body: rows BodyTop + 1 to CurRow - 1, columns BodyLeft to
// CurCol + BufferSize - 1, the bottom and right computed in 16-bit arithmetic.
void DrawBodyBorders();
// Shrink-to-fit on the anchor column from BodyTop to CurRow, then, at most N = CurRow - BodyTop + 1 times
// (16-bit), finds "#merge#", empties it and columns FirstCol + 1 to LastCol of its row, and merges columns
// FirstCol to marker column + LastCol, bold and centred.
void MergeMarkedRows(int32_t FirstCol, int32_t LastCol);
// Hands the workbook to the user: saved once as a new file, and opened by the desktop in the window.
void ShowWorkbook();
// Drops the engine, workbook, sheet and buffer; positions, anchors and BufferSize keep their values.
void ReleaseExcel();

// The file ShowWorkbook saves to; empty (the default) for the window's hand-over.
void SetOutputFile(const QString& Path);

// The file the last ShowWorkbook saved, empty before the first.
QString LastSavedWorkbookPath();

// Test seam: the factory OpenExcel starts the engine with (nullptr restores the default). A factory that
// throws Exception makes OpenExcel fail with "Ошибка открытия Excel." + its message. Returns the old one.
using TSheetApplicationFactory = std::function<std::shared_ptr<TSheetApplication>()>;
TSheetApplicationFactory SetSheetApplicationFactory(TSheetApplicationFactory Factory);

}  // namespace ExcelCore
