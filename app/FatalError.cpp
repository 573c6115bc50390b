#include "app/FatalError.h"

#include "app/PluginCore.h"
#include "platform/base/Exception.h"
#include "platform/base/MessageService.h"

QString ExceptionMessage(const std::exception& E) {
  if (const auto* ours = dynamic_cast<const Exception*>(&E)) return ours->Message();
  return QString::fromUtf8(E.what());
}

QString FatalErrorText(const QString& Message) { return QStringLiteral("Ошибка выполнения отчета: ") + Message; }

void ReportFatalError(const QString& Message, const std::function<void()>& Terminate) {
  MessageService().Show(
      {FatalErrorText(Message), ApplicationClosingCaption(), TMessageIcon::Warning, TMessageButtons::Ok, true});
  if (Terminate) Terminate();
}
