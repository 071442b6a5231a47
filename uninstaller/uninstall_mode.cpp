// The uninstaller's road: the log, the user's consent, the run, and what the user is told.
#include "uninstaller/uninstall_mode.h"

#include "installer/install_texts.h"
#include "installer/locations.h"
#include "platform/command_line.h"
#include "platform/elevation.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "ui/application.h"
#include "uninstaller/uninstall_run.h"
#include "uninstaller/uninstall_texts.h"

namespace vl4 {

namespace {

constexpr char kQuietSwitch[] = "/S";
// The list of what stayed in a message box is cut here; the rewritten log holds all of it.
constexpr size_t kStayedShown = 20;

std::string FaultMessage(const LogReading& reading, const std::string& path) {
  namespace texts = uninstall_texts;
  switch (reading.fault) {
    case LogFault::kMissing:
      return Format(texts::kLogMissing, path.c_str());
    case LogFault::kUnreadable:
      return Format(texts::kLogUnreadable, path.c_str());
    case LogFault::kEmpty:
      return Format(texts::kLogEmpty, path.c_str());
    case LogFault::kMalformed:
      return Format(texts::kLogMalformed, path.c_str(), reading.line);
    case LogFault::kMisplaced:
      break;
  }
  return Format(texts::kLogMisplaced, path.c_str());
}

std::string StayedMessage(const UninstallLog& log, const std::vector<std::string>& stayed) {
  std::string message = log.stayed_heading;
  for (size_t i = 0; i < stayed.size() && i < kStayedShown; ++i) message += "\r\n" + stayed[i];
  if (stayed.size() > kStayedShown) {
    message += "\r\n" +
               Format(uninstall_texts::kMoreStayed, static_cast<int>(stayed.size() - kStayedShown));
  }
  return message;
}

}  // namespace

UninstallCommand ParseUninstallCommand(const std::vector<std::string>& arguments) {
  UninstallCommand command;
  for (const std::string& argument : arguments) {
    if (SameText(argument, kQuietSwitch)) {
      command.quiet = true;
    } else if (SameText(argument, platform::kElevatedArgument)) {
      command.elevated = true;
    } else {
      command.log_path += (command.log_path.empty() ? "" : " ") + argument;
    }
  }
  return command;
}

std::optional<int> RunElevatedCopy(platform::Platform& platform, const UninstallCommand& command) {
  if (command.elevated) return std::nullopt;
  // An elevated program starts in the system directory whatever it is given: the log goes to it
  // as a full path.
  std::string parameters = command.quiet ? kQuietSwitch : "";
  if (!command.log_path.empty()) {
    parameters += (parameters.empty() ? "" : " ") +
                  QuoteArgument(platform.files().FullPath(command.log_path));
  }
  const std::unique_ptr<platform::Process> copy = platform::StartElevatedCopy(platform, parameters);
  // Refused: the uninstaller goes on as it is, and lists what it may not change.
  if (copy == nullptr) return std::nullopt;
  copy->Wait();
  return static_cast<int>(copy->ExitCode().value_or(kSomethingStayed));
}

int RunUninstallMode(platform::Platform& platform, ui::Application& app,
                     const UninstallCommand& command) {
  const InstallScript script = InstallScript::ThisBuild(FindLocations(platform));
  const bool quiet = command.quiet;

  const std::string log_path =
      command.log_path.empty() ? "" : platform.files().FullPath(command.log_path);
  const LogReading reading =
      log_path.empty() ? LogReading{} : ReadUninstallLog(platform.files(), log_path);
  if (!reading.log) {
    if (!quiet) {
      app.MessageBox(
          log_path.empty() ? uninstall_texts::kNoLogGiven : FaultMessage(reading, log_path),
          script.uninstaller_texts[0], ui::MsgKind::kError, ui::MsgButtons::kOK);
    }
    return kNoUsableLog;
  }
  const UninstallLog& log = *reading.log;
  const std::string& title = log.title;

  bool delete_results = false;
  if (!quiet) {
    if (app.MessageBox(log.question, title, ui::MsgKind::kConfirmation, ui::MsgButtons::kYesNo) !=
        ui::ModalResult::kYes) {
      return kSomethingStayed;
    }
    const std::string results = ResultsFilePath(log.path);
    delete_results =
        platform.files().FileExists(results) &&
        app.MessageBox(Format(uninstall_texts::kDeleteResults, results.c_str()), title,
                       ui::MsgKind::kConfirmation, ui::MsgButtons::kYesNo) == ui::ModalResult::kYes;
  }
  // Quiet: Next for every file in use.
  FileInUseQuestion ask = [&](const std::string& path) {
    if (quiet) return InUseAnswer::kNext;
    return app.MessageBox(Format(install_texts::kFileInUse, path.c_str()), title,
                          ui::MsgKind::kWarning,
                          ui::MsgButtons::kRepeatNext) == ui::ModalResult::kRepeat
               ? InUseAnswer::kRepeat
               : InUseAnswer::kNext;
  };

  const std::vector<std::string> stayed =
      UninstallRun(platform, script, log, delete_results, ask).Run();
  if (stayed.empty()) {
    if (!quiet) app.MessageBox(log.success, title, ui::MsgKind::kInformation, ui::MsgButtons::kOK);
    return kEverythingWent;
  }
  if (quiet) {
    std::vector<std::string> report = {log.stayed_heading};
    report.insert(report.end(), stayed.begin(), stayed.end());
    platform::WriteTextFile(platform.files(), QuietReportPath(log.path), report);
  } else {
    app.MessageBox(StayedMessage(log, stayed), title, ui::MsgKind::kWarning, ui::MsgButtons::kOK);
  }
  return kSomethingStayed;
}

}  // namespace vl4
