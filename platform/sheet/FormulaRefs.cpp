#include "platform/sheet/FormulaRefs.h"

#include "platform/sheet/CellRef.h"

namespace {

bool IsAlpha(char Ch) { return (Ch >= 'A' && Ch <= 'Z') || (Ch >= 'a' && Ch <= 'z'); }
bool IsDigit(char Ch) { return Ch >= '0' && Ch <= '9'; }
// Characters of a name, a function, a number or an unquoted sheet name.
bool NameChar(char Ch) {
  return IsAlpha(Ch) || IsDigit(Ch) || Ch == '_' || Ch == '.' || Ch == '\\' || static_cast<unsigned char>(Ch) >= 0x80;
}

struct TCorner {
  int32_t Row = 0, Col = 0;
  bool AbsRow = false, AbsCol = false;
};

// One corner at Pos: [$]letters[$]digits, [$]letters or [$]digits, inside the sheet.
bool ParseCorner(std::string_view Text, size_t& Pos, TCorner& Corner) {
  size_t i = Pos;
  bool firstDollar = i < Text.size() && Text[i] == '$';
  if (firstDollar) ++i;
  int32_t col = 0;
  size_t letters = 0;
  while (i < Text.size() && IsAlpha(Text[i]) && letters < 4) {
    col = col * 26 + ((Text[i] | 0x20) - 'a' + 1);
    ++i;
    ++letters;
  }
  const size_t afterLetters = i;
  bool rowDollar = false;
  if (letters > 0 && i < Text.size() && Text[i] == '$') {
    rowDollar = true;
    ++i;
  }
  int64_t row = 0;
  size_t digits = 0;
  while (i < Text.size() && IsDigit(Text[i]) && digits < 8) {
    row = row * 10 + (Text[i] - '0');
    ++i;
    ++digits;
  }
  if (letters == 0 && digits == 0) return false;
  if (letters > 0 && digits == 0) {  // a column alone: a '$' after it belongs to nothing
    i = afterLetters;
    rowDollar = false;
  }
  if (col > MaxSheetColumn || row > MaxSheetRow || (digits > 0 && row == 0)) return false;
  Corner.Col = col;
  Corner.Row = static_cast<int32_t>(row);
  Corner.AbsCol = letters > 0 && firstDollar;
  Corner.AbsRow = letters > 0 ? rowDollar : firstDollar;
  Pos = i;
  return true;
}

// Copies a double-quoted text literal at Pos ("" inside is a quote) onto Out.
size_t SkipString(std::string_view Text, size_t Pos) {
  size_t i = Pos + 1;
  while (i < Text.size()) {
    if (Text[i] == '"') {
      if (i + 1 < Text.size() && Text[i + 1] == '"') {
        i += 2;
        continue;
      }
      return i + 1;
    }
    ++i;
  }
  return Text.size();
}

// A bracketed part ([1] of an external book, Table1[[#This Row],[Col]]), nesting included.
size_t SkipBrackets(std::string_view Text, size_t Pos) {
  int depth = 0;
  for (size_t i = Pos; i < Text.size(); ++i) {
    if (Text[i] == '[')
      ++depth;
    else if (Text[i] == ']' && --depth == 0)
      return i + 1;
  }
  return Text.size();
}

}  // namespace

// A reference at Pos: a corner, or two joined by ':' (whole columns and whole rows only as such a pair),
// that does not run on into a name or a function call.
bool TFormulaRefs::ParseReference(std::string_view Formula, size_t& Pos, TPiece& Piece) const {
  size_t i = Pos;
  TCorner first, second;
  if (!ParseCorner(Formula, i, first)) return false;
  int corners = 1;
  if (i < Formula.size() && Formula[i] == ':') {
    size_t j = i + 1;
    if (ParseCorner(Formula, j, second) && (second.Row == 0) == (first.Row == 0) &&
        (second.Col == 0) == (first.Col == 0)) {
      corners = 2;
      i = j;
    }
  }
  if (corners == 1 && (first.Row == 0 || first.Col == 0)) return false;  // "A" or "1" alone is no reference
  if (i < Formula.size() && (NameChar(Formula[i]) || Formula[i] == '(' || Formula[i] == '$' || Formula[i] == '!'))
    return false;
  const TCorner* both[2] = {&first, &second};
  for (int k = 0; k < corners; ++k) {
    Piece.Row[k] = both[k]->Row;
    Piece.Col[k] = both[k]->Col;
    Piece.AbsRow[k] = both[k]->AbsRow;
    Piece.AbsCol[k] = both[k]->AbsCol;
  }
  Piece.Corners = corners;
  Pos = i;
  return true;
}

