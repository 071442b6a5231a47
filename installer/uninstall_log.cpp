// Saving the uninstall log without losing the entries of an earlier installation.
#include "installer/uninstall_log.h"

#include <unordered_set>

#include "installer/install_transaction.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/text_file.h"

namespace vl4 {
namespace {

// Writes a new file; one cut short must not pass for a log, so it goes.
bool WriteNew(platform::Files& files, const std::string& path,
              const std::vector<std::string>& lines) {
  if (platform::WriteTextFile(files, path, lines)) return true;
  files.DeleteFile(path);
  return false;
}

// The earlier log's lines with this installation's header and every line it lacks.
std::vector<std::string> Merged(const std::vector<std::string>& earlier,
                                const std::vector<std::string>& lines) {
  if (earlier.empty()) return lines;
  std::vector<std::string> merged = earlier;
  merged[0] = lines.front();
  std::unordered_set<std::string> known;
  for (const std::string& line : merged) known.insert(UpperCase(line));
  for (size_t i = 1; i < lines.size(); ++i) {
    if (known.insert(UpperCase(lines[i])).second) merged.push_back(lines[i]);
  }
  return merged;
}

}  // namespace

std::optional<std::string> SaveUninstallLog(platform::Files& files, const std::string& log,
                                            const std::vector<std::string>& lines) {
  if (!files.FileExists(log)) {
    return WriteNew(files, log, lines) ? std::optional(log) : std::nullopt;
  }
  const std::optional<std::vector<std::string>> earlier = platform::ReadTextFile(files, log);
  if (!earlier) {
    // Nothing of the earlier installation may be lost: this one's lines go beside it.
    const std::string beside = FreeName(files, log);
    return WriteNew(files, beside, lines) ? std::optional(beside) : std::nullopt;
  }
  if (auto attributes = files.GetAttributes(log)) {
    files.SetAttributes(log, *attributes & ~platform::kAttrReadOnly);
  }
  if (platform::WriteTextFile(files, log, Merged(*earlier, lines))) return log;
  // A log cut short: the earlier lines come back.
  platform::WriteTextFile(files, log, *earlier);
  return std::nullopt;
}

}  // namespace vl4
