// The installer's own texts: captions of the wizard and its dialogs, and every message it shows.
// Texts with "%s" are printf formats; the product's name and kind come from the script.
#pragma once

namespace vl4::install_texts {

// The wizard.
inline constexpr char kAppTitle[] = "RA4Zuva-250 Install";
inline constexpr char kTitle[] = "Veltoria 4";
inline constexpr char kSubtitle[] = "Mini Edition (RA4Zuva-250), freeware";
inline constexpr char kAuthorLine[] = "(c) The Veltoria team";
// The publisher in Windows' list of installed programs, as the version information's company.
inline constexpr char kPublisher[] = "The Veltoria team";
inline constexpr char kDestinationPrompt[] =
    "Select the directory where you would like VL4 to be installed:";
inline constexpr char kVersionLine[] = "Version %s (Build %s)";
inline constexpr char kBrowse[] = "Browse...";
inline constexpr char kAbout[] = "About VL4";
inline constexpr char kLicense[] = "License agreement";
inline constexpr char kInstall[] = "Install";
inline constexpr char kExit[] = "Exit";

// Start-up.
inline constexpr char kDataFileMissing[] =
    "The %s file is not found. Installation will be terminated.";

// The text viewer.
inline constexpr char kReadmeCaption[] = "About Veltoria 4 [readme.txt]";
inline constexpr char kLicenseCaption[] = "License agreement [license.txt]";
inline constexpr char kOK[] = "OK";
inline constexpr char kCannotRead[] = "Cannot read the file \"%s\".";

// The environment window.
inline constexpr char kCancel[] = "Cancel";

// Install.
inline constexpr char kUninstallFirst[] =
    "Before installing Veltoria 4 you have to uninstall its previous version (\"Start | Programs "
    "| Uninstall Veltoria 4\").";
inline constexpr char kNoDestination[] =
    "The directory for VL4 is not given. Choose a directory for VL4.";
inline constexpr char kCannotCreateDestination[] =
    "Could not create the \"%s\" directory. Choose other directory for VL4.";
inline constexpr char kReadOnlyDestination[] =
    "The \"%s\" directory is read-only. Choose other directory for VL4.";
inline constexpr char kOldComponents[] =
    "The old versions of some Veltoria components were found on your computer. It will be "
    "modified, but using Pascal ABC version 2.4 or lower will lead to unproper work of Veltoria in "
    "the Pascal ABC environment (in the other environments Veltoria will work correctly). To avoid "
    "this problem you should use Pascal ABC version 2.5 or higher. Do you want to continue "
    "installation of Veltoria with replacement of the old components by the new ones?";
inline constexpr char kExitQuestion[] =
    "If you exit now, VL4 will not be installed. Are you sure you want to exit and cancel "
    "installation?";

// The install run.
inline constexpr char kDataReading[] = ": data reading...";
inline constexpr char kCopyingFiles[] = ": copying of files...";
inline constexpr char kCreatingShortcuts[] = ": creating of shortcuts...";
inline constexpr char kFileInUse[] =
    "Could not update the \"%s\" file. It seems likely that the file is used by one of the "
    "executing applications. Close all applications, except the install program, and press the "
    "\"Repeat\" button. If file updating fails again, press the \"Next\" button.";
inline constexpr char kDataCopyError[] =
    "Data-copy error. It seems likely that the install application is not in the administrator "
    "mode or the %s file is corrupted. Installation will be terminated.";
// Checked before anything is unpacked; the sizes are in megabytes.
inline constexpr char kNoRoom[] =
    "There is not enough free space on the disk of \"%s\": the installation needs %s MB there "
    "and %s MB are free. Free some space and run the installation again.";
inline constexpr char kCannotPrepare[] =
    "Could not create the \"%s\" directory. Installation will be terminated.";

// The completion message.
inline constexpr char kGroupError[] = "Could not create the \"%s\" program group.";
// The setup tool writes its installation directory with a student's rights.
inline constexpr char kRightsNotGiven[] =
    "Could not allow the users of this computer to change the files in \"%s\".";
inline constexpr char kNotUpdated[] = "Could not update the following files: \r\n%s.";
inline constexpr char kOldFilesKept[] =
    "Could not put back the earlier versions of the files not updated; they are kept as: \r\n%s.";
inline constexpr char kNotCopiedAside[] =
    "Could not copy the following files aside before replacing them, so they are not updated (the "
    "disk may be full): \r\n%s.";
inline constexpr char kNotCreated[] = "Could not create the following files: \r\n%s.";
inline constexpr char kLinksNotCreated[] = "Could not create the following shortcuts: \r\n%s.";
// The uninstall log (its path), and where this installation's entries went instead.
inline constexpr char kLogNotWritten[] = "Could not write the uninstall log \"%s\".";
inline constexpr char kLogNotRead[] =
    "Could not read the uninstall log \"%s\": it is kept as it was, and the files of this "
    "installation are listed in \"%s\".";
// Arguments: the product's title, the registry key of its entry.
inline constexpr char kEntryNotWritten[] =
    "Could not add %s to the list of installed programs: the \"%s\" registry key cannot be "
    "written.";
// After the completion message, when the setup tool it announced does not start.
inline constexpr char kLaunchFailed[] = "Could not launch the \"%s\" program.";
// Arguments: product name, product kind.
inline constexpr char kInstalled[] = "The %s %s is installed.";
inline constexpr char kInstalledSuccessfully[] = "The %s %s is installed successfully.";
// Arguments: product name, product kind, program group.
inline constexpr char kShortcutsPlaced[] =
    "Shortcuts of the %s %s are placed in the \"%s\" program group of the Start Menu.";
// Arguments: product name, product name, product kind.
inline constexpr char kRecommendation[] =
    "These problems may lead to an unproper work of %s.\r\nWe recommend to you to reload your "
    "computer and repeat the installation of the %s %s.";

}  // namespace vl4::install_texts
