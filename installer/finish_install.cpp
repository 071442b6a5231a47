// The finishing step of a complete install run: the self-copy, file associations, the program
// group and shortcuts, the uninstall log, the entry in Windows' list of installed programs, the
// completion message and the launch of the setup tool.
#include "installer/install_progress.h"
#include "installer/install_texts.h"
#include "installer/uninstall_log.h"
#include "installer/uninstall_record.h"
#include "platform/exception.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace vl4 {
namespace {

// A problem list without its final ", ", as one sentence of the completion message.
std::string ProblemText(const std::string& list, const char* format) {
  if (list.empty()) return "";
  return Format(format, list.substr(0, list.size() - 2).c_str()) + "\r\n";
}

}  // namespace

void InstallProgress::FinishInstall() {
  const InstallScript& script = inst_.script;
  const InstallSettings& settings = inst_.settings;
  const Locations& where = inst_.where;

  if (!script.self_copy_name.empty()) {
    const auto copy = files().FindFiles(transaction_->StagingDir() + "\\" + script.self_copy_name);
    PlaceFile(script.self_copy_name, copy.empty() ? 0 : copy.front().size);
  }
  transaction_->Commit();
  // Students start the setup tool with their own rights; it writes vl.ini, the results header,
  // the project templates and LIB in the installation directory.
  if (!files().AllowUsersToModify(destination_)) {
    rights_error_ = Format(install_texts::kRightsNotGiven, destination_.c_str()) + "\r\n";
  }
  SetStatus(script.install_title + install_texts::kCreatingShortcuts);

  for (const AssociationRow& row : script.associations) {
    RegisterAssociation(row.type, row.directory, row.program, row.description, row.icon_index);
  }

  // Without the Programs folder the group has no place: its path would lead to the root of the
  // current drive. The group then fails, and none of its shortcuts is made.
  const std::string group = where.programs_folder + script.program_group;
  if (settings.start_menu && (where.programs_folder.empty() || (!files().DirectoryExists(group) &&
                                                                !files().CreateDirectory(group)))) {
    group_error_ = Format(install_texts::kGroupError, script.GroupName().c_str()) + "\r\n";
  }
  const bool group_failed = !group_error_.empty();

  for (const ShortcutRow& row : script.shortcuts) {
    if (!settings.desktop && SameText(row.folder, where.desktop_folder)) continue;
    // An unknown Programs folder is part of no row's folder.
    if (!settings.start_menu && !where.programs_folder.empty() &&
        ContainsText(row.folder, where.programs_folder)) {
      continue;
    }
    const std::string link = row.folder + "\\" + row.name + ".lnk";
    std::optional<int64_t> size;
    if (!row.target.empty() && files().FileExists(row.target)) {
      const auto found = files().FindFiles(row.target);
      size = found.empty() ? 0 : found.front().size;
    }
    // A shortcut of a failed group goes nowhere, and nothing is deleted where it would be.
    const bool placeless = group_failed && SameText(row.folder, group);
    if (!placeless && (!size || *size == 0)) {
      // A missing or empty target: no shortcut, and none left from an earlier installation.
      files().DeleteFile(link);
      if (!row.target.empty()) files().DeleteFile(row.target);
    } else if (!placeless && files().DirectoryExists(row.folder) &&
               CreateShellLink(row.target, row.arguments, row.working_dir, link)) {
      installed_list_.push_back(link);
    } else {
      links_not_created_ += "\"" + row.folder + "\\" + row.name + "\", ";
    }
    Bar.StepBy(5);
    App().ProcessMessages();
  }

  // Without its entries the uninstaller would leave this installation behind.
  const std::string log = UninstallDir() + "\\" + script.uninstall_log_name;
  if (const auto saved = SaveUninstallLog(files(), log, installed_list_); !saved) {
    log_error_ = Format(install_texts::kLogNotWritten, log.c_str()) + "\r\n";
  } else if (*saved != log) {
    log_error_ = Format(install_texts::kLogNotRead, log.c_str(), saved->c_str()) + "\r\n";
  }
  if (!WriteUninstallEntry(log)) {
    entry_error_ = Format(install_texts::kEntryNotWritten, install_texts::kTitle,
                          ("HKEY_LOCAL_MACHINE" + std::string(kUninstallEntryKey)).c_str()) +
                   "\r\n";
  }

  installed_list_.clear();
  completed_ = true;
  SetStatus(script.install_title);
  Hide();
  CompleteMessage();
  App().Terminate();
}

