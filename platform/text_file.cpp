#include "platform/text_file.h"

#include "platform/exception.h"

namespace vl4::platform {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(pos, end - pos));
    if (end == text.size()) break;
    pos = end + 1;
    if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
  }
  return lines;
}

std::optional<std::vector<std::string>> ReadTextFile(Files& files, const std::string& path) {
  std::string text;
  try {
    auto stream = files.OpenFile(path, OpenMode::kRead);
    char buffer[65536];
    while (size_t n = stream->Read(buffer, sizeof buffer)) text.append(buffer, n);
  } catch (const Exception&) {
    return std::nullopt;
  }
  return SplitLines(text);
}

bool WriteTextFile(Files& files, const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  try {
    auto stream = files.OpenFile(path, OpenMode::kCreate);
    return stream->Write(text.data(), text.size()) == text.size();
  } catch (const Exception&) {
    return false;
  }
}

}  // namespace vl4::platform
