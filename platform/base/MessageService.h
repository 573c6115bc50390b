#pragma once
// Every modal box of the program goes through one process-wide service: the window installs one that
// shows QMessageBox, tests install a TMessageRecorder, and a run without a window writes to stderr.
// Nothing below Widgets ever blocks on a real dialog.
#include <QString>
#include <deque>
#include <vector>

enum class TMessageIcon { None, Information, Warning, Question };
enum class TMessageButtons { Ok, YesNo };
enum class TMessageAnswer { Ok, Yes, No };

struct TMessageBox {
  QString Text;
  QString Caption;
  TMessageIcon Icon = TMessageIcon::None;
  TMessageButtons Buttons = TMessageButtons::Ok;
  bool OwnedByMainWindow = false;  // false: a box with no owner window (the start-up stop)
};

class TMessageService {
public:
  virtual ~TMessageService() = default;
  virtual TMessageAnswer Show(const TMessageBox& Box) = 0;
};

// The current service; the stderr one until another is installed.
TMessageService& MessageService();
// Installs Service (nullptr restores the stderr service) and returns the one it replaces.
TMessageService* SetMessageService(TMessageService* Service);

// The application title, caption of the plain information messages.
const QString& ApplicationTitle();
void SetApplicationTitle(const QString& Title);

// A plain information message: the text, an OK button, the application title as caption, no icon.
void ShowMessage(const QString& Text);

// Writes "Caption: Text" to stderr; a question is answered No, so that a run without a window
// never agrees to a change on its own.
class TStderrMessageService : public TMessageService {
public:
  TMessageAnswer Show(const TMessageBox& Box) override;
};

// For tests: installs itself for its lifetime, keeps every box shown and answers from a queue
// (Ok, or No for a question, when the queue is empty).
class TMessageRecorder : public TMessageService {
public:
  TMessageRecorder();
  ~TMessageRecorder() override;
  TMessageRecorder(const TMessageRecorder&) = delete;
  TMessageRecorder& operator=(const TMessageRecorder&) = delete;

  TMessageAnswer Show(const TMessageBox& Box) override;

  std::vector<TMessageBox> Shown;
  std::deque<TMessageAnswer> Answers;

private:
  TMessageService* FPrevious;
};
