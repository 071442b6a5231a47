// The zip reader's exceptions, shared by the archive side and the extraction run.
#pragma once

#include "platform/exception.h"

namespace vl4::zip {

VL4_DECLARE_EXCEPTION(EListError, Exception);        // "ListIndexError", "Duplicate Object index"
VL4_DECLARE_EXCEPTION(EBadZipFile, Exception);       // "Not a valid zip file!", refused archives
VL4_DECLARE_EXCEPTION(EIncompleteZip, Exception);    // "Incomplete Zip File"
VL4_DECLARE_EXCEPTION(EUserCanceled, Exception);     // the user (or a handler) said stop
VL4_DECLARE_EXCEPTION(EFatalUnzipError, Exception);  // "Premature end of file reached"
VL4_DECLARE_EXCEPTION(EBiggerThanUncompressed,
                      Exception);  // "File is larger than uncompressed size!"

}  // namespace vl4::zip
