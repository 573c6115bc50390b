#pragma once
// Reads "exec NAME arg, arg, ..." where each arg is a 'quoted literal' ('' doubles a quote) or an
// integer, as the lookup queries are written. Anything else is not an exec statement.
//   TExecStatement::Parse(u"exec rprt_com_get_loockups 'tMiTypes'"_s)->Arguments == {"tMiTypes"}
#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

struct TExecStatement {
  QString ProcedureName;
  std::vector<QVariant> Arguments;  // QString or qlonglong

  static std::optional<TExecStatement> Parse(const QString& Sql);
};
