// The Windows registry as the program uses it: string and DWORD values under three roots.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vl4::platform {

enum class RootKey { kLocalMachine, kCurrentUser, kClassesRoot };

// Key paths are written as the program writes them: "\SOFTWARE\Veltoria 4" or "SOFTWARE\...";
// one leading "\" means "from the root". Names of keys and values match without regard to case.
// An empty value name is the key's default (unnamed) value.
//
// Errors (access denied, a value of another type than asked for, a malformed store) raise
// ERegistryException; a missing key or value is not an error.
class Registry {
 public:
  virtual ~Registry() = default;

  virtual bool KeyExists(RootKey root, const std::string& key) = 0;
  // Creates the key and its missing parents.
  virtual void CreateKey(RootKey root, const std::string& key) = 0;
  virtual bool ValueExists(RootKey root, const std::string& key, const std::string& name) = 0;

  // Nothing when the key or the value is missing; ERegistryException when the value is not of
  // the asked type (REG_SZ or REG_EXPAND_SZ for strings, REG_DWORD for integers).
  virtual std::optional<std::string> ReadString(RootKey root, const std::string& key,
                                                const std::string& name) = 0;
  virtual std::optional<uint32_t> ReadDword(RootKey root, const std::string& key,
                                            const std::string& name) = 0;

  // Writing creates the key when missing.
  virtual void WriteString(RootKey root, const std::string& key, const std::string& name,
                           const std::string& value) = 0;
  virtual void WriteDword(RootKey root, const std::string& key, const std::string& name,
                          uint32_t value) = 0;

  virtual void DeleteValue(RootKey root, const std::string& key, const std::string& name) = 0;
  // Deletes the key with all its subkeys; a missing key is not an error.
  virtual void DeleteKey(RootKey root, const std::string& key) = 0;
};

}  // namespace vl4::platform
