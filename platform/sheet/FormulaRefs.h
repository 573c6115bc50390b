#pragma once
// The sheet references inside a defined name's formula ("'Лист1'!$A$1:$T$40", "Лист1!$5:$6"), parsed once
// so that row inserts can move them and the text can be written back. References without a sheet name,
// and text in double quotes, are left as they are.
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

class TFormulaRefs {
public:
  explicit TFormulaRefs(const std::string& Formula);
  // Rows at or below Row in references to Sheet (compared without regard to case) move one down.
  void InsertRow(const QString& Sheet, int32_t Row);
  std::string Text() const;

private:
  struct TPiece {
    std::string Literal;  // text before the reference (or the whole tail)
    QString Sheet;        // empty: no reference follows
    std::string Prefix;   // the sheet name as written, with its "!"
    // Up to two corners; a row of 0 is a column-only reference, a column of 0 a row-only one.
    int32_t Row[2] = {0, 0};
    int32_t Col[2] = {0, 0};
    bool AbsRow[2] = {false, false};
    bool AbsCol[2] = {false, false};
    int Corners = 0;
  };
  std::vector<TPiece> FPieces;
};
