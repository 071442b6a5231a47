// Decompressor benchmark: inflate through the real MemberIo contract (16000-byte input pieces and
// flushes) against zlib's inflate() and libdeflate on a mixed corpus of 240 MB made with zip -6;
// CRC-32 against zlib's crc32() over 16000-byte buffers; and the throughput of explode, unshrink
// and unreduce on the interoperability corpus. Each figure is the median of several runs, timed
// in thread CPU time.
// Usage: decompress_bench [runs [crc|inflate|small|old]]
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "zip/decompress/crc32.h"
#include "zip/decompress/explode.h"
#include "zip/decompress/inflate.h"
#include "zip/decompress/member_io.h"
#include "zip/decompress/unreduce.h"
#include "zip/decompress/unshrink.h"
#include "zip_members.h"

namespace {

using namespace vl4::zip;
using testing::RawMember;

// The run's side of the contract, minus the file: pieces of 16000 bytes in, flushes counted.
class BenchIo : public MemberIo {
 public:
  explicit BenchIo(const RawMember& m) : data_(m.data) {
    out = out_buffer_.data();
    slide = slide_buffer_.data();
    bit_flag = m.bit_flag;
    compressed_size = static_cast<int64_t>(m.data.size());
    uncompressed_size = static_cast<int64_t>(m.uncompressed_size);
  }
  bool Refill() override {
    if (at_ == data_.size()) return false;
    size_t n = std::min(kIoBufferSize, data_.size() - at_);
    in_next = data_.data() + at_;
    in_end = in_next + n;
    at_ += n;
    return true;
  }
  void Flush() override {
    written += out_count;
    out_count = 0;
  }
  size_t written = 0;

