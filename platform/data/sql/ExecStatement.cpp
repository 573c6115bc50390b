#include "platform/data/sql/ExecStatement.h"

#include "platform/base/Exception.h"

using namespace Qt::StringLiterals;

namespace {

bool IsNameChar(QChar C) { return C.isLetterOrNumber() || C == u'_' || C == u'.' || C == u'[' || C == u']'; }

}  // namespace

std::optional<TExecStatement> TExecStatement::Parse(const QString& Sql) {
  QString text = Sql.trimmed();
  while (text.endsWith(u';')) text = text.chopped(1).trimmed();
  qsizetype i = 0;
  while (i < text.size() && text[i].isLetter()) ++i;
  const QString verb = text.left(i).toLower();
  if ((verb != u"exec"_s && verb != u"execute"_s) || i >= text.size() || !text[i].isSpace()) return std::nullopt;
  auto fail = [&]() -> std::optional<TExecStatement> {
    throw Exception(Format(u"Invalid exec statement '%s'"_s, {Sql}));
  };
  while (i < text.size() && text[i].isSpace()) ++i;
  const qsizetype nameStart = i;
  while (i < text.size() && IsNameChar(text[i])) ++i;
  TExecStatement statement;
  statement.ProcedureName = text.mid(nameStart, i - nameStart);
  statement.ProcedureName.remove(u'[').remove(u']');
  if (statement.ProcedureName.startsWith(u"dbo."_s, Qt::CaseInsensitive)) statement.ProcedureName.remove(0, 4);
  if (statement.ProcedureName.isEmpty()) return fail();
  bool first = true;
  for (;;) {
    while (i < text.size() && text[i].isSpace()) ++i;
    if (i >= text.size()) break;
    if (!first) {
      if (text[i] != u',') return fail();
      ++i;
      while (i < text.size() && text[i].isSpace()) ++i;
    }
    first = false;
    if (i < text.size() && (text[i] == u'N' || text[i] == u'n') && i + 1 < text.size() && text[i + 1] == u'\'') ++i;
    if (i < text.size() && text[i] == u'\'') {
      QString value;
      ++i;
      for (;;) {
        if (i >= text.size()) return fail();
        if (text[i] == u'\'') {
          if (i + 1 < text.size() && text[i + 1] == u'\'') {
            value += u'\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        value += text[i++];
      }
      statement.Arguments.emplace_back(value);
    } else {
      const qsizetype start = i;
      if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
      while (i < text.size() && text[i].isDigit()) ++i;
      bool ok = false;
      const qlonglong number = text.mid(start, i - start).toLongLong(&ok);
      if (!ok) return fail();
      statement.Arguments.emplace_back(number);
    }
  }
  return statement;
}
