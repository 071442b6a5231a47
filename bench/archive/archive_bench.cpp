// Whole-archive benchmark: vl4unzip beside Info-ZIP's unzip, 7-Zip (one thread) and bsdtar on the
// same archives, testing (-t) and extracting (-d); the installer's road (UnZip in this process
// with the installer's settings and handlers) beside unzip's extraction; explode and unshrink
// beside 7-Zip, and the throughput of reduce, which no other tool here decodes; and the peak
// memory of each program (Maximum resident set size of /usr/bin/time -v, one extra run). The
// contenders take turns within each round; figures are medians over the rounds, times in CPU
// seconds (user + system, what a shared machine's other work does not inflate) with the wall time
// beside them. Extraction goes to /dev/shm where there is one, so that the shared disk's
// writeback does not decide. The archives are made once, into the build's bench-data folder:
//   mixed-5000.zip  200 MB of text and binaries in 5,000 members of 40,000 bytes (zip -6)
//   mixed-10.zip    the same bytes in 10 members of 20 MB
//   moby-100.zip    moby-imploded.zip of the corpus repeated 100 times (imploded, one shrunk)
//   shrunk-400.zip  the shrunk members of the corpus repeated 400 times
//   reduced-200.zip the reduced members of the corpus (factors 1 to 4) repeated 200 times
// Usage: archive_bench [rounds]
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/sandbox/sandbox_platform.h"
#include "zip/zip_reader.h"
#include "zip_members.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using vl4::zip::testing::RawMember;

const std::string kData = std::string(VL4_BENCH_DATA) + "/archive";
const std::string kTool = VL4_UNZIP_TOOL;
const std::string kCorpus = VL4_CORPUS_DIR;

struct Run {
  double cpu = 0;   // seconds, user + system
  double wall = 0;  // seconds
  int status = 0;
};

double Seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

// Runs a program with its output thrown away.
Run Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid;
  Run run;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    run.status = -1;
    return run;
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.cpu = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  posix_spawn_file_actions_destroy(&actions);
  return run;
}

// The peak memory of a program run, as /usr/bin/time -v reports it (KiB); 0 when unknown. (The
// rusage of a spawned child also counts this process's memory, which the child shares until it
// starts its program.)
long PeakMemoryKb(std::vector<std::string> args) {
  const std::string report = kData + "/time.txt";
  args.insert(args.begin(), {"/usr/bin/time", "-v", "-o", report});
  Spawn(args);
  std::ifstream in(report);
  const std::string key = "Maximum resident set size (kbytes):";
  for (std::string line; std::getline(in, line);) {
    const size_t at = line.find(key);
    if (at != std::string::npos) return std::atol(line.c_str() + at + key.size());
  }
  return 0;
}

// The installer's road in this process: RecreateDirs, Always, DoAll, and handlers for the total
// progress and for each member's end that ask for its name and the member count, as the
// installer's do.
Run InstallerRoad(vl4::platform::Platform& platform, const std::string& archive,
                  const std::string& dest) {
  rusage before{}, after{};
  getrusage(RUSAGE_SELF, &before);
  const auto start = std::chrono::steady_clock::now();
  vl4::zip::TZipReader reader(platform);
  reader.SetRecreateDirs(true);
  reader.SetOverwriteMode(vl4::zip::TUZOverwriteMode::Always);
  reader.SetDoAll(true);
  reader.SetDestDir("Z:" + dest);
  int percent = 0;
  size_t names = 0;
  reader.OnTotalPercentDone = [&](vl4::zip::TZipReader&, int p) { percent = p; };
  reader.OnEndUnZip = [&](vl4::zip::TZipReader& r, int index, const std::string&) {
    names += r.FullName(index).size() + static_cast<size_t>(r.Count() > 0);
  };
  reader.SetZipName("Z:" + archive);
  Run run;
  run.status = reader.UnZip() > 0 && percent == 100 && names > 0 ? 0 : 1;
  run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  getrusage(RUSAGE_SELF, &after);
  run.cpu = Seconds(after.ru_utime) + Seconds(after.ru_stime) - Seconds(before.ru_utime) -
            Seconds(before.ru_stime);
  return run;
}

// ---- Making the archives

