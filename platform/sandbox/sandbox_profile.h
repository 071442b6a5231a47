// Private-profile (INI) files on the sandbox PC, read and written the way Windows does it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "platform/sandbox/machine.h"
#include "platform/sandbox/sandbox_files.h"

namespace vl4::platform::sandbox {

class SandboxProfile final : public Profile {
 public:
  SandboxProfile(Machine& machine, SandboxFiles& files) : m_(machine), files_(files) {}

  std::string ReadString(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& def) override;
  int ReadInt(const std::string& path, const std::string& section, const std::string& key,
              int def) override;
  bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) override;
  bool DeleteKey(const std::string& path, const std::string& section,
                 const std::string& key) override;
  bool DeleteSection(const std::string& path, const std::string& section) override;

  // An INI file as Windows holds it while it works on it: sections of lines, in file order.
  struct Entry {
    std::string name;                  // blanks trimmed
    std::optional<std::string> value;  // nothing for a line without "="
  };
  struct Section {
    std::string name;  // "" for the lines before the first section header
    bool header = false;
    std::vector<Entry> entries;
  };

 private:
  std::string FileOf(const std::string& path);
  std::optional<std::vector<Section>> Load(const std::string& file);
  bool Save(const std::string& file, const std::vector<Section>& sections);
  // The key's value: nothing when the section or key is missing.
  std::optional<std::optional<std::string>> Find(const std::string& path,
                                                 const std::string& section,
                                                 const std::string& key);
  bool Change(const std::string& path, const std::string& section, const std::string* key,
              const std::string* value);

  Machine& m_;
  SandboxFiles& files_;
};

}  // namespace vl4::platform::sandbox
