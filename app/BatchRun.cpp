#include "app/BatchRun.h"

#include "Version.h"
#include "app/FatalError.h"
#include "app/PdfPrint.h"
#include "app/PluginCore.h"
#include "app/frMain.h"
#include "platform/base/MessageService.h"
#include "platform/desktop/LegacyTemplate.h"
#include "report/ExcelCore.h"
#include "tree/DBTreeViewCore.h"
#include "tree/TLxNodeItem.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString kNoData = u"Для выбранной комбинации типов СИ и подразделения отсутствуют данные."_s;
const char* const kTreeOptions[] = {"--types", "--states", "--subdivs"};

void Print(std::FILE* Stream, const QString& Text) {
  const QByteArray bytes = Text.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), Stream);
  std::fflush(Stream);
}

// The window's boxes as plain lines: the text only, line breaks made blanks.
class TScriptMessages : public TMessageService {
public:
  TScriptMessages() : FPrevious(SetMessageService(this)) {}
  ~TScriptMessages() override { SetMessageService(FPrevious); }
  TScriptMessages(const TScriptMessages&) = delete;
  TScriptMessages& operator=(const TScriptMessages&) = delete;

  TMessageAnswer Show(const TMessageBox& Box) override {
    QString line = Box.Text;
    line.replace(u"\r\n"_s, u" "_s).replace(u'\n', u' ').replace(u'\r', u' ');
    Print(stderr, line + u'\n');
    Last = Box.Text;
    ++Count;
    return Box.Buttons == TMessageButtons::YesNo ? TMessageAnswer::No : TMessageAnswer::Ok;
  }
  int ExitCode() const { return Count == 0 ? ecWritten : Last == kNoData ? ecNoData : ecMessage; }

  QString Last;
  int Count = 0;

private:
  TMessageService* FPrevious;
};

class TScriptApp : public TApplicationHooks {
public:
  void SetExceptionHandler(std::function<void(const std::exception&)> Handler) override {
    FHandler = std::move(Handler);
  }
  void Terminate() override { Terminated = true; }
  void Handle(const std::exception& E) {
    if (FHandler)
      FHandler(E);
    else
      ReportFatalError(ExceptionMessage(E), [this] { Terminate(); });
  }
  bool Terminated = false;

private:
  std::function<void(const std::exception&)> FHandler;
};

int UsageError(const QString& Error) {
  Print(stderr, u"ppr-schedule: "_s + Error + u"\n\n"_s + UsageText());
  return ecUsage;
}

QString NodeKey(TLxADOTree& Tree, PVirtualNode Node) {
  auto* data = static_cast<TLxNodeItem**>(Tree.GetNodeData(Node));
  return data && *data ? (*data)->Key() : QString();
}

// Checks exactly the nodes Selection names in Tree (none when it names none); an empty text, or the
// usage error naming the id that is no node of the tree.
QString ApplySelection(TLxADOTree& Tree, const std::optional<TTreeSelection>& Selection, const char* Option) {
  SetAllCheckState(Tree, csUncheckedNormal);
  if (!Selection) return {};
  if (Selection->All) {
    SetAllCheckState(Tree, csCheckedNormal);
    return {};
  }
  for (const QString& id : Selection->Ids) {
    bool found = false;
    const qlonglong wanted = id.toLongLong();
    for (PVirtualNode node = Tree.GetFirst(); node; node = Tree.GetNext(node)) {
      bool number = false;
      const qlonglong key = NodeKey(Tree, node).toLongLong(&number);
      if (number && key == wanted) {
        node->CheckState = csCheckedNormal;
        found = true;
      }
    }
    if (!found) return u"%1: %2 is no entry of the tree (see --list)"_s.arg(QString::fromLatin1(Option), id);
  }
  Tree.Refresh();
  return {};
}

