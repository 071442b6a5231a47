// One uninstall, once the log is read and the user has agreed: the IDEs first; then the files the
// log lists and those the setup tool made by its rules, the system files by their shared-DLL
// counts, the registry entries; last the log and UNINST, or, when something stayed, the log
// rewritten to list just that; then the folders left empty. It works without windows: the
// questions are callbacks.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "installer/install_script.h"
#include "installer/install_transaction.h"
#include "installer/uninstall_record.h"
#include "uninstaller/file_removal.h"
#include "uninstaller/uninstall_log.h"

namespace vl4::platform {
class Platform;
}

namespace vl4 {

// In the installation's UNINST directory, beside the log: the system files the installation
// counts among the shared DLLs, and the quiet run's report of what stayed.
std::string SystemListPath(const std::string& log_path);
std::string QuietReportPath(const std::string& log_path);

// The installation's results file, which may hold a class's results: it goes only when the user
// says so.
std::string ResultsFilePath(const std::string& log_path);

class UninstallRun {
 public:
  // `script`: this build's (its associations, extra uninstall entries and program group).
  // `ask`: the file-in-use question.
  UninstallRun(platform::Platform& platform, const InstallScript& script, const UninstallLog& log,
               bool delete_results, FileInUseQuestion ask);

  // Returns what stayed, as the user is told; empty when everything went.
  std::vector<std::string> Run();

 private:
  void UndoIdes();
  void RemoveListed();
  void RemoveSetupMade();
  void ReleaseSystemFiles();
  void RemoveRegistryEntries();
  // The log's end: gone with UNINST's files when nothing stayed, else rewritten.
  void Conclude();

  // The folder an entry "<folder>\a" stands for, when it is one: a folder strictly inside the
  // installation (so that no entry can stand for the installation or anything outside it), and no
  // file of that name exists.
  std::optional<std::string> TreeOf(const std::string& entry);
  // A shortcut that starts the uninstaller: it is kept while something stays.
  bool IsUninstallerShortcut(const std::string& entry);
  std::vector<std::string> ProgramGroups();
  void RemoveFile(const std::string& path);
  // A folder with everything in it; one that holds the working directory is left alone.
  void RemoveWholeFolder(const std::string& dir);
  void Stayed(const std::string& path);

  platform::Platform& platform_;
  const InstallScript& script_;
  const UninstallLog& log_;
  bool delete_results_;
  std::string installation_;           // the directory above UNINST
  std::string recorded_installation_;  // where the installer put it, when it has moved since
  std::vector<std::string> entries_;   // the log's, moved with the installation
  std::string work_dir_;
  FileRemoval removal_;

  std::vector<std::string> stayed_;       // what the user is told
  std::vector<std::string> relisted_;     // what the rewritten log lists
  std::vector<std::string> system_left_;  // what the rewritten system list holds
  std::vector<std::string> shortcuts_;    // the uninstaller's own, kept while something stays
};

}  // namespace vl4
