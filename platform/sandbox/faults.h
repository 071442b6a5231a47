// Fault injection of the sandbox PC: tests make the k-th operation of a kind fail, so that the
// program's rollback paths run for real.
#pragma once

#include <array>

namespace vl4::platform::sandbox {

enum class Fault { kWrite, kMove, kDelete, kCreateDirectory, kRemoveDirectory };

class Faults {
 public:
  // The k-th operation of that kind from now on fails (once); k = 0 cancels.
  void FailNth(Fault kind, int k) { countdown_[Index(kind)] = k; }
  void Clear() { countdown_.fill(0); }
  // Counts one operation; true when it is the one to fail.
  bool Hit(Fault kind) {
    int& left = countdown_[Index(kind)];
    return left > 0 && --left == 0;
  }

 private:
  static size_t Index(Fault kind) { return static_cast<size_t>(kind); }
  std::array<int, 5> countdown_{};
};

}  // namespace vl4::platform::sandbox
