#include "tree/LxCommon.h"

#include "platform/base/MessageService.h"

bool AskQuestion(const QString& Text) {
  return MessageService().Show({Text, QStringLiteral("Question"), TMessageIcon::Question, TMessageButtons::YesNo,
                                true}) == TMessageAnswer::Yes;
}

void ShowInformation(const QString& Text) {
  MessageService().Show({Text, QStringLiteral("Information"), TMessageIcon::Information, TMessageButtons::Ok, true});
}
