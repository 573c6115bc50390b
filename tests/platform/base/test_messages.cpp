#include "platform/base/MessageService.h"
#include "platform/base/Screen.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(MessageService, RecorderCapturesAndAnswersThenRestores) {
  TMessageService* before = &MessageService();
  {
    TMessageRecorder recorder;
    EXPECT_EQ(&MessageService(), &recorder);
    SetApplicationTitle(QStringLiteral("График ППР на год"));
    ShowMessage(QStringLiteral("Выберите тип СИ"));
    recorder.Answers.push_back(TMessageAnswer::Yes);
    const auto yes = MessageService().Show(
        {QStringLiteral("q"), QStringLiteral("Question"), TMessageIcon::Question, TMessageButtons::YesNo, true});
    const auto unanswered = MessageService().Show(
        {QStringLiteral("q2"), QStringLiteral("Question"), TMessageIcon::Question, TMessageButtons::YesNo, true});
    EXPECT_EQ(yes, TMessageAnswer::Yes);
    EXPECT_EQ(unanswered, TMessageAnswer::No);
    ASSERT_EQ(recorder.Shown.size(), 3u);
    EXPECT_EQ(recorder.Shown[0].Text, QStringLiteral("Выберите тип СИ"));
    EXPECT_EQ(recorder.Shown[0].Caption, QStringLiteral("График ППР на год"));
    EXPECT_EQ(recorder.Shown[0].Buttons, TMessageButtons::Ok);
  }
  EXPECT_EQ(&MessageService(), before);
}

TEST(Screen, BusyCursorRestoresDefaultOnException) {
  std::vector<TCursor> seen;
  Screen().OnCursorChange = [&](TCursor c) { seen.push_back(c); };
  try {
    TBusyCursor busy;
    EXPECT_EQ(Screen().Cursor(), crHourGlass);
    throw std::runtime_error("x");
  } catch (const std::runtime_error&) {}
  Screen().OnCursorChange = nullptr;
  EXPECT_EQ(Screen().Cursor(), crDefault);
  EXPECT_EQ(seen, (std::vector<TCursor>{crHourGlass, crDefault}));
}
