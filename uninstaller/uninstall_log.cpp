// Reading the uninstall log and the system-file list, and writing them anew without ever leaving
// them half written.
#include "uninstaller/uninstall_log.h"

#include <algorithm>
#include <cctype>

#include "platform/files.h"
#include "platform/path.h"
#include "platform/text.h"
#include "platform/text_file.h"
#include "setup/file_replace.h"

namespace vl4 {

namespace {

constexpr char kUninstallDirName[] = "UNINST";
constexpr size_t kHeaderTexts = 4;

// The header's texts, each followed by "|"; nothing when the line is not such a header.
std::optional<std::vector<std::string>> HeaderTexts(const std::string& line) {
  const std::string header = TrimRight(line);
  if (header.empty() || header.back() != '|') return std::nullopt;
  std::vector<std::string> texts;
  size_t begin = 0;
  for (size_t bar = header.find('|'); bar != std::string::npos; bar = header.find('|', begin)) {
    texts.push_back(header.substr(begin, bar - begin));
    begin = bar + 1;
  }
  if (texts.size() != kHeaderTexts) return std::nullopt;
  return texts;
}

}  // namespace

std::string UninstallLog::HeaderLine() const {
  return title + "|" + question + "|" + success + "|" + stayed_heading + "|";
}

bool IsFullPath(std::string_view path) {
  if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
      path[2] == '\\') {
    return true;
  }
  return path.size() > 2 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
}

std::string InstallationOf(const std::string& log_path) {
  return ExcludeTrailingBackslash(ExtractFileDir(ExtractFileDir(log_path)));
}

LogReading ReadUninstallLog(platform::Files& files, const std::string& path) {
  LogReading reading;
  if (!files.FileExists(path)) return reading;
  const std::string uninstall_dir = ExtractFileDir(path);
  if (!SameText(ExtractFileName(uninstall_dir), kUninstallDirName) ||
      InstallationOf(path).empty() || !IsFullPath(uninstall_dir)) {
    reading.fault = LogFault::kMisplaced;
    return reading;
  }
  const std::optional<std::vector<std::string>> lines = platform::ReadTextFile(files, path);
  if (!lines) {
    reading.fault = LogFault::kUnreadable;
    return reading;
  }
  if (std::all_of(lines->begin(), lines->end(),
                  [](const std::string& line) { return Trim(line).empty(); })) {
    reading.fault = LogFault::kEmpty;
    return reading;
  }
  reading.fault = LogFault::kMalformed;
  const std::optional<std::vector<std::string>> texts = HeaderTexts(lines->front());
  if (!texts) {
    reading.line = 1;
    return reading;
  }
  UninstallLog log{path, (*texts)[0], (*texts)[1], (*texts)[2], (*texts)[3], {}};
  for (size_t i = 1; i < lines->size(); ++i) {
    const std::string entry = Trim((*lines)[i]);
    if (entry.empty()) continue;
    if (!IsFullPath(entry)) {
      reading.line = static_cast<int>(i) + 1;
      return reading;
    }
    log.entries.push_back(entry);
  }
  reading.log = std::move(log);
  return reading;
}

std::vector<std::string> ReadPathList(platform::Files& files, const std::string& path) {
  std::vector<std::string> paths;
  for (const std::string& line :
       platform::ReadTextFile(files, path).value_or(std::vector<std::string>{})) {
    std::string entry = Trim(line);
    if (IsFullPath(entry)) paths.push_back(std::move(entry));
  }
  return paths;
}

std::vector<std::string> ReplacementNames(const std::string& path) {
  return {path + ".NEW", path + ".OLD"};
}

bool ReplaceTextFile(platform::Files& files, const std::string& path,
                     const std::vector<std::string>& lines) {
  const std::vector<std::string> names = ReplacementNames(path);
  const std::string& fresh = names[0];
  const std::string& old = names[1];
  files.DeleteFile(fresh);
  if (!platform::WriteTextFile(files, fresh, lines)) {
    files.DeleteFile(fresh);
    return false;
  }
  if (const std::optional<uint32_t> attributes = files.GetAttributes(path)) {
    files.SetAttributes(path, *attributes & ~uint32_t{platform::kAttrReadOnly});
  }
  return ReplaceFile(files, path, fresh, old);
}

}  // namespace vl4
