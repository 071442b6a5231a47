// The stream message table "S_STREAM": where its bytes come from in each build.
#pragma once

namespace vl4::zip {

inline constexpr const char* kStringTableType = "S_STRINGTABLE";
inline constexpr const char* kStreamMessages = "S_STREAM";

// Stream message numbers used by the buffered stream.
enum StreamMessage : int { kMsgSeekError = 1, kMsgInvalidSeekOrigin = 2, kMsgPutbackOverflow = 3 };

// Makes the table one of the program's own resources. A Windows program carries it as a real
// resource (stream_messages.rc, added by vl4_zip_resources() in CMake) and this does nothing;
// natively it registers the same bytes as an embedded resource, once.
void RegisterStreamMessages();

}  // namespace vl4::zip
