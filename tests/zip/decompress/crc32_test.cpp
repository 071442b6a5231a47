// CRC-32: both kernels against the bit-by-bit definition, at every length and alignment that
// reaches their edges (the folding kernel's 64- and 16-byte steps, the sliced kernel's words).
#include <gtest/gtest.h>

#include <random>
#include <string_view>
#include <vector>

#include "zip/decompress/crc32.h"
#include "zip/decompress/crc32_kernels.h"
#include "zip_members.h"

namespace vl4::zip {
namespace {

using testing::ReferenceCrc32;
using Kernel = uint32_t (*)(uint32_t, const uint8_t*, size_t);

std::vector<uint8_t> RandomBytes(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> v(n);
  for (auto& b : v) b = static_cast<uint8_t>(rng());
  return v;
}

TEST(Crc32, CheckValue) {
  const std::string_view s = "123456789";
  const auto* p = reinterpret_cast<const uint8_t*>(s.data());
  EXPECT_EQ(~Crc32Update(0xFFFFFFFF, p, s.size()), 0xCBF43926u);
  EXPECT_EQ(~Crc32Update(0xFFFFFFFF, p, 0), 0u);
}

TEST(Crc32, KernelsMatchTheDefinition) {
  std::vector<std::pair<const char*, Kernel>> kernels = {{"sliced", crc32_detail::UpdateSliced},
                                                         {"dispatch", Crc32Update}};
  if (crc32_detail::ClmulAvailable()) kernels.emplace_back("clmul", crc32_detail::UpdateClmul);
  const std::vector<uint8_t> data = RandomBytes(2048 + 16, 1);
  for (auto [name, kernel] : kernels) {
    for (size_t offset = 0; offset < 16; offset += 3) {
      for (size_t n = 0; n <= 300; ++n) {
        ASSERT_EQ(~kernel(0xFFFFFFFF, data.data() + offset, n),
                  ReferenceCrc32(data.data() + offset, n))
            << name << " offset " << offset << " length " << n;
      }
      const size_t n = 2048;
      ASSERT_EQ(~kernel(0xFFFFFFFF, data.data() + offset, n),
                ReferenceCrc32(data.data() + offset, n))
          << name << " offset " << offset << " length " << n;
    }
  }
}

TEST(Crc32, PiecewiseEqualsWhole) {
  // The run feeds each 16000-byte flush in turn.
  const std::vector<uint8_t> data = RandomBytes(50000, 2);
  uint32_t crc = 0xFFFFFFFF;
  for (size_t at = 0; at < data.size(); at += 16000) {
    crc = Crc32Update(crc, data.data() + at, std::min<size_t>(16000, data.size() - at));
  }
  EXPECT_EQ(~crc, ReferenceCrc32(data.data(), data.size()));
}

}  // namespace
}  // namespace vl4::zip
