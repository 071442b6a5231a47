// vl4unzip's extraction and test runs: the reader set up from the options, one line per member
// from its events, questions asked on the terminal, the progress bar fed.
#pragma once

#include "tools/vl4unzip/console.h"
#include "tools/vl4unzip/options.h"
#include "zip/zip_reader.h"

namespace vl4::unzip_tool {

// Extracts (or, with -t, tests) the selected members; returns the exit status. The masks and the
// destination are in the program's ANSI text with "\" separators; the archive name and the password
// as the host gave them.
int ExtractArchive(zip::TZipReader& reader, const Options& options, Console& console);

}  // namespace vl4::unzip_tool
