// Directory benchmark: TZipReader reading the central directory of a 60,000-member archive (ByNone)
// and sorting it ByName, next to "unzip -l" and "7zz l" listing the same archive, each figure the
// median of several rounds (the contenders take turns within a round). Also the heap the directory
// holds. The archive is written here once, laid out as Info-ZIP's zip 3.0 writes entries (Unix
// "UT" and "ux" extra fields), into the build's bench-data folder.
// Usage: directory_bench [rounds]
#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/sandbox/sandbox_platform.h"
#include "zip/zip_reader.h"

extern char** environ;

namespace {

using vl4::zip::TZipReader;
using vl4::zip::TZipSortMode;

constexpr int kMembers = 60000;

void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8 & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

uint32_t Crc32(const std::string& data) {
  uint32_t crc = 0xFFFFFFFF;
  for (unsigned char c : data) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = crc >> 1 ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

// Stored members of 1 to 200 bytes in 300 folders, names of 24 to 30 characters.
void WriteArchive(const std::string& path) {
  std::string local, central;
  const uint32_t dos_time = 0x5A214C20;
  for (int i = 0; i < kMembers; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "product/module%03d/unit%05d.pas", i % 300, i);
    std::string data(1 + i % 200, static_cast<char>('a' + i % 26));
    const uint32_t crc = Crc32(data);
    const uint32_t offset = static_cast<uint32_t>(local.size());
    const std::string n = name;
    std::string local_extra, central_extra;
    Put16(local_extra, 0x5455), Put16(local_extra, 9), local_extra += '\x03';
    Put32(local_extra, 1700000000), Put32(local_extra, 1700000000);
    Put16(local_extra, 0x7875), Put16(local_extra, 11), local_extra += "\x01\x04";
    Put32(local_extra, 1000), local_extra += '\x04', Put32(local_extra, 1000);
    Put16(central_extra, 0x5455), Put16(central_extra, 5), central_extra += '\x03';
    Put32(central_extra, 1700000000);
    central_extra += local_extra.substr(17);  // the same ux field

    Put32(local, 0x04034B50), Put16(local, 10), Put16(local, 0), Put16(local, 0);
    Put32(local, dos_time), Put32(local, crc), Put32(local, static_cast<uint32_t>(data.size()));
    Put32(local, static_cast<uint32_t>(data.size())), Put16(local, static_cast<uint32_t>(n.size()));
    Put16(local, static_cast<uint32_t>(local_extra.size()));
    local += n + local_extra + data;

    Put32(central, 0x02014B50), Put16(central, 0x031E), Put16(central, 10), Put16(central, 0);
    Put16(central, 0), Put32(central, dos_time), Put32(central, crc);
    Put32(central, static_cast<uint32_t>(data.size())),
        Put32(central, static_cast<uint32_t>(data.size()));
    Put16(central, static_cast<uint32_t>(n.size())),
        Put16(central, static_cast<uint32_t>(central_extra.size()));
    Put16(central, 0), Put16(central, 0), Put16(central, 1), Put32(central, 0x81A40000);
    Put32(central, offset);
    central += n + central_extra;
  }
  std::string end;
  Put32(end, 0x06054B50), Put16(end, 0), Put16(end, 0), Put16(end, kMembers), Put16(end, kMembers);
  Put32(end, static_cast<uint32_t>(central.size())),
      Put32(end, static_cast<uint32_t>(local.size()));
  Put16(end, 0);
  std::ofstream(path, std::ios::binary) << local << central << end;
}

double Seconds(const std::function<void()>& f) {
  auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Runs a program with its output thrown away; false when it cannot be run or fails.
bool Run(std::vector<std::string> args) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid;
  int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

size_t HeapInUse() {
  return mallinfo2().uordblks;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  std::filesystem::create_directories(VL4_BENCH_DATA);
  const std::string archive = std::string(VL4_BENCH_DATA) + "/directory-60000.zip";
  if (!std::filesystem::exists(archive)) WriteArchive(archive);

  std::string root = (std::filesystem::temp_directory_path() / "vl4-bench-XXXXXX").string();
  if (!mkdtemp(root.data())) return 1;
  int status = 0;
  {
    vl4::platform::SandboxPlatform pc(root);
    const std::string zip_name = *pc.WindowsPath(archive);

    // The heap a read directory holds, and its ByName view on top.
    size_t before = HeapInUse();
    auto held = std::make_unique<TZipReader>(pc);
    held->SetZipName(zip_name);
    held->OpenArchive();
    held->CloseArchive();
    const size_t directory_bytes = HeapInUse() - before;
    held->ApplySortMode(TZipSortMode::ByName);
    const size_t view_bytes = HeapInUse() - before - directory_bytes;
    if (held->Count() != kMembers) {
      std::fprintf(stderr, "read %d members instead of %d\n", held->Count(), kMembers);
      status = 1;
    }

    const bool have_unzip = Run({"unzip", "-l", archive});
    const bool have_7zz = Run({"7zz", "l", archive});
    std::vector<double> read, sort, unzip, seven;
    for (int r = 0; r < rounds; ++r) {
      read.push_back(Seconds([&] {
        TZipReader reader(pc);
        reader.SetZipName(zip_name);
        reader.OpenArchive();
        reader.CloseArchive();
      }));
      sort.push_back(Seconds([&] { held->ApplySortMode(TZipSortMode::ByName); }));
      if (have_unzip) unzip.push_back(Seconds([&] { Run({"unzip", "-l", archive}); }));
      if (have_7zz) seven.push_back(Seconds([&] { Run({"7zz", "l", archive}); }));
    }

    const double ours = Median(read);
    std::printf("archive: %s (%d members, %.1f MB), %d rounds, medians\n", archive.c_str(),
                kMembers, std::filesystem::file_size(archive) / 1e6, rounds);
    std::printf("  TZipReader directory read (ByNone)  %8.1f ms\n", ours * 1e3);
    std::printf("  TZipReader re-sort ByName           %8.1f ms\n", Median(sort) * 1e3);
    if (have_unzip) {
      std::printf("  unzip -l                            %8.1f ms   reader/unzip = %.2f\n",
                  Median(unzip) * 1e3, ours / Median(unzip));
    }
    if (have_7zz) {
      std::printf("  7zz l                               %8.1f ms   reader/7zz   = %.2f\n",
                  Median(seven) * 1e3, ours / Median(seven));
    }
    std::printf("  heap held: directory %.1f MiB, ByName view %.1f MiB (%.0f bytes per member)\n",
                directory_bytes / 1048576.0, view_bytes / 1048576.0,
                static_cast<double>(directory_bytes) / kMembers);
  }
  std::filesystem::remove_all(root);
  return status;
}
