// Taking the product out of the IDEs before its files go: every catalogue row is undone with the
// setup tool's own reverse of the installation, in each library directory the row's IDE may have.
// What is undone is judged from what is on the PC; vl.ini does not record it.
#pragma once

#include <string>
#include <vector>

#include "setup/ide/ide_modules.h"

namespace vl4::platform {
class Platform;
}

namespace vl4 {

// Undoes every row, in catalogue order (so that the Delphi rows release the copies the Borland
// .NET rows share), in each library directory the row's IDE may have: the one vl.ini names, the
// setup tool's own detection, and where the log lists the row's package outside the
// installation. `install_dir` ends in "\".
IdeRemoval UndoIdeIntegration(platform::Platform& platform, const std::string& install_dir,
                              const std::vector<std::string>& log_entries);

// Whether the item's place is a file that must stay when the item is left.
bool IsFileItem(const IdeItem& item);
// The item as the list of what stayed names it.
std::string DescribeIdeItem(const IdeItem& item);

}  // namespace vl4