void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8 & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// An archive of the given members, each copy under a folder of its own (c000/, c001/, ...).
void WriteRepeated(const std::vector<RawMember>& members, int copies, const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  std::string central;
  uint32_t offset = 0;
  uint32_t entries = 0;
  for (int c = 0; c < copies; ++c) {
    char folder[16];
    std::snprintf(folder, sizeof folder, "c%03d/", c);
    for (const RawMember& m : members) {
      const std::string name = folder + m.name;
      std::string local;
      Put32(local, 0x04034B50);
      Put16(local, 20);
      Put16(local, m.bit_flag & ~0x0008u);
      Put16(local, m.method);
      Put32(local, m.dos_date_time);
      Put32(local, m.crc32);
      Put32(local, static_cast<uint32_t>(m.data.size()));
      Put32(local, static_cast<uint32_t>(m.uncompressed_size));
      Put16(local, static_cast<uint32_t>(name.size()));
      Put16(local, 0);
      local += name;
      out.write(local.data(), static_cast<std::streamsize>(local.size()));
      out.write(reinterpret_cast<const char*>(m.data.data()),
                static_cast<std::streamsize>(m.data.size()));
      Put32(central, 0x02014B50);
      Put16(central, 20);
      Put16(central, 20);
      Put16(central, m.bit_flag & ~0x0008u);
      Put16(central, m.method);
      Put32(central, m.dos_date_time);
      Put32(central, m.crc32);
      Put32(central, static_cast<uint32_t>(m.data.size()));
      Put32(central, static_cast<uint32_t>(m.uncompressed_size));
      Put16(central, static_cast<uint32_t>(name.size()));
      Put32(central, 0);  // extra field and comment lengths
      Put32(central, 0);  // disk, internal attributes
      Put32(central, 0x20);
      Put32(central, offset);
      central += name;
      offset += static_cast<uint32_t>(local.size() + m.data.size());
      ++entries;
    }
  }
  std::string end;
  Put32(end, 0x06054B50);
  Put32(end, 0);
  Put16(end, entries & 0xFFFF);
  Put16(end, entries & 0xFFFF);
  Put32(end, static_cast<uint32_t>(central.size()));
  Put32(end, offset);
  Put16(end, 0);
  out.write(central.data(), static_cast<std::streamsize>(central.size()));
  out.write(end.data(), static_cast<std::streamsize>(end.size()));
}

std::vector<RawMember> MembersOf(const std::vector<std::string>& archives,
                                 const std::function<bool(int method)>& take) {
  std::vector<RawMember> taken;
  for (const std::string& a : archives) {
    for (RawMember& m : vl4::zip::testing::ReadRawMembers(kCorpus + "/" + a)) {
      if (take(m.method)) taken.push_back(std::move(m));
    }
  }
  return taken;
}

bool Shell(const std::string& command) {
  return std::system(command.c_str()) == 0;
}

void MakeArchives() {
  fs::create_directories(kData);
  if (!fs::exists(kData + "/mixed-5000.zip")) {
    std::printf("making the mixed archives (once)...\n");
    const std::string tree = kData + "/tree";
    Shell("rm -rf '" + tree + "' && mkdir -p '" + tree + "/in' '" + tree + "/many' '" + tree +
          "/few'");
    // 100 MB of text (headers, Perl and Python sources) and 100 MB of programs and libraries.
    Shell("cd '" + tree +
          "/in' && "
          "find /usr/include /usr/share/perl /usr/lib/python3 -type f \\( -name '*.h' -o -name "
          "'*.hpp' -o -name '*.pm' -o -name '*.py' -o -name '*.txt' \\) 2>/dev/null | LC_ALL=C "
          "sort | xargs cat 2>/dev/null | head -c 100000000 > text && "
          "find /usr/bin /usr/lib/x86_64-linux-gnu -maxdepth 1 -type f 2>/dev/null | LC_ALL=C "
          "sort | xargs cat 2>/dev/null | head -c 100000000 > bin");
    // 5,000 members of 40,000 bytes in 50 folders, text and binaries taking turns.
    Shell("cd '" + tree +
          "/many' && split -b 40000 -a 4 -d ../in/text t. && "
          "split -b 40000 -a 4 -d ../in/bin b. && i=0 && for f in t.* b.*; do "
          "d=$(printf 'd%02d' $((i % 50))); mkdir -p $d; mv $f $d/; i=$((i+1)); done");
    Shell("cd '" + tree +
          "/few' && split -b 20000000 -d ../in/text text. && "
          "split -b 20000000 -d ../in/bin bin.");
    Shell("cd '" + tree + "/many' && zip -q -r -6 '" + kData + "/mixed-5000.zip' .");
    Shell("cd '" + tree + "/few' && zip -q -r -6 '" + kData + "/mixed-10.zip' .");
    Shell("rm -rf '" + tree + "'");
  }
  if (!fs::exists(kData + "/moby-100.zip")) {
    WriteRepeated(MembersOf({"commons-compress/moby-imploded.zip"}, [](int) { return true; }), 100,
                  kData + "/moby-100.zip");
  }
  if (!fs::exists(kData + "/shrunk-400.zip")) {
    WriteRepeated(MembersOf({"commons-compress/moby-imploded.zip", "sharpcompress/Zip.shrink.zip",
                             "commons-compress/SHRUNK.ZIP"},
                            [](int method) { return method == 1; }),
                  400, kData + "/shrunk-400.zip");
  }
  if (!fs::exists(kData + "/reduced-200.zip")) {
    WriteRepeated(MembersOf({"sharpcompress/Zip.reduce1.zip", "sharpcompress/Zip.reduce2.zip",
                             "sharpcompress/Zip.reduce3.zip", "sharpcompress/Zip.reduce4.zip"},
                            [](int method) { return method >= 2 && method <= 5; }),
                  200, kData + "/reduced-200.zip");
  }
}

