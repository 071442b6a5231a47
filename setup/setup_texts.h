// The setup tool's text table: fixed captions of the setup window and the messages it shows.
// Texts with "%s" are printf formats.
#pragma once

namespace vl4::texts {

inline constexpr char kAppTitle[] = "VL4 Setup";
inline constexpr char kSiteUrl[] = "http://www.veltoria.example/";

// Pages.
inline constexpr char kEnvsPageTitle[] = "Veltoria setup for available IDEs";
inline constexpr char kEnvPageTitle[] = "Veltoria setup for %s";
inline constexpr char kWorkPageTitle[] = "Working directory setup";

// Bottom bar.
inline constexpr char kAbout[] = "About the author [F1]";
inline constexpr char kSite[] = "Site www.veltoria.example [F2]";
inline constexpr char kBack[] = "< Back [F3]";
inline constexpr char kNext[] = "Next [F4] >";
inline constexpr char kExit[] = "Exit";
inline constexpr char kFinish[] = "Finish";

// Environments page and environment pages.
inline constexpr char kExecutableFile[] = "Executable file:";
inline constexpr char kBrowse[] = "Browse [F8]";
inline constexpr char kDoNotUse[] = "Do not use Veltoria for this IDE [F7]";
inline constexpr char kInstallModules[] = "Install Veltoria modules for %s";
// The Install button's caption once the modules are in: the row's modules-installed mark.
inline constexpr char kModulesInstalled[] = "Delete the Veltoria modules from %s";
inline constexpr char kSelectExecutable[] = "Select the executable file for %s IDE";
inline constexpr char kExecutableFilter[] = "Executable files (*.exe)|*.exe";
inline constexpr char kErrorButtonFrom[] = "Error: ButtonFrom";
inline constexpr char kErrorButtonBrowse[] = "Error: ButtonBrowse";
inline constexpr char kErrorButtonDelete[] = "Error: ButtonDelete";

// Working directory page.
inline constexpr char kWorkDirectory[] = "Working directory:";
inline constexpr char kResultsFile[] = "File results.dat:";
inline constexpr char kEnvironment[] = "Environment:";
inline constexpr char kChange[] = "Change [F5]";
inline constexpr char kDef[] = "Def [F5]";
inline constexpr char kCreate[] = "Create [F6]";
inline constexpr char kDelete[] = "Delete [F6]";
inline constexpr char kCopySamples[] = "Copy sample files to the working directory [F7]";
inline constexpr char kDeleteSamples[] = "Delete sample files at the working directory [F7]";
inline constexpr char kNetOutput[] = "Change the output path for .NET environments [F7]";
inline constexpr char kNotDefined[] = "Not defined";

// Status lines.
inline constexpr char kWorkDirMustBeSpecified[] = "The working directory must be specified.";
inline constexpr char kResultsNotFound[] =
    "A file of results is not found at the working directory.";
inline constexpr char kResultsCorrupted[] =
    "A file of results is corrupted and needs to be deleted and then recreated.";
inline constexpr char kWorkDirDefined[] =
    "The working directory is defined. It contains all necessary components.";
inline constexpr char kSelectEnvironment[] = "Select a work environment.";
inline constexpr char kExeNotFound[] =
    "The executable file for %s is not found.\r\nTry to find it by pressing the \"Browse\" "
    "button,\r\nbut it seems likely that %s is not installed on your computer.";
inline constexpr char kCanBeUsed[] = "Veltoria can be used with %s.";
inline constexpr char kToolsInstalled[] =
    "The Veltoria tools are installed\r\ninto the menu \"%s\" of the %s IDE.";
inline constexpr char kAuxFileMissing[] =
    "Veltoria can be used with %s, but copying of an auxiliary file %s to subdirectory Lib of %s "
    "directory is impossible (maybe the subdirectory is read-only).";

// Module installation and removal.
inline constexpr char kKnownPackageDelphi[] = "VL4 Tools for Delphi %s";
inline constexpr char kKnownPackageCppBuilder[] = "VL4 Tools for C++Builder %s";
inline constexpr char kCannotWriteRegistry[] = "Could not write data to the system registry.";
inline constexpr char kConfirmRemoval[] =
    "The Veltoria components for %s will be completely removed from your computer. Do you want "
    "to delete these components?";
inline constexpr char kRemovalLeftovers[] =
    "The Veltoria components for %s are deleted, with the exception of the following files:";

// Start-up.
inline constexpr char kToolsNotFound[] = "The following tools of Veltoria 4 are not found:";
inline constexpr char kReinstall[] = "You should reinstall Veltoria 4.";
inline constexpr char kNoEnvironments[] =
    "Environments for Veltoria are not found. You should reinstall Veltoria 4.";
inline constexpr char kCannotReadIni[] = "Could not read data from the file vl.ini.";
inline constexpr char kSystemError[] =
    "The program VL4Setup caused a system error %s with diagnostics \"%s\". It is likely that "
    "the program was run in the read-only directory (for example, in the directory on CD)";

// Working directory and results file.
inline constexpr char kCannotCreateDirectory[] = "Cannot create the directory \"%s\".";
inline constexpr char kChooseWorkDir[] = "Select the working directory";
inline constexpr char kCreationTitle[] = "Creation of the results file";
inline constexpr char kEnterUserData[] =
    "Enter user data (name, surname), which will be saved in the results file:";
inline constexpr char kCancel[] = "Cancel";
inline constexpr char kConfirmDeleteResults[] =
    "Are you sure you want to delete the file results.dat from the working directory?";
inline constexpr char kCannotDeleteResults[] =
    "Could not delete the file results.dat from the working directory. It seems likely that "
    "this file is opened by one of the running applications.";
inline constexpr char kDefaultUserName[] = "VL4 User";

// Sample files.
inline constexpr char kNoSamples[] = "This version of Veltoria does not include sample files.";
inline constexpr char kSamplesAdded[] =
    "The following sample files are added to the working directory:";
inline constexpr char kSamplesNotAdded[] =
    "The following sample files could not be copied to the working directory:";
inline constexpr char kSamplesNotFound[] =
    "The sample files are not found at the working directory.";
inline constexpr char kSamplesDeleted[] =
    "The following sample files are deleted from the working directory:";
inline constexpr char kSamplesNotDeleted[] =
    "The following sample files could not be deleted from the working directory:";

// The .NET output directory dialog.
inline constexpr char kNetOutputTitle[] = "Change the output path for .NET environments";
inline constexpr char kNetOutputExplanation[] =
    "The default output directory is the working directory. But if the working directory is "
    "located in a remote (network) drive then in the case of .NET environments it is necessary "
    "to use some local hard disk directory as an output directory.";
inline constexpr char kUseLocalDir[] = "Use an output directory located in a local hard disk";
inline constexpr char kChooseOutputDir[] = "Select the output directory for .NET environments";
inline constexpr char kOK[] = "OK";
inline constexpr char kNeedLocalDisk[] =
    "The directory name must contain the name of a local hard disk.";
inline constexpr char kCreateDirectoryQuestion[] =
    "The directory \"%s\" does not exist. Do you want to create it?";

}  // namespace vl4::texts
