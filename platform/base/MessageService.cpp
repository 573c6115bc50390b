#include "platform/base/MessageService.h"

#include <cstdio>

namespace {
TStderrMessageService& StderrService() {
  static TStderrMessageService service;
  return service;
}
TMessageService* GCurrent = nullptr;
QString& Title() {
  static QString title;
  return title;
}
}  // namespace

TMessageService& MessageService() { return GCurrent ? *GCurrent : StderrService(); }

TMessageService* SetMessageService(TMessageService* Service) {
  TMessageService* previous = GCurrent;
  GCurrent = Service;
  return previous;
}

const QString& ApplicationTitle() { return Title(); }
void SetApplicationTitle(const QString& Title_) { Title() = Title_; }

void ShowMessage(const QString& Text) {
  MessageService().Show({Text, ApplicationTitle(), TMessageIcon::None, TMessageButtons::Ok, true});
}

TMessageAnswer TStderrMessageService::Show(const TMessageBox& Box) {
  const QByteArray line = (Box.Caption + QStringLiteral(": ") + Box.Text + u'\n').toUtf8();
  std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
  std::fflush(stderr);
  return Box.Buttons == TMessageButtons::YesNo ? TMessageAnswer::No : TMessageAnswer::Ok;
}

TMessageRecorder::TMessageRecorder() : FPrevious(SetMessageService(this)) {}
TMessageRecorder::~TMessageRecorder() { SetMessageService(FPrevious); }

TMessageAnswer TMessageRecorder::Show(const TMessageBox& Box) {
  Shown.push_back(Box);
  if (!Answers.empty()) {
    const TMessageAnswer answer = Answers.front();
    Answers.pop_front();
    return answer;
  }
  return Box.Buttons == TMessageButtons::YesNo ? TMessageAnswer::No : TMessageAnswer::Ok;
}