// Uncompressed bytes of an archive, from its directory.
double Megabytes(vl4::platform::Platform& platform, const std::string& archive) {
  vl4::zip::TZipReader reader(platform);
  reader.SetZipName("Z:" + archive);
  reader.OpenArchive();
  uint64_t total = 0;
  for (int i = 0; i < reader.Count(); ++i) {
    total += static_cast<uint32_t>(reader.Member(i).UncompressedSize);
  }
  return static_cast<double>(total) / 1e6;
}

// ---- Rounds and medians

struct Contender {
  std::string name;
  std::vector<std::string> args;  // the program; none: run() is timed in this process
  std::function<void()> before;   // untimed preparation (an empty destination)
  std::function<Run()> run;
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

void Compare(const std::string& title, double megabytes, std::vector<Contender> contenders,
             int rounds) {
  std::map<std::string, std::vector<double>> cpu, wall;
  for (int r = 0; r < rounds; ++r) {
    for (const Contender& c : contenders) {
      if (c.before) c.before();
      const Run run = c.args.empty() ? c.run() : Spawn(c.args);
      if (run.status != 0)
        std::printf("  (%s failed with status %d)\n", c.name.c_str(), run.status);
      cpu[c.name].push_back(run.cpu);
      wall[c.name].push_back(run.wall);
    }
  }
  const double base = Median(cpu[contenders.front().name]);
  std::printf("\n%s (%.0f MB uncompressed, %d rounds)\n", title.c_str(), megabytes, rounds);
  std::printf("  %-28s %9s %9s %11s %12s %11s\n", "", "cpu s", "wall s", "MB/s (cpu)",
              "peak memory", "vl4 faster");
  for (const Contender& c : contenders) {
    const double t = Median(cpu[c.name]);
    std::string memory = "-";
    if (!c.args.empty()) {
      if (c.before) c.before();
      memory = std::to_string(PeakMemoryKb(c.args)) + " KiB";
    }
    std::printf("  %-28s %9.3f %9.3f %11.0f %12s %10.2fx\n", c.name.c_str(), t,
                Median(wall[c.name]), megabytes / t, memory.c_str(), t / base);
  }
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  MakeArchives();
  const std::string out =
      fs::is_directory("/dev/shm") ? "/dev/shm/vl4-archive-bench" : kData + "/out";
  auto clean = [out] { fs::remove_all(out); };
  auto clean_and_make = [out] {
    fs::remove_all(out);
    fs::create_directories(out);
  };
  const std::string sandbox = kData + "/sandbox";
  setenv("VL4_SANDBOX", sandbox.c_str(), 1);  // vl4unzip's PC: its Z: drive is the host's root
  vl4::platform::SandboxPlatform platform(sandbox);
  std::printf("extracting into %s\n", out.c_str());

  for (const char* name : {"mixed-5000", "mixed-10"}) {
    const std::string zip = kData + "/" + name + ".zip";
    Compare(std::string("Testing ") + name + ".zip", Megabytes(platform, zip),
            {{"vl4unzip -tq", {kTool, "-tq", zip}, nullptr, nullptr},
             {"unzip -tq", {"unzip", "-tq", zip}, nullptr, nullptr},
             {"7zz t -mmt1", {"7zz", "t", "-mmt1", zip}, nullptr, nullptr}},
            rounds);
  }
  for (const char* name : {"mixed-5000", "mixed-10"}) {
    const std::string zip = kData + "/" + name + ".zip";
    Compare(std::string("Extracting ") + name + ".zip", Megabytes(platform, zip),
            {{"vl4unzip -qo -d", {kTool, "-qo", "-d", out, zip}, clean, nullptr},
             {"unzip -qo -d", {"unzip", "-qo", "-d", out, zip}, clean, nullptr},
             {"bsdtar -x", {"bsdtar", "-x", "-f", zip, "-C", out}, clean_and_make, nullptr}},
            rounds);
  }
  {
    const std::string zip = kData + "/mixed-5000.zip";
    Compare("The installer's road on mixed-5000.zip (UnZip in this process)",
            Megabytes(platform, zip),
            {{"UnZip, installer settings",
              {},
              clean,
              [&] { return InstallerRoad(platform, zip, out); }},
             {"unzip -qo -d", {"unzip", "-qo", "-d", out, zip}, clean, nullptr}},
            rounds);
  }
  for (const char* name : {"moby-100", "shrunk-400"}) {
    const std::string zip = kData + "/" + name + ".zip";
    Compare(std::string("Testing ") + name + ".zip", Megabytes(platform, zip),
            {{"vl4unzip -tq", {kTool, "-tq", zip}, nullptr, nullptr},
             {"7zz t -mmt1", {"7zz", "t", "-mmt1", zip}, nullptr, nullptr}},
            rounds);
  }
  {
    const std::string zip = kData + "/reduced-200.zip";
    Compare("Testing reduced-200.zip (no other tool here decodes Reduce)", Megabytes(platform, zip),
            {{"vl4unzip -tq", {kTool, "-tq", zip}, nullptr, nullptr}}, rounds);
  }
  clean();
  return 0;
}
