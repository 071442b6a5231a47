// Resources compiled into a native program. On Windows the program's resources are real
// resources (windres) found with FindResource; natively each unit that carries one registers it
// here at start-up, and the sandbox's System::Resource finds it by type and name.
#pragma once

#include <string_view>

namespace vl4::platform {

// Registers a resource; type and name compare without regard to case. Returns true, so that a
// unit can register from the initialiser of a namespace-scope constant.
bool RegisterEmbeddedResource(std::string_view type, std::string_view name,
                              std::string_view data);
// The registered bytes, or nothing (data() == nullptr).
std::string_view FindEmbeddedResource(std::string_view type, std::string_view name);

}  // namespace vl4::platform
