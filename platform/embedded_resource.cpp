#include "platform/embedded_resource.h"

#include <string>
#include <vector>

#include "platform/text.h"

namespace vl4::platform {

namespace {
struct Entry {
  std::string type, name;
  std::string_view data;
};
// Function-local, so that registrations from other units' static initialisers find it built.
std::vector<Entry>& Table() {
  static std::vector<Entry> table;
  return table;
}
}  // namespace

bool RegisterEmbeddedResource(std::string_view type, std::string_view name,
                              std::string_view data) {
  Table().push_back({std::string(type), std::string(name), data});
  return true;
}

std::string_view FindEmbeddedResource(std::string_view type, std::string_view name) {
  for (const Entry& e : Table()) {
    if (SameText(e.type, type) && SameText(e.name, name)) return e.data;
  }
  return {};
}

}  // namespace vl4::platform