void InstallProgress::CompleteMessage() {
  const InstallScript& script = inst_.script;
  const InstallSettings& settings = inst_.settings;
  const char* name = script.product_name.c_str();
  const char* kind = script.product_kind.c_str();
  const std::string file_problems = ProblemText(not_updated_, install_texts::kNotUpdated) +
                                    ProblemText(old_files_, install_texts::kOldFilesKept) +
                                    ProblemText(not_copied_, install_texts::kNotCopiedAside) +
                                    ProblemText(not_created_, install_texts::kNotCreated);
  const std::string links = ProblemText(links_not_created_, install_texts::kLinksNotCreated);
  const std::string problems =
      file_problems + group_error_ + links + rights_error_ + log_error_ + entry_error_;
  const bool shortcut_sentence = !script.shortcuts.Empty() && settings.start_menu;
  const std::string shortcuts =
      Format(install_texts::kShortcutsPlaced, name, kind, script.GroupName().c_str());
  const bool launch =
      !script.final_program.empty() && files().FileExists(script.final_program) && settings.run;

  std::string message;
  if (!problems.empty()) {
    message = Format(install_texts::kInstalled, name, kind) + "\r\n";
    if (!group_error_.empty()) {
      message += file_problems + group_error_;
    } else {
      if (shortcut_sentence) message += shortcuts + "\r\n";
      message += file_problems + links;
    }
    message += rights_error_ + log_error_ + entry_error_;
    message += Format(install_texts::kRecommendation, name, name, kind);
  } else {
    message = Format(install_texts::kInstalledSuccessfully, name, kind);
    if (shortcut_sentence) message += "\r\n" + shortcuts;
    if (launch) message += script.final_note;
  }
  if (!problems.empty() || settings.final_message) {
    App().MessageDlg(message, ui::MsgKind::kInformation, ui::MsgButtons::kOK);
  }
  // The completion message has just announced the setup tool (or no message came at all): a
  // launch that fails must not pass in silence.
  if (problems.empty() && launch &&
      !LaunchProgram(script.final_program, script.final_params, script.final_dir, 0)) {
    App().MessageDlg(Format(install_texts::kLaunchFailed, script.final_program.c_str()),
                     ui::MsgKind::kError, ui::MsgButtons::kOK);
  }
}

bool InstallProgress::WriteUninstallEntry(const std::string& log) {
  platform::System& system = inst_.platform.system();
  // Windows starts the commands from a 64-bit process, which finds this 32-bit program's system
  // directory under its other name (SysWOW64) on 64-bit Windows.
  const std::string wow64 = system.Wow64SystemDirectory();
  const std::string uninstaller_dir = wow64.empty() ? system.SystemDirectory() : wow64;
  const InstallScript& script = inst_.script;
  return vl4::WriteUninstallEntry(
      inst_.platform.registry(),
      UninstallEntry{
          .display_name = install_texts::kTitle,
          .display_version = script.version,
          .publisher = install_texts::kPublisher,
          .install_location = ExcludeTrailingBackslash(destination_),
          .display_icon =
              script.self_copy_name.empty() ? "" : destination_ + "\\" + script.self_copy_name,
          .uninstall_string = UninstallerCommandLine(uninstaller_dir, log, false),
          .quiet_uninstall_string = UninstallerCommandLine(uninstaller_dir, log, true),
          .estimated_size_kib = static_cast<uint32_t>((installed_bytes_ + 1023) / 1024),
      });
}

bool InstallProgress::CreateShellLink(const std::string& target, const std::string& arguments,
                                      const std::string& working_dir,
                                      const std::string& link_path) {
  return inst_.platform.shell().CreateShellLink(target, arguments, working_dir, link_path);
}

void InstallProgress::RegisterAssociation(const std::string& type, const std::string& directory,
                                          const std::string& program,
                                          const std::string& description, int icon_index) {
  platform::Registry& registry = inst_.platform.registry();
  const auto root = platform::RootKey::kClassesRoot;
  const std::string program_path = directory + "\\" + program;
  try {
    registry.WriteString(root, "." + type, "", type);
    registry.WriteString(root, type, "", description);
    registry.WriteString(root, type + "\\DefaultIcon", "",
                         program_path + "," + std::to_string(icon_index));
    registry.WriteString(root, type + "\\Shell", "", "Open");
    registry.WriteString(root, type + "\\Shell\\Open", "", "Open");
    registry.WriteString(root, type + "\\Shell\\Open\\command", "",
                         "\"" + program_path + "\" \"%1\"");
  } catch (const Exception&) {
    // An association that cannot be written is not reported.
  }
}

bool InstallProgress::LaunchProgram(const std::string& file, const std::string& parameters,
                                    const std::string& directory, int show_mode) {
  // SW_SHOW, SW_SHOWMAXIMIZED, SW_SHOWMINIMIZED, SW_SHOWMINNOACTIVE.
  static constexpr int kShowCommands[] = {5, 3, 2, 7};
  const int show = kShowCommands[show_mode >= 0 && show_mode <= 3 ? show_mode : 0];
  return inst_.platform.shell().Execute("", file, parameters, directory, show) != nullptr;
}

}  // namespace vl4
