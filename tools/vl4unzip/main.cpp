// vl4unzip: the zip reader on the command line, in the manner of Info-ZIP's unzip.
//   vl4unzip [-l | -t] [-o | -n] [-q] [-P password] [-d dir] archive [mask ...]
// Natively it runs on the sandbox PC, whose drive Z: is the host's root and whose current
// directory is the Z: path of the host's, so host paths work as they are.
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tools/vl4unzip/console.h"
#include "tools/vl4unzip/extraction.h"
#include "tools/vl4unzip/listing.h"
#include "tools/vl4unzip/options.h"
#include "tools/vl4unzip/terminal.h"
#include "zip/zip_reader.h"

using namespace vl4::unzip_tool;

int main(int argc, char** argv) {
  std::string error;
  const std::optional<Options> options =
      ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::fprintf(stderr, "vl4unzip: %s\n%s", error.c_str(), kUsage);
    return kExitUsage;
  }

  std::unique_ptr<vl4::platform::Platform> platform;
  try {
    platform = vl4::platform::CreateDefaultPlatform(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vl4unzip: %s\n", e.what());
    return kExitRunFailed;
  }
  CatchInterrupt();
  Console console(platform->system());
  vl4::zip::TZipReader reader(*platform);
  // Ctrl-C also ends the scan of a damaged archive's directory (the run installs its own host).
  reader.SetHost({.process_messages = [&reader] {
    if (Interrupted()) reader.SetCancel(true);
  }});
  try {
    reader.SetZipName(console.FromHost(options->archive));
    if (options->action != Options::Action::kList && !options->quiet) {
      console.Line("Archive:  " + options->archive);
    }
    reader.OpenArchive();
  } catch (const vl4::Exception& e) {
    console.Error("vl4unzip: " + options->archive + ": " + e.Message());
    return Interrupted() ? kExitInterrupted : kExitNoArchive;
  }
  // From here on names are the program's: ANSI text with "\" separators.
  Options run = *options;
  run.dest_dir = console.FromHost(options->dest_dir);
  for (std::string& mask : run.masks) {
    mask = console.FromHost(mask);
    for (char& c : mask) c = c == '/' ? '\\' : c;
  }
  if (options->action == Options::Action::kList) {
    console.Line("Archive:  " + options->archive);
    try {
      return ListArchive(reader, run.masks, console);
    } catch (const vl4::Exception& e) {
      console.Error("vl4unzip: " + e.Message());
      return Interrupted() ? kExitInterrupted : kExitRunFailed;
    }
  }
  return ExtractArchive(reader, run, console);
}
