// Reading, rewriting and creating the results file's header records.
#include "setup/results/results_file.h"

#include <algorithm>
#include <array>

#include "platform/exception.h"
#include "platform/files.h"
#include "platform/path.h"
#include "platform/text.h"
#include "setup/results/code_page.h"
#include "setup/results/seal.h"

namespace vl4 {

namespace {

using Record = std::array<uint8_t, kResultsRecordSize>;

// A record holding `text` (code page 1251), mapped to 866 and cut to 78 characters.
Record TextRecord(std::string_view text) {
  std::string dos = Win1251ToDos866(text.substr(0, kResultsTextSize));
  Record record;
  record.fill(' ');
  record[0] = static_cast<uint8_t>(dos.size());
  std::copy(dos.begin(), dos.end(), record.begin() + 1);
  return record;
}

std::string RecordText(const Record& record) {
  size_t length = std::min<size_t>(record[0], kResultsTextSize);
  return Dos866ToWin1251(
      std::string_view(reinterpret_cast<const char*>(record.data() + 1), length));
}

std::string PadRight(std::string text) {
  if (text.size() < kResultsTextSize) text.resize(kResultsTextSize, ' ');
  return text;
}

bool ValidOption(int option) {
  return option >= 4 && option <= 40 && option % 2 == 0;
}

// Every opening of the results file, for reading too, first takes its read-only mark away, so
// that the exercise book can write it later.
void ClearReadOnly(platform::Files& files, const std::string& path) {
  if (auto attributes = files.GetAttributes(path);
      attributes && (*attributes & platform::kAttrReadOnly)) {
    files.SetAttributes(path, *attributes & ~uint32_t{platform::kAttrReadOnly});
  }
}

bool ReadRecord(platform::FileStream& stream, size_t index, Record& record) {
  stream.Seek(static_cast<int64_t>(index * kResultsRecordSize), platform::SeekOrigin::kBegin);
  return stream.Read(record.data(), record.size()) == record.size();
}

bool WriteRecord(platform::FileStream& stream, size_t index, const Record& record) {
  if (stream.Seek(static_cast<int64_t>(index * kResultsRecordSize), platform::SeekOrigin::kBegin) !=
      static_cast<int64_t>(index * kResultsRecordSize)) {
    return false;
  }
  return stream.Write(record.data(), record.size()) == record.size();
}

std::string HeaderText(const std::string& name, int option, std::string_view env_code) {
  return PadRight(name + "|" + std::to_string(option) + UpperCase(env_code));
}

}  // namespace

ResultsHeader ParseHeaderText(std::string_view text) {
  ResultsHeader header;
  std::string trimmed = Trim(text);
  size_t bar = trimmed.rfind('|');
  if (bar == std::string::npos) {
    header.name = trimmed;
    return header;
  }
  header.name = trimmed.substr(0, bar);
  std::string_view suffix = std::string_view(trimmed).substr(bar + 1);
  size_t digits = 0;
  while (digits < suffix.size() && suffix[digits] >= '0' && suffix[digits] <= '9') ++digits;
  int option = 0;
  if (digits > 0 && digits <= 2) {
    for (size_t i = 0; i < digits; ++i) option = option * 10 + (suffix[i] - '0');
  }
  header.option = ValidOption(option) ? option : kDefaultNumericOption;
  header.env_code = UpperCase(suffix.substr(digits));
  return header;
}

std::string ResultsFilePath(std::string_view dir) {
  return ExcludeTrailingBackslash(dir) + "\\results.dat";
}

std::string InstallationRecordText(platform::Files& files, std::string_view install_dir) {
  std::string short_path = files.ShortPath(ExcludeTrailingBackslash(install_dir));
  if (short_path.size() > kResultsTextSize) return std::string(kResultsTextSize, ' ');
  return PadRight(short_path);
}

int ReadResultsHeader(platform::Files& files, std::string_view dir, ResultsHeader& header) {
  header = ResultsHeader{};
  std::string directory = dir.empty() ? files.CurrentDirectory() : std::string(dir);
  if (!files.DirectoryExists(directory)) return kResultsNoDirectory;
  std::string path = ResultsFilePath(directory);
  if (!files.FileExists(path)) return kResultsMissing;
  ClearReadOnly(files, path);
  Record records[2];
  try {
    auto stream = files.OpenFile(path, platform::OpenMode::kRead);
    if (stream->Size() < static_cast<int64_t>(3 * kResultsRecordSize)) return kResultsTooShort;
    if (!ReadRecord(*stream, 0, records[0]) || !ReadRecord(*stream, 1, records[1])) {
      return kResultsCannotOpen;
    }
  } catch (const Exception&) {
    return kResultsCannotOpen;
  }
  header = ParseHeaderText(RecordText(records[0]));
  std::string install_dir = Trim(RecordText(records[1]));
  if (!install_dir.empty() && files.DirectoryExists(install_dir) &&
      files.FileExists(IncludeTrailingBackslash(install_dir) + "vl.ini")) {
    header.install_dir = install_dir;
  }
  return kResultsOk;
}

int RewriteResultsHeader(platform::Files& files, std::string_view work_dir, int option,
                         std::string_view env_code, std::string_view install_dir) {
  ResultsHeader header;
  int code = ReadResultsHeader(files, work_dir, header);
  if (code < 0) return code;
  if (ValidOption(option)) header.option = option;
  const Record header_record = TextRecord(HeaderText(header.name, header.option, env_code));
  const Record install_record = TextRecord(InstallationRecordText(files, install_dir));
  std::string directory = work_dir.empty() ? files.CurrentDirectory() : std::string(work_dir);
  try {
    auto stream = files.OpenFile(ResultsFilePath(directory), platform::OpenMode::kReadWrite);
    if (!WriteRecord(*stream, 0, header_record) || !WriteRecord(*stream, 1, install_record)) {
      return kResultsCannotOpen;
    }
  } catch (const Exception&) {
    return kResultsCannotOpen;
  }
  return kResultsOk;
}

bool CreateResultsFile(platform::Files& files, std::string_view work_dir,
                       std::string_view install_dir, std::string_view name, std::string_view suffix,
                       std::minstd_rand& random) {
  std::string path = ResultsFilePath(work_dir);
  ClearReadOnly(files, path);
  std::unique_ptr<platform::FileStream> stream;
  try {
    stream = files.OpenFile(path, platform::OpenMode::kCreate);
  } catch (const Exception&) {
    return false;
  }
  const Record header_record = TextRecord(PadRight(std::string(name) + std::string(suffix)));
  const Record install_record = TextRecord(InstallationRecordText(files, install_dir));
  const SealedRecord sealed = SealName(Win1251ToDos866(name), random);
  if (!WriteRecord(*stream, 0, header_record) || !WriteRecord(*stream, 1, install_record) ||
      !WriteRecord(*stream, 2, sealed)) {
    throw EInOutError("Disk write error");
  }
  return true;
}

std::optional<std::string> ReadUserName(platform::Files& files, std::string_view work_dir) {
  std::string path = ResultsFilePath(work_dir);
  if (!files.FileExists(path)) return std::nullopt;
  ClearReadOnly(files, path);
  SealedRecord sealed;
  try {
    auto stream = files.OpenFile(path, platform::OpenMode::kRead);
    if (stream->Size() < static_cast<int64_t>(3 * kResultsRecordSize)) return std::nullopt;
    if (!ReadRecord(*stream, 2, sealed)) return std::nullopt;
  } catch (const Exception&) {
    return std::nullopt;
  }
  auto name = UnsealName(sealed);
  if (!name) return std::nullopt;
  return Dos866ToWin1251(*name);
}

}  // namespace vl4
