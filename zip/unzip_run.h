// UnZipRun: one extraction run of TZipReader (UnZip). It owns the run's buffers, selects the
// members, takes each through its steps (output path, password, overwrite, decompression, CRC
// test) and, as the decompressors' MemberIo, feeds them the member's data and writes their output.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_stream.h"
#include "zip/decompress/member_io.h"
#include "zip/decompress/traditional_crypt.h"
#include "zip/zip_header_info.h"
#include "zip/zip_reader.h"

namespace vl4::zip {

class UnZipRun final : public MemberIo {
 public:
  // Allocates the buffers; the reader's archive must be open and its directory read.
  explicit UnZipRun(TZipReader& reader);
  ~UnZipRun() override;
  UnZipRun(const UnZipRun&) = delete;
  UnZipRun& operator=(const UnZipRun&) = delete;

  // Selects, announces and extracts; returns the number of members extracted.
  int Run();

  // MemberIo (unzip_io.cpp)
  bool Refill() override;
  void Flush() override;
  void OutOfMemory() override;

 private:
  enum class Outcome { kDone, kSkipped, kRetry };

  // The driver (zip_reader_unzip.cpp)
  int Select();
  Outcome ExtractMember(int index);
  void SeekToData();
  std::string OutputDirectory() const;
  bool CheckPassword(int index);
  bool MayOverwrite(int index, std::string& path);
  void Decompress();
  void FinishFile(const std::string& path);
  Outcome TestCrc(int index, const std::string& path);
  Outcome ReportFailure(int index, uint32_t crc, bool password_may_help);
  std::unique_ptr<platform::FileStream> CreateOutput(const std::string& path);
  void Skip(TSkipReason reason, int index);
  void DeleteOutput(const std::string& path);

  // The member's data (unzip_io.cpp)
  void BeginMember(std::unique_ptr<platform::FileStream> output);
  void ReadData(uint8_t* to, size_t n);
  void CopyStored();
  void Decrypt(uint8_t* data, size_t n);

  TZipReader& reader_;
  std::unique_ptr<uint8_t[]> buffers_;  // input, output (16001 each) and slide buffer
  uint8_t* in_buffer_;

  TZipHeaderInfo current_;  // a copy of the member; its CompressedSize is counted down
  TraditionalKeys keys_;
  std::unique_ptr<platform::FileStream> output_;  // none while testing
  uint32_t crc_ = 0xFFFFFFFF;
  int64_t written_ = 0;      // bytes of the member flushed so far
  int64_t total_bytes_ = 0;  // uncompressed bytes of the selected members
  int64_t total_done_ = 0;   // flushed while OnTotalPercentDone is assigned
};

}  // namespace vl4::zip
