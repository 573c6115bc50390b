#pragma once
// A workbook loaded from an OOXML package (.xlsx, or a template .xltx). Every part it does not change is
// saved byte for byte as it was; the changed ones are the sheets touched, the shared strings, the styles,
// the workbook part (defined names, recalculation on load when formulas are kept) and the content types
// (a template becomes a workbook). Row inserts move the references of every formula and defined name that
// points into the sheet, as a spreadsheet application's insert does.
//
//   auto book = TWorkbook::Load(u"/opt/ppr/PPR.xltx"_s);
//   book->ActiveSheet()->SetValue(2, 1, u"График"_s);
//   book->SaveAs(u"/tmp/out.xlsx"_s);   // fails if /tmp/out.xlsx exists
#include <QString>
#include <memory>
#include <vector>

class TWorksheet;
class TStyles;
class TSharedStrings;

class TWorkbook {
public:
  // Loads Path. Fails with a message naming the file when it is missing, unreadable, not a zip
  // package, a binary (97-2003) workbook, lacks the parts a workbook needs, is damaged or hostile (see
  // TZipPackage::Read and TWorksheet), or when memory runs out.
  static std::shared_ptr<TWorkbook> Load(const QString& Path);
  ~TWorkbook();
  TWorkbook(const TWorkbook&) = delete;
  TWorkbook& operator=(const TWorkbook&) = delete;

  const QString& SourcePath() const { return FSourcePath; }
  int SheetCount() const;
  std::shared_ptr<TWorksheet> Sheet(int Index);
  std::shared_ptr<TWorksheet> ActiveSheet();

  // The formula text of a defined name ("_xlnm.Print_Area"), for the sheet LocalSheet (-1: global),
  // with the rows inserted so far applied; empty when there is none.
  QString DefinedName(const QString& Name, int LocalSheet = -1);

  // What SaveAs makes: a workbook (.xlsx), or a template (.xltx) that a spreadsheet application
  // opens as a new, untitled workbook made from it.
  enum class TFileKind { Workbook, Template };
  // Saves as a new file at Path: written under a temporary name in the same folder, then renamed
  // without replacing; fails, and leaves nothing behind, when Path exists or cannot be written.
  void SaveAs(const QString& Path, TFileKind Kind = TFileKind::Workbook);

private:
  struct TParts;
  TWorkbook();
  static std::shared_ptr<TWorkbook> LoadParts(const QString& Path);
  void SaveParts(const QString& Path, TFileKind Kind);
  void ApplyInserts();
  void AskForRecalculation();

  QString FSourcePath;
  std::unique_ptr<TParts> FParts;
};
