// The directory chooser (the shell's folder browser) and the open-file dialog.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ui/backend.h"

namespace vl4::ui {

// With allow_create the chooser has an edit box: a typed directory that does not exist yet is
// asked about ("... does not exist. Create it?"), created on Yes and returned; after a No the
// chooser stays open.
std::optional<std::string> BrowseForDirectory(HWND owner, const DirectoryRequest& request);
std::optional<std::string> ChooseOpenFile(HWND owner, const OpenFileRequest& request);

}  // namespace vl4::ui
