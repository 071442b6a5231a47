#include "zip/string_resource.h"

#include "platform/exception.h"
#include "platform/text.h"
#include "zip/stream_messages.h"

namespace vl4::zip {

TS_StringResource::TS_StringResource(platform::System& system, const std::string& table_name) {
  std::optional<std::string_view> data = system.Resource(kStringTableType, table_name);
  if (!data) throw Exception("No such string resource: " + table_name);
  data_.assign(*data);
}

std::string TS_StringResource::GetText(int number) const {
  size_t at = 0;
  // A table cut short ends the walk like its terminating 0 would.
  while (at + 3 <= data_.size()) {
    int entry = static_cast<unsigned char>(data_[at]) | static_cast<unsigned char>(data_[at + 1])
                                                            << 8;
    if (entry == 0) break;
    size_t length = static_cast<unsigned char>(data_[at + 2]);
    if (entry == number) return data_.substr(at + 3, length);
    at += 3 + length;
  }
  return std::string();
}

bool StringResourceCache::NameLess::operator()(const std::string& a, const std::string& b) const {
  return CompareText(a, b) < 0;
}

StringResourceCache::StringResourceCache(platform::System& system) : system_(system) {
  RegisterStreamMessages();
}

std::string StringResourceCache::Lookup(const std::string& table_name, int number) {
  auto it = tables_.find(table_name);
  if (it == tables_.end()) {
    it = tables_.emplace(table_name, TS_StringResource(system_, table_name)).first;
  }
  return it->second.GetText(number);
}

}  // namespace vl4::zip
