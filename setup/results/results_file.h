// The results file "results.dat" of a working directory: fixed 79-byte records in code page 866.
// Record 0 is the header (name, numeric option, environment code), record 1 the installation
// record (the installation directory's short path), record 2 the sealed record with the name.
// Further records belong to the exercise book and are never touched here.
#pragma once

#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace vl4::platform {
class Files;
}

namespace vl4 {

constexpr size_t kResultsRecordSize = 79;
constexpr size_t kResultsTextSize = 78;
constexpr int kDefaultNumericOption = 10;

// Result codes of reading (and rewriting) the header.
enum ResultsCode : int {
  kResultsOk = 0,
  kResultsNoDirectory = -10,
  kResultsMissing = -1,
  kResultsCannotOpen = -2,
  kResultsTooShort = -3,
};

struct ResultsHeader {
  std::string name;
  int option = kDefaultNumericOption;  // an even number from 4 to 40
  std::string env_code;                // upper case, empty when none
  std::string install_dir;  // from the installation record, when it exists and holds vl.ini
};

// The header record's text (code page 1251): "name", or "name|<option><code>".
ResultsHeader ParseHeaderText(std::string_view text);

// dir (a trailing "\" ignored; a drive root held as "X:") + "\results.dat".
std::string ResultsFilePath(std::string_view dir);

// Reads records 0 and 1. An empty directory means the current directory. Never raises.
int ReadResultsHeader(platform::Files& files, std::string_view dir, ResultsHeader& header);

// Rewrites records 0 and 1 in place: the stored name, the numeric option (a valid `option`
// replaces the stored one, 0 keeps it), `env_code` upper-cased, and the installation record of
// `install_dir`. Returns the reading code when reading fails, kResultsCannotOpen when writing
// fails, else kResultsOk.
int RewriteResultsHeader(platform::Files& files, std::string_view work_dir, int option,
                         std::string_view env_code, std::string_view install_dir);

// Creates the file anew with its three records: the header (name + suffix), the installation
// record and the sealed record of the name. False, with nothing written, when the file cannot be
// created; a failing write after that raises EInOutError.
bool CreateResultsFile(platform::Files& files, std::string_view work_dir,
                       std::string_view install_dir, std::string_view name, std::string_view suffix,
                       std::minstd_rand& random);

// The name of the sealed record (25 characters, code page 1251), or nothing when the file is
// missing, cannot be opened, has fewer than three records or its sealed record fails the check.
std::optional<std::string> ReadUserName(platform::Files& files, std::string_view work_dir);

// The installation record's text: the short path of the installation directory without its
// final "\", blank-padded to 78 characters; 78 blanks when the short path is longer (code 1251).
std::string InstallationRecordText(platform::Files& files, std::string_view install_dir);

}  // namespace vl4