int ListTree(TfrMain& Form, int Index) {
  TLxADOTree& tree = Form.PageTree(Index);
  QString text;
  for (PVirtualNode node = tree.GetFirst(); node; node = tree.GetNext(node))
    text += QString(tree.GetNodeLevel(node), u'\t') + NodeKey(tree, node) + u'\t' + tree.GetText(node) + u'\n';
  Print(stdout, text);
  return ecWritten;
}

int RunForm(const TRunOptions& Options) {
  TScriptMessages messages;
  TScriptApp app;
  TfrMain frMain(app);
  // The batch run's file: the --output name itself, or the workbook printed to PDF from a private folder.
  const QString output = Options.Output.isEmpty() ? QString() : QFileInfo(Options.Output).absoluteFilePath();
  const bool pdf = IsPdfName(output);
  if (Options.Mode == TRunMode::Batch) {
    if (QFileInfo::exists(output) || QFileInfo(output).isSymLink()) {
      ShowMessage(u"Файл «%1» уже существует; он не будет перезаписан."_s.arg(output));
      return ecMessage;
    }
    if (pdf && LibreOfficeProgram().isEmpty()) {
      ShowMessage(NoLibreOfficeText());
      return ecMessage;
    }
  }
  try {
    frMain.FormCreate();
    if (app.Terminated) return ecMessage;
    if (Options.Mode == TRunMode::List) return ListTree(frMain, Options.ListTree);
    for (int t = 0; t < 3; ++t) {
      const QString error =
          ApplySelection(frMain.PageTree(t), Options.Selections[static_cast<size_t>(t)], kTreeOptions[t]);
      if (!error.isEmpty()) return UsageError(error);
    }
    if (Options.Year) frMain.meYear.SetText(*Options.Year);
  } catch (const std::exception& e) {
    app.Handle(e);
    return messages.ExitCode() == ecWritten ? ecMessage : messages.ExitCode();
  }

  // For PDF the workbook is made in a private folder first; it goes with the folder on every path.
  std::optional<QTemporaryDir> work;
  QString workbook = output;
  if (pdf) {
    work.emplace(QDir::tempPath() + u"/ppr-schedule-XXXXXX"_s);
    if (!work->isValid()) {
      ShowMessage(u"Не удалось создать временную папку: %1."_s.arg(work->errorString()));
      return ecMessage;
    }
    workbook = work->filePath(QFileInfo(output).completeBaseName() + u".xlsx"_s);
  }
  ExcelCore::SetOutputFile(workbook);
  try {
    frMain.btn1Click();
  } catch (const std::exception& e) {
    app.Handle(e);
  }
  ExcelCore::SetOutputFile({});
  if (messages.Count == 0 && pdf && QFileInfo::exists(workbook)) {
    try {
      PrintToPdf(workbook, output);
    } catch (const std::exception& e) {
      ShowMessage(ExceptionMessage(e));  // the schedule was made; only its printing failed
    }
  }
  if (messages.Count > 0) return messages.ExitCode();
  if (!QFileInfo::exists(output)) {
    ShowMessage(u"График не сформирован."_s);
    return ecMessage;
  }
  Print(stdout, output + u'\n');
  return ecWritten;
}

}  // namespace

int RunScripted(const TRunOptions& Options) {
  if (!Options.UsageError.isEmpty()) return UsageError(Options.UsageError);
  if (Options.Mode == TRunMode::Help) {
    Print(stdout, UsageText());
    return ecWritten;
  }
  if (Options.Mode == TRunMode::Version) {
    Print(stdout, u"ppr-schedule " PPR_VERSION "\n"_s);
    return ecWritten;
  }
  ConnectionSettings =
      Options.Demo ? DemoConnectionSettings() : ReadCommandLine(RebuildCommandLine(Options.HostArguments));
  if (!IsParameterListComplete(ConnectionSettings)) {
    TScriptMessages messages;
    ShowMessage(IncompleteParametersText());
    return ecMessage;
  }
  return RunForm(Options);
}
