#include "tools/vl4unzip/options.h"

namespace vl4::unzip_tool {

const char* const kUsage =
    "usage: vl4unzip [-l | -t] [-o | -n] [-q] [-P password] [-d dir] archive [mask ...]\n"
    "  -l           list the members (size, method, date, CRC, name)\n"
    "  -t           test the members: decompress and check their CRC, write nothing\n"
    "  -o           overwrite existing files without asking\n"
    "  -n           never overwrite existing files\n"
    "  -q           quiet: report only the members that fail\n"
    "  -P password  the password of encrypted members\n"
    "  -d dir       extract into dir (made when missing) instead of the current directory\n"
    "  mask         members to take: * any run of characters, ? one character, <a-z> one of a\n"
    "               set, <!a-z> one outside it; case does not count; all members without masks\n";

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  Options options;
  bool options_done = false;
  bool have_archive = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_done || arg.size() < 2 || arg[0] != '-') {
      if (have_archive) {
        options.masks.push_back(arg);
      } else {
        options.archive = arg;
        have_archive = true;
      }
      continue;
    }
    if (arg == "--") {
      options_done = true;
      continue;
    }
    for (size_t k = 1; k < arg.size(); ++k) {
      const char flag = arg[k];
      switch (flag) {
        case 'l':
        case 't': {
          const Options::Action action =
              flag == 'l' ? Options::Action::kList : Options::Action::kTest;
          if (options.action != Options::Action::kExtract && options.action != action) {
            error = "-l and -t exclude each other";
            return std::nullopt;
          }
          options.action = action;
          break;
        }
        case 'o':
        case 'n': {
          const Options::Overwrite mode =
              flag == 'o' ? Options::Overwrite::kAlways : Options::Overwrite::kNever;
          if (options.overwrite != Options::Overwrite::kAsk && options.overwrite != mode) {
            error = "-o and -n exclude each other";
            return std::nullopt;
          }
          options.overwrite = mode;
          break;
        }
        case 'q':
          options.quiet = true;
          break;
        case 'P':
        case 'd': {
          // The value is the rest of this argument or the next one.
          std::string value = arg.substr(k + 1);
          if (value.empty()) {
            if (i + 1 == args.size()) {
              error = std::string("-") + flag + " needs a value";
              return std::nullopt;
            }
            value = args[++i];
          }
          if (flag == 'P') {
            options.password = value;
          } else {
            options.dest_dir = value;
          }
          k = arg.size();
          break;
        }
        default:
          error = std::string("unknown option -") + flag;
          return std::nullopt;
      }
    }
  }
  if (!have_archive) {
    error = "no archive named";
    return std::nullopt;
  }
  return options;
}

}  // namespace vl4::unzip_tool
