// The uninstaller's own texts. The title of its boxes, the confirmation question, the success
// message and the heading of the list of what stayed come from the uninstall log's header; the
// file-in-use question is the installer's. Texts with "%s" are printf formats.
#pragma once

namespace vl4::uninstall_texts {

// The uninstall log cannot be used: nothing is changed.
inline constexpr char kNoLogGiven[] =
    "No uninstall log is given: there is nothing to uninstall. Start the uninstaller with the "
    "full path of an installation's uninstall log in double quotes.";
inline constexpr char kLogMissing[] =
    "The uninstall log \"%s\" is not found: there is nothing to uninstall.";
inline constexpr char kLogUnreadable[] =
    "Could not read the uninstall log \"%s\". Nothing has been uninstalled.";
inline constexpr char kLogEmpty[] =
    "The uninstall log \"%s\" is empty. Nothing has been uninstalled.";
// Arguments: the log, the line number.
inline constexpr char kLogMalformed[] =
    "The file \"%s\" is not an uninstall log: its line %d is not what the installer writes. "
    "Nothing has been uninstalled.";
inline constexpr char kLogMisplaced[] =
    "The uninstall log \"%s\" does not lie in the UNINST directory of an installation. Nothing "
    "has been uninstalled.";

// Asked before anything is removed, when the installation holds a results file.
inline constexpr char kDeleteResults[] =
    "The file \"%s\" may hold the results of a class. Do you want to delete it too?";

// The end of a long list of what stayed; the rest is in the uninstall log. Argument: how many.
inline constexpr char kMoreStayed[] = "... and %d more.";

// What stayed besides files, as the list names it.
// Arguments: the key ("HKEY_LOCAL_MACHINE\..."), the value's name.
inline constexpr char kRegistryKey[] = "%s (registry key)";
inline constexpr char kRegistryValue[] = "%s, value \"%s\"";
// Arguments: the list file, the section and key or the section.
inline constexpr char kAddInListEntry[] = "%s, entry \"%s\"";
inline constexpr char kAddInListSection[] = "%s, section [%s]";
// Argument: the add-in library.
inline constexpr char kAddInRegistration[] = "%s (registered with Windows)";

}  // namespace vl4::uninstall_texts
