#pragma once
// The cell references inside a formula ("SUM(A11:A16)", "'Лист 1'!$A$1:$T$40", "Лист1!$5:$6", "$A:$C"),
// found once so that row inserts can move them and the text can be written back. Text in double quotes,
// error values, brackets (structured and external references) and names are left as they are; so are
// references into other workbooks.
//
//   TFormulaRefs refs("COUNT(A11:A16)+Итог!B2", u"Лист1"_s);
//   refs.InsertRows(u"Лист1"_s, {12});   // "COUNT(A11:A17)+Итог!B2"
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TFormulaRefs {
public:
  // OwnSheet is the sheet a reference without a sheet name points into: the formula's own sheet for a cell;
  // empty for a defined name, whose references without a sheet name are then left as they are.
  explicit TFormulaRefs(std::string_view Formula, const QString& OwnSheet = {});
  // Replays row inserts on Sheet (compared without regard to case), in order: rows at or below each insert
  // move one down, so a range spanning it grows; absolute and relative alike. True when anything moved.
  bool InsertRows(const QString& Sheet, const std::vector<int32_t>& Rows);
  bool InsertRow(const QString& Sheet, int32_t Row) { return InsertRows(Sheet, {Row}); }
  // Relative rows and columns move by Rows and Cols, as when the formula is copied that far (a shared
  // formula's other cells); a reference that leaves the sheet becomes #REF!.
  void Translate(int32_t Rows, int32_t Cols);
  std::string Text() const;

private:
  struct TPiece {
    std::string Literal;  // text before the reference (or the whole tail)
    QString Sheet;        // the sheet the reference points into
    std::string Prefix;   // the sheet name as written, with its "!" (empty for the formula's own sheet)
    // Up to two corners; a row of 0 is a column-only reference, a column of 0 a row-only one.
    int32_t Row[2] = {0, 0};
    int32_t Col[2] = {0, 0};
    bool AbsRow[2] = {false, false};
    bool AbsCol[2] = {false, false};
    int Corners = 0;      // 0: no reference follows the literal
    bool Broken = false;  // moved off the sheet: written #REF!
  };
  bool ParseReference(std::string_view Formula, size_t& Pos, TPiece& Piece) const;
  std::vector<TPiece> FPieces;
};
