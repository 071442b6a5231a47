// The environment catalogue: the fixed table of supported environments (rows 3 to 32, row 18 an
// empty slot) with the state start-up fills in, and the look-ups the setup tool uses on it.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vl4::ui {
class Control;
}

namespace vl4 {

struct EnvPage;

// Which unit file in the module folder proves that the installation supports the environment.
enum class EnvKind { kNone, kPascal, kBasic, kDotNet, kCpp };

struct EnvRow {
  // Fixed fields.
  int number = 0;
  std::string display_name;
  std::string family_key;    // upper case: DELPHI, VB, VBNET, ...
  std::string version_text;  // "7", "10"
  int version = 0;           // the version text as a number
  std::string loader_template;
  std::string menu_name;
  std::string package_ext;  // ".bpl", ".dpl" or empty
  EnvKind kind = EnvKind::kNone;
  bool has_install = false;  // the page carries an Install button

  // State, empty and false until start-up fills it in.
  bool available = false;
  bool tools_in_menu = false;
  std::string library_dir;
  std::string exe_path;
  std::vector<std::string> aux_files;  // files the IDE needs in its library directory

  EnvPage* page = nullptr;  // the row's environment page; none for the empty slot

  bool Empty() const { return kind == EnvKind::kNone; }
  // Family key followed by version text: DELPHI7, VBNET2. The key in vl.ini, the results
  // header's suffix and the start-page argument.
  std::string Code() const { return family_key + version_text; }
  // Installation directory (ending in "\") + environment code.
  std::string ModuleFolder(const std::string& install_dir) const { return install_dir + Code(); }
};

// A current environment: family key and version number (empty and 0 when none is chosen).
struct EnvChoice {
  std::string family_key;
  int version = 0;
  bool operator==(const EnvChoice&) const = default;
};

// Splits an environment code back into family key and version: the trailing decimal digits are
// the version; a missing version, or one below 1, reads as 1 ("CB" gives CB 1, "0" gives "" 1).
EnvChoice SplitEnvironmentCode(std::string_view code);

class Catalogue {
 public:
  static constexpr int kFirstRow = 3;
  static constexpr int kLastRow = 32;
  static constexpr int kEmptyRow = 18;

  Catalogue();

  EnvRow& Row(int number) { return rows_.at(number - kFirstRow); }
  const EnvRow& Row(int number) const { return rows_.at(number - kFirstRow); }
  std::array<EnvRow, kLastRow - kFirstRow + 1>& Rows() { return rows_; }
  const std::array<EnvRow, kLastRow - kFirstRow + 1>& Rows() const { return rows_; }

  // The look-ups never return the empty slot.
  EnvRow* ByDisplayName(std::string_view name);
  EnvRow* ByCode(std::string_view upper_code);
  // The row whose page, Browse button or Install button is the control.
  EnvRow* ByControl(const ui::Control* control);

 private:
  std::array<EnvRow, kLastRow - kFirstRow + 1> rows_;
};

// The unit file whose presence in the module folder (or, for .NET rows, in the installation
// directory) marks the row's modules as shipped; empty for the empty slot.
const char* UnitFileName(EnvKind kind);

}  // namespace vl4
