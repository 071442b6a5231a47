#include "platform/path.h"

namespace vl4 {

namespace {
size_t LastDelimiter(std::string_view path) {
  size_t pos = path.find_last_of("\\:");
  return pos;
}
}  // namespace

std::string ExtractFilePath(std::string_view path) {
  size_t pos = LastDelimiter(path);
  return pos == std::string_view::npos ? std::string() : std::string(path.substr(0, pos + 1));
}

std::string ExtractFileName(std::string_view path) {
  size_t pos = LastDelimiter(path);
  return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string ExtractFileDir(std::string_view path) {
  size_t pos = LastDelimiter(path);
  if (pos == std::string_view::npos) return std::string();
  // Keep the "\" of a root ("C:\", "\") and the ":" of a drive ("C:").
  if (pos > 0 && path[pos] == '\\' && path[pos - 1] != ':' && path[pos - 1] != '\\') {
    return std::string(path.substr(0, pos));
  }
  return std::string(path.substr(0, pos + 1));
}

std::string ExtractFileExt(std::string_view path) {
  size_t pos = path.find_last_of(".\\:");
  if (pos == std::string_view::npos || path[pos] != '.') return std::string();
  return std::string(path.substr(pos));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  size_t pos = path.find_last_of(".\\:");
  std::string base(pos == std::string_view::npos || path[pos] != '.' ? path : path.substr(0, pos));
  return base + std::string(ext);
}

std::string IncludeTrailingBackslash(std::string_view path) {
  std::string r(path);
  if (r.empty() || r.back() != '\\') r += '\\';
  return r;
}

std::string ExcludeTrailingBackslash(std::string_view path) {
  std::string r(path);
  if (!r.empty() && r.back() == '\\') r.pop_back();
  return r;
}

}  // namespace vl4
