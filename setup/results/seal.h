// The sealed record of the results file: a 79-byte record that carries the user's name, cannot
// be read as plain text and fails verification when any byte of it is altered.
// docs/results-file.md describes the format for the exercise book, which reads the same record.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace vl4 {

constexpr size_t kSealedRecordSize = 79;
constexpr size_t kSealedNameSize = 25;  // characters 3 to 27 of the unsealed text

using SealedRecord = std::array<uint8_t, kSealedRecordSize>;

// Seals a name given in the results file's code page (866); it is cut or padded with blanks to
// 25 characters. The random filler comes from `random`.
SealedRecord SealName(std::string_view name, std::minstd_rand& random);

// Verifies a record and gives back the 25 name characters (blank-padded, code page 866), or
// nothing when the record fails the check.
std::optional<std::string> UnsealName(const SealedRecord& record);

}  // namespace vl4
