// The installation script: the fixed values and tables that say what this build installs, where,
// with which shortcuts and texts, and the location values found at start-up that it is built on.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace vl4 {

// Where things are on this PC, found once at start-up. Directories carry no trailing "\"
// (a drive root is "D:").
struct Locations {
  std::string exe_path;           // the running installer
  std::string start_dir;          // its directory
  std::string settings_path;      // the executable's path with ".ini"
  std::string data_file_name;     // the executable's file name with ".dat"
  std::string program_files_dir;  // registry, else the drive scan
  std::string system_dir;
  std::string programs_folder;  // the Start menu's Programs folder; "" when unknown
  std::string desktop_folder;
};

// A table of the script: rows in order, never more than its capacity.
template <typename Row, size_t Capacity>
class ScriptTable {
 public:
  static constexpr size_t kCapacity = Capacity;

  ScriptTable() = default;
  ScriptTable(std::initializer_list<Row> rows) {
    for (const Row& row : rows) Add(row);
  }
  // False (and nothing added) when the table is full.
  bool Add(Row row) {
    if (rows_.size() == Capacity) return false;
    rows_.push_back(std::move(row));
    return true;
  }
  size_t Count() const { return rows_.size(); }
  bool Empty() const { return rows_.empty(); }
  Row& operator[](size_t i) { return rows_[i]; }
  const Row& operator[](size_t i) const { return rows_[i]; }
  auto begin() { return rows_.begin(); }
  auto end() { return rows_.end(); }
  auto begin() const { return rows_.begin(); }
  auto end() const { return rows_.end(); }

 private:
  std::vector<Row> rows_;
};

struct ShortcutRow {
  std::string target;
  std::string arguments;
  std::string working_dir;
  std::string folder;
  std::string name;  // the .lnk file's name without its extension
};

struct EnvironmentRow {
  std::string display_name;
  std::string key;  // the archive's top-level directory of the environment
};

struct AssociationRow {
  std::string type;  // the extension without its dot, and the name of its class key
  std::string directory;
  std::string program;
  std::string description;
  int icon_index = 0;
};

struct InstallScript {
  std::string product_name;
  std::string product_kind;
  std::string version;
  std::string install_title;
  std::string program_group;  // with its leading "\"
  std::string default_destination;
  std::string previous_version_marker;  // a directory
  int data_parts = 1;
  std::string password;
  std::string uninstall_log_name;
  std::string self_copy_name;
  std::string final_program;
  std::string final_params;
  std::string final_dir;
  std::string final_note;
  std::array<std::string, 4> uninstaller_texts;
  std::string required_files_message;
  std::string env_caption;
  std::string env_header;
  int env_extra_height = 0;
  bool allow_no_environment = false;

  ScriptTable<ShortcutRow, 51> shortcuts;
  ScriptTable<EnvironmentRow, 51> environments;
  ScriptTable<AssociationRow, 51> associations;
  ScriptTable<std::string, 101> preserved_files;
  ScriptTable<std::string, 101> required_files;
  // Directories made before extraction. The install run starts its own list with them and adds
  // every directory it makes, without a limit, so that a rollback finds them all.
  ScriptTable<std::string, 101> created_dirs;
  ScriptTable<std::string, 51> extra_uninstall_entries;

  // The uninstall log's first line: the uninstaller's four texts, each followed by "|".
  std::string UninstallHeader() const;
  // The program group without its leading "\".
  std::string GroupName() const;

  // This build's script, its location-dependent values taken from `where`.
  static InstallScript ThisBuild(const Locations& where);
};

}  // namespace vl4
