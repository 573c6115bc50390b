#include "platform/base/Exception.h"

Exception::Exception(QString message) : FMessage(std::move(message)), FUtf8(FMessage.toUtf8()) {}

QString Format(const QString& Pattern, std::initializer_list<QString> Args) {
  QString result;
  result.reserve(Pattern.size());
  auto arg = Args.begin();
  for (qsizetype i = 0; i < Pattern.size(); ++i) {
    if (Pattern[i] == u'%' && i + 1 < Pattern.size() && Pattern[i + 1] == u's' && arg != Args.end()) {
      result += *arg++;
      ++i;
    } else {
      result += Pattern[i];
    }
  }
  return result;
}