TFormulaRefs::TFormulaRefs(std::string_view Formula, const QString& OwnSheet) {
  TPiece piece;
  bool external = false;  // the last thing copied was a bracket: the next sheet is another book's
  size_t i = 0;
  auto copy = [&](size_t End) {
    piece.Literal.append(Formula.substr(i, End - i));
    i = End;
  };
  while (i < Formula.size()) {
    const char ch = Formula[i];
    if (ch == '"') {
      copy(SkipString(Formula, i));
      external = false;
      continue;
    }
    if (ch == '[') {
      copy(SkipBrackets(Formula, i));
      external = true;
      continue;
    }
    if (ch == '#') {  // an error value (#REF!, #DIV/0!, #N/A)
      size_t end = i + 1;
      while (end < Formula.size() &&
             (NameChar(Formula[end]) || Formula[end] == '/' || Formula[end] == '?' || Formula[end] == '!'))
        ++end;
      copy(end);
      external = false;
      continue;
    }
    // A sheet prefix: 'quoted name'! or name!
    size_t nameEnd = i;
    std::string name;
    bool quoted = false;
    if (ch == '\'') {
      quoted = true;
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
      nameEnd = std::min(j + 1, Formula.size());
    } else {
      while (nameEnd < Formula.size() && NameChar(Formula[nameEnd])) ++nameEnd;
      name = std::string(Formula.substr(i, nameEnd - i));
    }
    if (nameEnd > i && nameEnd < Formula.size() && Formula[nameEnd] == '!') {
      size_t pos = nameEnd + 1;
      TPiece ref;
      // Another book's sheet ([1]Sheet1!, '[Book.xlsx]Sheet1'!) or several sheets ('Sheet1:Sheet3'!) stay.
      const bool foreign = external || name.find('[') != std::string::npos || name.find(':') != std::string::npos;
      if (!foreign && ParseReference(Formula, pos, ref)) {
        ref.Literal = std::move(piece.Literal);
        ref.Sheet = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
        ref.Prefix = std::string(Formula.substr(i, nameEnd + 1 - i));
        FPieces.push_back(std::move(ref));
        piece = TPiece();
        i = pos;
      } else {
        // The reference after a foreign prefix is copied with it, never taken for one into this sheet.
        TPiece skipped;
        size_t end = nameEnd + 1;
        if (!ParseReference(Formula, end, skipped)) end = nameEnd + 1;
        copy(end);
      }
      external = false;
      continue;
    }
    if (!quoted && !OwnSheet.isEmpty() && (NameChar(ch) || ch == '$')) {
      size_t pos = i;
      TPiece ref;
      if (ParseReference(Formula, pos, ref)) {
        ref.Literal = std::move(piece.Literal);
        ref.Sheet = OwnSheet;
        FPieces.push_back(std::move(ref));
        piece = TPiece();
        i = pos;
        external = false;
        continue;
      }
    }
    // A name, a function, a number or an operator: copied whole, so that nothing inside it passes for a
    // reference ("LOG10(", "1E5").
    copy(nameEnd > i ? nameEnd : i + 1);
    external = false;
  }
  FPieces.push_back(std::move(piece));
}

bool TFormulaRefs::InsertRows(const QString& Sheet, const std::vector<int32_t>& Rows) {
  bool moved = false;
  for (TPiece& piece : FPieces) {
    if (piece.Corners == 0 || piece.Broken || piece.Sheet.compare(Sheet, Qt::CaseInsensitive) != 0) continue;
    for (int k = 0; k < piece.Corners; ++k) {
      if (piece.Row[k] == 0) continue;  // whole columns do not move
      // A reference to the last row stays, as a range down to the sheet's end does in an application.
      for (const int32_t row : Rows)
        if (piece.Row[k] >= row && piece.Row[k] < MaxSheetRow) {
          ++piece.Row[k];
          moved = true;
        }
    }
  }
  return moved;
}

void TFormulaRefs::Translate(int32_t Rows, int32_t Cols) {
  for (TPiece& piece : FPieces) {
    if (piece.Corners == 0 || piece.Broken) continue;
    for (int k = 0; k < piece.Corners; ++k) {
      const bool row = piece.Row[k] != 0, col = piece.Col[k] != 0;
      if (row && !piece.AbsRow[k]) piece.Row[k] += Rows;
      if (col && !piece.AbsCol[k]) piece.Col[k] += Cols;
      if ((row && (piece.Row[k] < 1 || piece.Row[k] > MaxSheetRow)) ||
          (col && (piece.Col[k] < 1 || piece.Col[k] > MaxSheetColumn)))
        piece.Broken = true;
    }
  }
}

std::string TFormulaRefs::Text() const {
  std::string out;
  for (const TPiece& piece : FPieces) {
    out += piece.Literal;
    if (piece.Corners == 0) continue;
    out += piece.Prefix;
    if (piece.Broken) {
      out += "#REF!";
      continue;
    }
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
