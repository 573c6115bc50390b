#include "platform/sheet/SheetApplication.h"

#include "platform/base/Exception.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"

TSheetApplication::TSheetApplication() = default;
TSheetApplication::~TSheetApplication() = default;

std::shared_ptr<TWorkbook> TSheetApplication::AddWorkbook(const QString& Path) {
  FBooks.push_back(TWorkbook::Load(Path));
  return FBooks.back();
}

std::shared_ptr<TWorksheet> TSheetApplication::ActiveSheet() {
  if (FBooks.empty()) throw Exception(QStringLiteral("Нет открытой книги."));
  return FBooks.back()->ActiveSheet();
}

TRange TSheetApplication::Selection() {
  std::shared_ptr<TWorksheet> sheet = ActiveSheet();
  if (!sheet->Selection()) throw Exception(QStringLiteral("На листе ничего не выделено."));
  return TRange(sheet, *sheet->Selection());
}

void TSheetApplication::SetVisible(bool On) {
  FVisible = On;
  if (!On) return;
  if (FHandedCount < FBooks.size() && !FHandOver)
    throw Exception(QStringLiteral("Книгу некому передать: приложение не знает, как показать её пользователю."));
  // Each workbook is handed over once; later calls only show what is already the user's.
  for (; FHandedCount < FBooks.size(); ++FHandedCount) FHandedOver.push_back(FHandOver(*FBooks[FHandedCount]));
}
