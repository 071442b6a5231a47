// Removing the product's registry entries that still name this installation.
#include "uninstaller/product_keys.h"

#include <algorithm>
#include <optional>

#include "installer/install_script.h"
#include "installer/macros.h"
#include "installer/uninstall_record.h"
#include "platform/exception.h"
#include "platform/path.h"
#include "platform/text.h"
#include "uninstaller/uninstall_texts.h"

namespace vl4 {

namespace {

using platform::RootKey;

const char* RootName(RootKey root) {
  switch (root) {
    case RootKey::kLocalMachine:
      return "HKEY_LOCAL_MACHINE";
    case RootKey::kCurrentUser:
      return "HKEY_CURRENT_USER";
    case RootKey::kClassesRoot:
      break;
  }
  return "HKEY_CLASSES_ROOT";
}

class EntryRemoval {
 public:
  EntryRemoval(platform::Registry& registry, const std::vector<std::string>& installation)
      : registry_(registry), installation_(installation) {}

  // The key goes unless its value names another installation.
  void RemoveUnlessElsewhere(RootKey root, const std::string& key, const std::string& value) {
    Try(root, key, [&] {
      if (!registry_.KeyExists(root, key)) return;
      const std::string dir = Trim(registry_.ReadString(root, key, value).value_or(""));
      if (dir.empty() || NamesThis(ExcludeTrailingBackslash(dir))) registry_.DeleteKey(root, key);
    });
  }

  // An association goes when its command still starts this installation's program, written as
  // the installer writes it; the extension goes with it while it still names the association.
  void RemoveAssociation(const AssociationRow& row) {
    const std::string command_key = row.type + "\\Shell\\Open\\command";
    Try(RootKey::kClassesRoot, row.type, [&] {
      const std::string command =
          registry_.ReadString(RootKey::kClassesRoot, command_key, "").value_or("");
      const bool ours =
          std::any_of(installation_.begin(), installation_.end(), [&](const std::string& dir) {
            const std::string program = ExpandInstallDir(row.directory, dir) + "\\" + row.program;
            return SameText(command, "\"" + program + "\" \"%1\"");
          });
      if (!ours) return;
      const std::string extension = "." + row.type;
      if (SameText(registry_.ReadString(RootKey::kClassesRoot, extension, "").value_or(""),
                   row.type)) {
        registry_.DeleteKey(RootKey::kClassesRoot, extension);
      }
      registry_.DeleteKey(RootKey::kClassesRoot, row.type);
    });
  }

  std::vector<std::string> stayed;

 private:
  bool NamesThis(const std::string& dir) const {
    return std::any_of(installation_.begin(), installation_.end(),
                       [&](const std::string& ours) { return SameText(dir, ours); });
  }

  template <class Action>
  void Try(RootKey root, const std::string& key, const Action& action) {
    try {
      action();
    } catch (const ERegistryException&) {
      stayed.push_back(Format(uninstall_texts::kRegistryKey, RegistryPath(root, key).c_str()));
    }
  }

  platform::Registry& registry_;
  const std::vector<std::string>& installation_;
};

}  // namespace

std::string RegistryPath(RootKey root, const std::string& key) {
  return std::string(RootName(root)) + (StartsText("\\", key) ? "" : "\\") + key;
}

std::vector<std::string> RemoveProductEntries(platform::Registry& registry,
                                              const InstallScript& script,
                                              const std::vector<std::string>& installation) {
  EntryRemoval removal(registry, installation);
  for (const AssociationRow& row : script.associations) removal.RemoveAssociation(row);
  removal.RemoveUnlessElsewhere(RootKey::kLocalMachine, kProductKey, kProductKeyDirectory);
  removal.RemoveUnlessElsewhere(RootKey::kLocalMachine, kUninstallEntryKey,
                                kUninstallEntryLocation);
  return std::move(removal.stayed);
}

}  // namespace vl4
