// vl4unzip's extraction and test runs (tools/vl4unzip) driven in-process on the small in-memory
// world, where a test can make Ctrl-C come at an exact point of the run.
#include <gtest/gtest.h>

#include <csignal>
#include <iostream>
#include <streambuf>

#include "tests/zip/fake_platform.h"
#include "tests/zip/zip_builder.h"
#include "tools/vl4unzip/extraction.h"
#include "tools/vl4unzip/terminal.h"
#include "zip/decompress/crc32.h"

namespace vl4::unzip_tool {
namespace {

using zip::test::ArchivePlan;
using zip::test::MemberPlan;

// Standard input that is interrupted by Ctrl-C as soon as it is read.
class InterruptedInput : public std::streambuf {
 protected:
  int_type underflow() override {
    std::raise(SIGINT);
    return traits_type::eof();
  }
};

struct Outcome {
  int status;
  std::string output;
};

// Runs the tool's session on `archive` with `options`; `on_archive_read` sees each read of the
// archive file during the run.
Outcome RunTool(const std::string& archive, Options options,
                std::function<void(int64_t)> on_archive_read = {}) {
  zip::test::MemoryFiles files;
  zip::test::FakeSystem system;
  files.Put("C:\\A.ZIP", archive);
  files.Put("C:\\OUT\\FIRST.TXT", "old");
  zip::TZipReader reader(files, system);
  reader.SetZipName("C:\\A.ZIP");
  reader.OpenArchive();  // as the program does before the run
  files.Find("C:\\A.ZIP")->on_read = std::move(on_archive_read);
  options.archive = "a.zip";
  options.dest_dir = "C:\\OUT";
  Console console(system);
  InterruptedInput input;
  std::streambuf* const saved = std::cin.rdbuf(&input);
  CatchInterrupt();
  testing::internal::CaptureStdout();
  const int status = ExtractArchive(reader, options, console);
  std::string output = testing::internal::GetCapturedStdout();
  std::signal(SIGINT, SIG_DFL);
  std::cin.rdbuf(saved);
  return {status, output};
}

MemberPlan Stored(std::string name, std::string data) {
  MemberPlan m = zip::test::Member(std::move(name), std::move(data));
  m.crc =
      ~zip::Crc32Update(0xFFFFFFFF, reinterpret_cast<const uint8_t*>(m.data.data()), m.data.size());
  return m;
}

TEST(Vl4unzipSession, CtrlCEndsTheRunWithItsStatusWhereverItComes) {
  ArchivePlan plan;
  plan.members = {Stored("big.bin", std::string(40000, 'b')), Stored("after.txt", "after")};
  const zip::test::Built built = zip::test::BuildZip(plan);
  Options testing;
  testing.action = Options::Action::kTest;
  // Stored data is copied without the GUI's breaths: Ctrl-C comes while its second piece is read.
  // Once: on Windows the runtime's handler is a one-shot, and a second Ctrl-C ends the program.
  bool pressed = false;
  const Outcome stored = RunTool(built.bytes, testing, [&](int64_t position) {
    if (!pressed && position > built.local_offsets[0] + 16000 &&
        position < built.local_offsets[1]) {
      pressed = true;
      std::raise(SIGINT);
    }
  });
  EXPECT_EQ(stored.status, kExitInterrupted);
  EXPECT_NE(stored.output.find("big.bin  error: User Aborted Operation"), std::string::npos)
      << stored.output;
  EXPECT_EQ(stored.output.find("after.txt"), std::string::npos) << stored.output;

  // At the question about an existing file (the input breaks off).
  plan.members = {Stored("first.txt", "new"), Stored("after.txt", "after")};
  const Outcome asked = RunTool(zip::test::BuildZip(plan).bytes, Options{});
  EXPECT_EQ(asked.status, kExitInterrupted);
  EXPECT_NE(asked.output.find("replace C:/OUT/first.txt?"), std::string::npos) << asked.output;
  EXPECT_EQ(asked.output.find("after.txt"), std::string::npos) << asked.output;
}

}  // namespace
}  // namespace vl4::unzip_tool
