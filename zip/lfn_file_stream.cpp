#include "zip/lfn_file_stream.h"

namespace vl4::zip {

TLFNFileStream::TLFNFileStream(platform::Files& files, StringResourceCache& messages,
                               const std::string& name, platform::OpenMode mode)
    : detail::OwnedFile{files.OpenFile(name, mode)}, TS_BufferStream(*file, messages) {}

}  // namespace vl4::zip
