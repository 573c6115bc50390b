#include "platform/sheet/FormulaRefs.h"

#include "platform/sheet/CellRef.h"

#include <cctype>

namespace {

bool NameChar(unsigned char ch) { return std::isalnum(ch) || ch == '_' || ch == '.' || ch >= 0x80; }

// Parses one corner at Pos: [$]letters[$]digits, [$]letters, or [$]digits.
bool ParseCorner(const std::string& Text, size_t& Pos, int32_t& Row, int32_t& Col, bool& AbsRow, bool& AbsCol) {
  size_t i = Pos;
  AbsCol = i < Text.size() && Text[i] == '$';
  if (AbsCol) ++i;
  int32_t col = 0;
  size_t letters = 0;
  while (i < Text.size() && std::isalpha(static_cast<unsigned char>(Text[i])) && letters < 3) {
    col = col * 26 + (std::toupper(static_cast<unsigned char>(Text[i])) - 'A' + 1);
    ++i;
    ++letters;
  }
  size_t afterLetters = i;
  AbsRow = i < Text.size() && Text[i] == '$';
  if (AbsRow) ++i;
  int64_t row = 0;
  size_t digits = 0;
  while (i < Text.size() && std::isdigit(static_cast<unsigned char>(Text[i])) && digits < 8) {
    row = row * 10 + (Text[i] - '0');
    ++i;
    ++digits;
  }
  if (letters == 0 && digits == 0) return false;
  if (digits == 0) {  // a column alone: the '$' seen belongs to nothing
    AbsRow = false;
    i = afterLetters;
  }
  if (letters == 0) {  // a row alone: the first '$' was the row's
    AbsRow = AbsCol;
    AbsCol = false;
  }
  if (row > MaxSheetRow || col > MaxSheetColumn) return false;
  Row = static_cast<int32_t>(row);
  Col = col;
  Pos = i;
  return true;
}

}  // namespace

TFormulaRefs::TFormulaRefs(const std::string& Formula) {
  TPiece piece;
  size_t i = 0;
  while (i < Formula.size()) {
    const char ch = Formula[i];
    if (ch == '"') {  // a text literal
      const size_t close = Formula.find('"', i + 1);
      const size_t end = close == std::string::npos ? Formula.size() : close + 1;
      piece.Literal.append(Formula, i, end - i);
      i = end;
      continue;
    }
    // A sheet prefix: 'quoted name'! or name!
    size_t nameEnd = i;
    std::string name;
    if (ch == '\'') {
      size_t j = i + 1;
      while (j < Formula.size()) {
        if (Formula[j] == '\'' && j + 1 < Formula.size() && Formula[j + 1] == '\'') {
          name += '\'';
          j += 2;
        } else if (Formula[j] == '\'') {
          break;
        } else {
          name += Formula[j++];
        }
      }
      nameEnd = j + 1;
    } else {
      while (nameEnd < Formula.size() && NameChar(static_cast<unsigned char>(Formula[nameEnd]))) ++nameEnd;
      name = Formula.substr(i, nameEnd - i);
    }
    if (nameEnd > i && nameEnd < Formula.size() && Formula[nameEnd] == '!') {
      TPiece ref = std::move(piece);
      piece = TPiece();
      ref.Sheet = QString::fromStdString(name);
      ref.Prefix = Formula.substr(i, nameEnd + 1 - i);
      size_t pos = nameEnd + 1;
      if (ParseCorner(Formula, pos, ref.Row[0], ref.Col[0], ref.AbsRow[0], ref.AbsCol[0])) {
        ref.Corners = 1;
        size_t second = pos + 1;
        if (pos < Formula.size() && Formula[pos] == ':' &&
            ParseCorner(Formula, second, ref.Row[1], ref.Col[1], ref.AbsRow[1], ref.AbsCol[1])) {
          ref.Corners = 2;
          pos = second;
        }
        FPieces.push_back(std::move(ref));
        i = pos;
        continue;
      }
      piece = std::move(ref);  // a prefix without a reference: keep it as text
      piece.Sheet.clear();
      piece.Literal += piece.Prefix;
      piece.Prefix.clear();
      i = nameEnd + 1;
      continue;
    }
    const size_t step = nameEnd > i ? nameEnd - i : 1;
    piece.Literal.append(Formula, i, step);
    i += step;
  }
  FPieces.push_back(std::move(piece));
}

void TFormulaRefs::InsertRow(const QString& Sheet, int32_t Row) {
  for (TPiece& piece : FPieces) {
    if (piece.Corners == 0 || piece.Sheet.compare(Sheet, Qt::CaseInsensitive) != 0) continue;
    for (int k = 0; k < piece.Corners; ++k)
      if (piece.Row[k] >= Row && piece.Row[k] < MaxSheetRow) ++piece.Row[k];
  }
}

std::string TFormulaRefs::Text() const {
  std::string out;
  for (const TPiece& piece : FPieces) {
    out += piece.Literal;
    if (piece.Corners == 0) continue;
    out += piece.Prefix;
    for (int k = 0; k < piece.Corners; ++k) {
      if (k) out += ':';
      if (piece.Col[k]) {
        if (piece.AbsCol[k]) out += '$';
        AppendColumnName(out, piece.Col[k]);
      }
      if (piece.Row[k]) {
        if (piece.AbsRow[k]) out += '$';
        out += std::to_string(piece.Row[k]);
      }
    }
  }
  return out;
}