 private:
  const std::vector<uint8_t>& data_;
  size_t at_ = 0;
  // Allocated once, as the run allocates them once per UnZip.
  static inline std::vector<uint8_t> out_buffer_ = std::vector<uint8_t>(kIoBufferSize);
  static inline std::vector<uint8_t> slide_buffer_ = std::vector<uint8_t>(kSlideSize);
};

// CPU time of this thread: the machine is shared, and time spent descheduled is no one's speed.
double Seconds(const std::function<void()>& f) {
  auto now = [] {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
  };
  const double t0 = now();
  f();
  return now() - t0;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// MB/s (of uncompressed bytes): median over runs.
double Throughput(size_t bytes, int runs, const std::function<void()>& f) {
  std::vector<double> rates;
  for (int r = 0; r < runs; ++r) rates.push_back(bytes / Seconds(f) / 1e6);
  return Median(rates);
}

// The same for several contenders, run in turn within each round so that a busy machine slows
// them alike.
std::vector<double> Compare(size_t bytes, int runs,
                            const std::vector<std::function<void()>>& contenders) {
  std::vector<std::vector<double>> rates(contenders.size());
  for (int r = 0; r < runs; ++r) {
    for (size_t i = 0; i < contenders.size(); ++i) {
      rates[i].push_back(bytes / Seconds(contenders[i]) / 1e6);
    }
  }
  std::vector<double> medians;
  for (auto& v : rates) medians.push_back(Median(v));
  return medians;
}

void Row(const char* what, double mbps, double anchor) {
  if (anchor > 0) {
    std::printf("  %-34s %9.1f MB/s   %5.2fx\n", what, mbps, mbps / anchor);
  } else {
    std::printf("  %-34s %9.1f MB/s\n", what, mbps);
  }
}

DecodeResult DecompressMember(const RawMember& m, BenchIo& io) {
  switch (m.method) {
    case 1:
      return Unshrink(io);
    case 2:
    case 3:
    case 4:
    case 5:
      return Unreduce(io, m.method - 1);
    case 6:
      return Explode(io);
    default:
      return Inflate(io);
  }
}

void BenchInflate(int runs, const char* archive, const char* what) {
  const std::string data = VL4_BENCH_DATA;
  if (!std::filesystem::exists(data + "/corpus.zip") ||
      !std::filesystem::exists(data + "/small.zip")) {
    std::printf("making the inflate corpus in %s ...\n", VL4_BENCH_DATA);
    const std::string cmd = std::string("sh ") + VL4_BENCH_SCRIPT + " " + VL4_BENCH_DATA;
    if (std::system(cmd.c_str()) != 0) std::exit(1);
  }
  const std::string zip = data + "/" + archive;
  std::vector<RawMember> members;
  for (auto& m : testing::ReadRawMembers(zip)) {
    if (m.method == 8) members.push_back(std::move(m));
  }
  size_t in_bytes = 0;
  size_t out_bytes = 0;
  size_t largest = 0;
  for (const auto& m : members) {
    in_bytes += m.data.size();
    out_bytes += m.uncompressed_size;
    largest = std::max<size_t>(largest, m.uncompressed_size);
  }
  std::printf("inflate, %s: %zu members, %.1f MB deflated (zip -6) to %.1f MB\n", what,
              members.size(), in_bytes / 1e6, out_bytes / 1e6);

  // Correctness first: every member to its CRC.
  for (const auto& m : members) {
    struct CrcIo : BenchIo {
      using BenchIo::BenchIo;
      void Flush() override {
        crc = Crc32Update(crc, out, out_count);
        BenchIo::Flush();
      }
      uint32_t crc = 0xFFFFFFFF;
    } io(m);
    if (Inflate(io) != DecodeResult::kOk || ~io.crc != m.crc32) {
      std::printf("inflate FAILED on %s\n", m.name.c_str());
      std::exit(1);
    }
  }

  std::vector<uint8_t> out(largest);
  z_stream z{};
  inflateInit2(&z, -15);
  auto zlib_whole = [&] {
    for (const auto& m : members) {
      inflateReset(&z);
      z.next_in = const_cast<Bytef*>(m.data.data());
      z.avail_in = static_cast<uInt>(m.data.size());
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      if (inflate(&z, Z_FINISH) != Z_STREAM_END) std::exit(1);
    }
  };
  auto zlib_pieces = [&] {
    std::vector<uint8_t> piece(kIoBufferSize);
    for (const auto& m : members) {
      inflateReset(&z);
      z.next_in = const_cast<Bytef*>(m.data.data());
      z.avail_in = static_cast<uInt>(m.data.size());
      int r;
      do {
        z.next_out = piece.data();
        z.avail_out = static_cast<uInt>(piece.size());
        r = inflate(&z, Z_NO_FLUSH);
      } while (r == Z_OK);
      if (r != Z_STREAM_END) std::exit(1);
    }
  };
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  auto libdeflate = [&] {
    for (const auto& m : members) {
      size_t n = 0;
      if (libdeflate_deflate_decompress(d, m.data.data(), m.data.size(), out.data(),
                                        m.uncompressed_size, &n) != LIBDEFLATE_SUCCESS) {
        std::exit(1);
      }
    }
  };
  auto ours = [&] {
    for (const auto& m : members) {
      BenchIo io(m);
      if (Inflate(io) != DecodeResult::kOk) std::exit(1);
    }
  };
  if (std::getenv("VL4_BENCH_OURS_ONLY")) {  // for profilers: nothing but vl4 Inflate
    for (int i = 0; i < runs; ++i) ours();
    return;
  }
  const auto r = Compare(out_bytes, runs, {zlib_whole, zlib_pieces, libdeflate, ours});
  inflateEnd(&z);
  libdeflate_free_decompressor(d);
  std::printf("inflate, median of %d rounds (ratios against zlib, whole buffers):\n", runs);
  Row("zlib inflate(), whole buffers", r[0], r[0]);
  Row("zlib inflate(), 16000-byte output", r[1], r[0]);
  Row("libdeflate, whole buffers", r[2], r[0]);
  Row("vl4 Inflate, MemberIo 16000/16000", r[3], r[0]);
}

void BenchCrc(int runs) {
  std::vector<uint8_t> data(64 << 20);
  uint32_t x = 12345;
  for (auto& b : data) {
    x = x * 1103515245 + 12345;
    b = static_cast<uint8_t>(x >> 24);
  }
  uint32_t sink = 0;
  auto zlib = [&] {
    uLong c = crc32(0, nullptr, 0);
    for (size_t at = 0; at < data.size(); at += kIoBufferSize) {
      c = crc32(c, data.data() + at, static_cast<uInt>(std::min(kIoBufferSize, data.size() - at)));
    }
    sink ^= static_cast<uint32_t>(c);
  };
  auto libdeflate = [&] {
    uint32_t c = 0;
    for (size_t at = 0; at < data.size(); at += kIoBufferSize) {
      c = libdeflate_crc32(c, data.data() + at, std::min(kIoBufferSize, data.size() - at));
    }
    sink ^= c;
  };
  auto ours = [&] {
    uint32_t c = 0xFFFFFFFF;
    for (size_t at = 0; at < data.size(); at += kIoBufferSize) {
      c = Crc32Update(c, data.data() + at, std::min(kIoBufferSize, data.size() - at));
    }
    sink ^= ~c;
  };
  const auto r = Compare(data.size(), runs, {zlib, libdeflate, ours});
  std::printf("CRC-32, 64 MB in 16000-byte buffers, median of %d rounds (ratios against zlib):\n",
              runs);
  Row("zlib crc32()", r[0], r[0]);
  Row("libdeflate_crc32()", r[1], r[0]);
  Row("vl4 Crc32Update", r[2], r[0]);
  if (sink == 0x5A5A5A5A) std::printf(" ");
}

void BenchOldMethods(int runs) {
  struct Set {
    const char* what;
    std::vector<std::string> archives;
    std::vector<uint16_t> methods;
  };
  const std::vector<Set> sets = {
      {"explode (6)",
       {"commons-compress/moby-imploded.zip", "commons-compress/lorem-ipsum-implode.zip",
        "sharpcompress/Zip.implode.zip"},
       {6}},
      {"unshrink (1)", {"sharpcompress/Zip.shrink.zip", "commons-compress/SHRUNK.ZIP"}, {1}},
      {"unreduce (2-5)",
       {"sharpcompress/Zip.reduce1.zip", "sharpcompress/Zip.reduce2.zip",
        "sharpcompress/Zip.reduce3.zip", "sharpcompress/Zip.reduce4.zip"},
       {2, 3, 4, 5}},
  };
  std::printf("older methods on the corpus (no anchor in this run):\n");
  for (const Set& set : sets) {
    std::vector<RawMember> members;
    for (const auto& a : set.archives) {
      for (auto& m : testing::ReadRawMembers(std::string(VL4_CORPUS_DIR) + "/" + a)) {
        if (std::find(set.methods.begin(), set.methods.end(), m.method) != set.methods.end()) {
          members.push_back(std::move(m));
        }
      }
    }
    size_t bytes = 0;
    for (const auto& m : members) bytes += m.uncompressed_size;
    const int repeat =
        static_cast<int>(std::max<size_t>(1, (64u << 20) / std::max<size_t>(bytes, 1)));
    const double mbps = Throughput(bytes * repeat, runs, [&] {
      for (int i = 0; i < repeat; ++i) {
        for (const auto& m : members) {
          BenchIo io(m);
          if (DecompressMember(m, io) != DecodeResult::kOk || io.written != m.uncompressed_size) {
            std::exit(1);
          }
        }
      }
    });
    char label[64];
    std::snprintf(label, sizeof label, "%s, %zu members", set.what, members.size());
    Row(label, mbps, 0);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 7;
  const std::string only = argc > 2 ? argv[2] : "";
  if (only.empty() || only == "crc") BenchCrc(runs);
  if (only.empty() || only == "inflate") BenchInflate(runs, "corpus.zip", "mixed corpus");
  if (only.empty() || only == "small") BenchInflate(runs * 20, "small.zip", "small members");
  if (only.empty() || only == "old") BenchOldMethods(runs);
  return 0;
}
