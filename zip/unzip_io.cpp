// UnZipRun as the decompressors' MemberIo: the member's compressed data from the archive (in
// 16000-byte pieces, across the volumes of a set, decrypted), and its output (size check, file,
// CRC-32, progress events).
#include <algorithm>

#include "zip/decompress/crc32.h"
#include "zip/unzip_run.h"

namespace vl4::zip {

namespace {

// done * 100 / total rounded to the nearest integer (halves to even), at most 100; 0 without a
// total.
int Percent(int64_t done, int64_t total) {
  if (total <= 0) return 0;
  const int64_t scaled = done * 100;
  int64_t percent = scaled / total;
  const int64_t twice_rest = 2 * (scaled % total);
  if (twice_rest > total || (twice_rest == total && percent % 2 != 0)) ++percent;
  return static_cast<int>(std::min<int64_t>(percent, 100));
}

constexpr size_t kBufferAllocation = kIoBufferSize + 1;

}  // namespace

UnZipRun::UnZipRun(TZipReader& reader)
    : reader_(reader),
      buffers_(std::make_unique_for_overwrite<uint8_t[]>(2 * kBufferAllocation + kSlideSize)) {
  in_buffer_ = buffers_.get();
  out = in_buffer_ + kBufferAllocation;
  slide = out + kBufferAllocation;
}

UnZipRun::~UnZipRun() = default;

void UnZipRun::BeginMember(std::unique_ptr<platform::FileStream> output) {
  output_ = std::move(output);
  crc_ = 0xFFFFFFFF;
  written_ = 0;
  in_next = in_end = in_buffer_;
  out_count = 0;
  bit_flag = current_.BitFlag;
  compressed_size = current_.CompressedSize;
  uncompressed_size = current_.UncompressedSize;
}

// Reads n bytes of the member's data from the archive stream, going on in the next volume of a
// set where one ends. Single archives (and the last volume) that end first end the run.
void UnZipRun::ReadData(uint8_t* to, size_t n) {
  TZipReader& r = reader_;
  size_t got = r.stream_->Read(to, n);
  while (got < n) {
    if (r.end_.ThisDiskNumber == 0 || !r.OnGetNextDisk ||
        r.current_volume_ >= r.end_.ThisDiskNumber) {
      throw EFatalUnzipError("Premature end of file reached");
    }
    r.OpenVolume(r.current_volume_ + 2);
    got += r.stream_->Read(to + got, n - got);
  }
}

void UnZipRun::Decrypt(uint8_t* data, size_t n) {
  if (current_.IsEncrypted()) keys_.Decrypt(data, n);
}

bool UnZipRun::Refill() {
  if (current_.CompressedSize <= 0) return false;
  reader_.Breathe();  // the GUI's pending messages; a Cancel set there ends the run
  const size_t n = static_cast<size_t>(std::min<int64_t>(current_.CompressedSize, kIoBufferSize));
  ReadData(in_buffer_, n);
  current_.CompressedSize -= static_cast<int32_t>(n);
  Decrypt(in_buffer_, n);
  in_next = in_buffer_;
  in_end = in_buffer_ + n;
  return true;
}

// Stored data goes straight from the archive into the output buffer, without letting the GUI in.
void UnZipRun::CopyStored() {
  while (current_.CompressedSize > 0) {
    const size_t n = static_cast<size_t>(std::min<int64_t>(current_.CompressedSize, kIoBufferSize));
    ReadData(out, n);
    Decrypt(out, n);
    current_.CompressedSize -= static_cast<int32_t>(n);
    out_count = n;
    Flush();
  }
}

void UnZipRun::Flush() {
  TZipReader& r = reader_;
  const size_t n = out_count;
  if (written_ + static_cast<int64_t>(n) > current_.UncompressedSize) {
    throw EBiggerThanUncompressed("File is larger than uncompressed size!");
  }
  // A disk that takes fewer bytes must not leave a short file with a matching CRC.
  if (output_ && n > 0 && output_->Write(out, n) != n) throw EWriteError("Stream write error");
  crc_ = Crc32Update(crc_, out, n);
  written_ += static_cast<int64_t>(n);
  if (r.OnFilePercentDone) r.OnFilePercentDone(r, Percent(written_, current_.UncompressedSize));
  if (r.OnTotalPercentDone) {
    total_done_ += static_cast<int64_t>(n);
    r.OnTotalPercentDone(r, Percent(total_done_, total_bytes_));
  }
  out_count = 0;
}

void UnZipRun::OutOfMemory() {
  const ZipReaderHost& host = reader_.host_;
  if (host.message_box) {
    host.message_box("*** inflate out of memory ***", "Error", ZipMsgKind::kError,
                     ZipMsgButtons::kOK);
  }
}

}  // namespace vl4::zip
