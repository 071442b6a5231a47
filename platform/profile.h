// Windows private-profile (INI) files: GetPrivateProfileString/Int and WritePrivateProfileString.
#pragma once

#include <string>

namespace vl4::platform {

// Paths are Windows paths. Sections and keys match without regard to case; the first match wins;
// blanks around names and values are ignored; a value enclosed in matching quotes loses them.
// Writing creates the file and the section when needed. Text is ANSI.
class Profile {
 public:
  virtual ~Profile() = default;

  virtual std::string ReadString(const std::string& path, const std::string& section,
                                 const std::string& key, const std::string& def) = 0;
  // GetPrivateProfileInt: leading decimal digits of the value (with an optional "-"), the default
  // when the key is missing.
  virtual int ReadInt(const std::string& path, const std::string& section, const std::string& key,
                      int def) = 0;
  // False when the file cannot be written.
  virtual bool WriteString(const std::string& path, const std::string& section,
                           const std::string& key, const std::string& value) = 0;
  virtual bool DeleteKey(const std::string& path, const std::string& section,
                         const std::string& key) = 0;
  virtual bool DeleteSection(const std::string& path, const std::string& section) = 0;
};

}  // namespace vl4::platform
