// Replacing a file the setup tool rewrites (vl.ini, the .NET project templates) by a new copy
// written beside it, so that no failure leaves neither of them.
#pragma once

#include <string>

namespace vl4::platform {
class Files;
}

namespace vl4 {

// The complete new copy `fresh` takes the place of `path`. The old file is put aside as `aside`
// and deleted only once the new one has its name, so a failure brings the old file back and
// removes the copy; true when the new file is in place. Should even bringing the old file back
// fail, both stay: the copy was complete, and the next start gives it the name.
bool ReplaceFile(platform::Files& files, const std::string& path, const std::string& fresh,
                 const std::string& aside);

}  // namespace vl4
