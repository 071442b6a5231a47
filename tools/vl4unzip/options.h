// vl4unzip's command line:
//   vl4unzip [-l | -t] [-o | -n] [-q] [-P password] [-d dir] archive [mask ...]
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vl4::unzip_tool {

// Exit statuses, as Info-ZIP's unzip gives them where they have a counterpart there.
enum ExitStatus : int {
  kExitOk = 0,               // every selected member extracted (or tested) well
  kExitMembersFailed = 1,    // some members failed: bad data, bad CRC, wrong password, method
  kExitRunFailed = 2,        // the run broke off (archive cut short, a file not writable)
  kExitNoArchive = 9,        // the archive is missing or no zip archive
  kExitUsage = 10,           // the command line is wrong
  kExitNothingMatched = 11,  // no member matches the masks
  kExitInterrupted = 80,     // Ctrl-C
};

struct Options {
  enum class Action { kExtract, kList, kTest };
  enum class Overwrite { kAsk, kAlways, kNever };

  Action action = Action::kExtract;
  Overwrite overwrite = Overwrite::kAsk;
  bool quiet = false;                   // only members that fail, and errors
  std::optional<std::string> password;  // as given (the host's bytes)
  std::string dest_dir;                 // as given; empty: the current directory
  std::string archive;
  std::vector<std::string> masks;  // none: every member
};

// Options may come anywhere, also grouped ("-to"); after "--" every argument is a name. Returns
// the options, or nothing with `error` set.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

extern const char* const kUsage;

}  // namespace vl4::unzip_tool
