// vl4unzip -l: the members of an archive with their sizes, methods, dates, CRCs and names.
#pragma once

#include "tools/vl4unzip/console.h"
#include "tools/vl4unzip/options.h"
#include "zip/zip_reader.h"

namespace vl4::unzip_tool {

// Lists the members the masks select (every member without masks); returns the exit status.
int ListArchive(zip::TZipReader& reader, const std::vector<std::string>& masks, Console& console);

// The name of a member's compression method as listings show it ("Defl:N", "Stored", ...).
std::string MethodName(const zip::TZipHeaderInfo& member);

}  // namespace vl4::unzip_tool
