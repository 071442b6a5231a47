// Message tables stored as resources of the program (type "S_STRINGTABLE"), and the cache through
// which the streams look their messages up.
#pragma once

#include <map>
#include <string>

#include "platform/system.h"

namespace vl4::zip {

// One message table: entries of a 16-bit little-endian number, a length byte and the text,
// ended by the number 0.
class TS_StringResource {
 public:
  // Raises Exception "No such string resource: %s" when the program has no such table.
  TS_StringResource(platform::System& system, const std::string& table_name);

  // The text of `number`, empty when the table does not hold it.
  std::string GetText(int number) const;

 private:
  std::string data_;  // a copy: the table is a few hundred bytes
};

// The message table cache: tables by name (without regard to case), loaded on first use.
class StringResourceCache {
 public:
  explicit StringResourceCache(platform::System& system);
  StringResourceCache(const StringResourceCache&) = delete;
  StringResourceCache& operator=(const StringResourceCache&) = delete;

  std::string Lookup(const std::string& table_name, int number);

 private:
  struct NameLess {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  platform::System& system_;
  std::map<std::string, TS_StringResource, NameLess> tables_;
};

}  // namespace vl4::zip
