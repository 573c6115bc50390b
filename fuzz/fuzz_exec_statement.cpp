// The "exec NAME 'lit', 12, ..." reader over any SQL text. Text that is not an exec statement comes
// back empty; a malformed one raises Exception. A literal that was read must survive being written
// back in the same notation and read again.
#include "fuzz/FuzzInput.h"
#include "platform/base/Exception.h"
#include "platform/data/sql/ExecStatement.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  std::optional<TExecStatement> statement;
  try {
    statement = TExecStatement::Parse(FuzzText(Data, Size));
  } catch (const Exception&) {
    return 0;
  }
  if (!statement) return 0;
  if (statement->ProcedureName.isEmpty()) std::abort();
  QString again = QStringLiteral("exec ") + statement->ProcedureName;
  for (size_t i = 0; i < statement->Arguments.size(); ++i) {
    const QVariant& argument = statement->Arguments[i];
    again += i == 0 ? QStringLiteral(" ") : QStringLiteral(", ");
    if (argument.typeId() == QMetaType::QString)
      again += u'\'' + argument.toString().replace(u'\'', QStringLiteral("''")) + u'\'';
    else
      again += QString::number(argument.toLongLong());
  }
  std::optional<TExecStatement> reread;
  try {
    reread = TExecStatement::Parse(again);
  } catch (const Exception&) {
    // A name the reader took apart differently the second time ("dbo." twice, brackets): not a literal fault.
    return 0;
  }
  if (reread && reread->ProcedureName == statement->ProcedureName && reread->Arguments != statement->Arguments)
    std::abort();
  return 0;
}
