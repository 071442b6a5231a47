// The registry of the sandbox PC, kept in <sandbox>/registry.reg (REGEDIT4 text), rewritten
// atomically on every change and re-read when another process has changed it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/sandbox/host_io.h"
#include "platform/sandbox/machine.h"

namespace vl4::platform::sandbox {

class SandboxRegistry final : public Registry {
 public:
  // Whose registry this is on a 64-bit PC: the 32-bit program's (HKLM\SOFTWARE redirected, as
  // WoW64 does) or a 64-bit program's, which sees the keys where they are stored. On a 32-bit
  // PC both are the same.
  enum class View { kProgram, kNative };

  explicit SandboxRegistry(Machine& machine, View view = View::kProgram);

  bool KeyExists(RootKey root, const std::string& key) override;
  void CreateKey(RootKey root, const std::string& key) override;
  bool ValueExists(RootKey root, const std::string& key, const std::string& name) override;
  std::optional<std::string> ReadString(RootKey root, const std::string& key,
                                        const std::string& name) override;
  std::optional<uint32_t> ReadDword(RootKey root, const std::string& key,
                                    const std::string& name) override;
  void WriteString(RootKey root, const std::string& key, const std::string& name,
                   const std::string& value) override;
  void WriteDword(RootKey root, const std::string& key, const std::string& name,
                  uint32_t value) override;
  void DeleteValue(RootKey root, const std::string& key, const std::string& name) override;
  void DeleteKey(RootKey root, const std::string& key) override;

  struct Value {
    std::string name;
    uint32_t type = 0;  // REG_SZ 1, REG_EXPAND_SZ 2, REG_BINARY 3, REG_DWORD 4, ...
    std::string data;   // strings without their terminating zero; a DWORD as 4 bytes, LE
  };
  struct Key {
    std::string name;
    std::vector<Value> values;
    std::vector<std::unique_ptr<Key>> subkeys;
  };

 private:
  void Refresh();
  template <class Change>
  void Mutate(Change change);
  // The path a key is stored under: the key path itself, or where WoW64 keeps it.
  std::string Stored(RootKey root, const std::string& key) const;
  // Only an administrator changes the machine's keys: ERegistryException otherwise.
  void RequireRights(RootKey root, const std::string& key) const;
  Key* Walk(RootKey root, const std::string& path, bool create);
  const Value* FindValue(RootKey root, const std::string& key, const std::string& name);
  void Put(RootKey root, const std::string& key, Value value);

  Machine& m_;
  View view_;
  std::string path_;
  std::unique_ptr<Key> top_;  // holds HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS
  std::optional<FileStamp> seen_;
};

// REGEDIT4 text <-> key tree. Parse raises ERegistryException naming `file` and the line.
std::unique_ptr<SandboxRegistry::Key> ParseRegFile(const std::string& text,
                                                   const std::string& file);
std::string FormatRegFile(const SandboxRegistry::Key& top);

}  // namespace vl4::platform::sandbox
