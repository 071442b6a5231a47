#include "zip/buffer_stream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/exception.h"
#include "zip/stream_messages.h"

namespace vl4::zip {

TS_BufferStream::TS_BufferStream(platform::FileStream& underlying, StringResourceCache& messages)
    : underlying_(underlying),
      messages_(messages),
      buffer_(std::make_unique_for_overwrite<uint8_t[]>(kBufferSize)),
      underlying_pos_(underlying.Seek(0, platform::SeekOrigin::kCurrent)) {}

TS_BufferStream::~TS_BufferStream() {
  if (state_ == State::kWriting) Flush();
}

int64_t TS_BufferStream::PendingOffset() const {
  switch (state_) {
    case State::kReading:
      return static_cast<int64_t>(pos_) - static_cast<int64_t>(end_);
    case State::kWriting:
      return static_cast<int64_t>(pos_);
    case State::kIdle:
      break;
  }
  return 0;
}

std::string TS_BufferStream::Message(int number) {
  return messages_.Lookup(kStreamMessages, number);
}

bool TS_BufferStream::Fill() {
  size_t got = underlying_.Read(buffer_.get(), kBufferSize);
  underlying_pos_ += static_cast<int64_t>(got);
  pos_ = 0;
  end_ = got;
  pos_set_ = true;
  state_ = got > 0 ? State::kReading : State::kIdle;
  if (OnFill) OnFill();
  return got > 0;
}

bool TS_BufferStream::Flush() {
  size_t pending = pos_set_ ? pos_ : 0;
  size_t written = pending > 0 ? underlying_.Write(buffer_.get(), pending) : 0;
  underlying_pos_ += static_cast<int64_t>(written);
  pos_ = 0;
  pos_set_ = true;
  state_ = State::kIdle;
  if (OnFlush) OnFlush();
  return written == pending;
}

size_t TS_BufferStream::Read(void* buffer, size_t count) {
  if (state_ == State::kWriting) Flush();
  if (!pos_set_) {
    pos_ = end_ = 0;  // the first read fills
    pos_set_ = true;
  }
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    if (pos_ >= end_ && !Fill()) break;
    size_t n = std::min(count - done, end_ - pos_);
    std::memcpy(out + done, buffer_.get() + pos_, n);
    pos_ += n;
    done += n;
  }
  return done;
}

size_t TS_BufferStream::Write(const void* buffer, size_t count) {
  if (state_ == State::kReading) {
    underlying_pos_ =
        underlying_.Seek(underlying_pos_ + PendingOffset(), platform::SeekOrigin::kBegin);
  }
  if (state_ != State::kWriting) {
    // An idle buffer holds nothing, whether or not its position is set: start an empty one.
    pos_ = 0;
    end_ = kBufferSize;
    pos_set_ = true;
  }
  const auto* in = static_cast<const uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    size_t n = std::min(count - done, end_ - pos_);
    std::memcpy(buffer_.get() + pos_, in + done, n);
    pos_ += n;
    done += n;
    state_ = State::kWriting;
    if (pos_ == end_ && !Flush()) break;
  }
  state_ = pos_ > 0 ? State::kWriting : State::kIdle;
  return done;
}

int32_t TS_BufferStream::Seek(int32_t offset, int origin) {
  const int64_t logical = underlying_pos_ + PendingOffset();
  int64_t target;
  switch (origin) {
    case 0:
      target = offset;
      break;
    case 1:
      target = logical + offset;
      break;
    case 2:
      target = std::max(logical, underlying_.Size()) - std::abs(static_cast<int64_t>(offset));
      break;
    default: {
      std::string text = Message(kMsgInvalidSeekOrigin);
      size_t at = text.find("%d");
      if (at != std::string::npos) text.replace(at, 2, std::to_string(origin));
      throw Exception(text);
    }
  }
  if (target == logical) return static_cast<int32_t>(target);
  if (target < 0) throw EStreamError(Message(kMsgSeekError));

  // A target inside the bytes read ahead only moves the read position.
  if (state_ == State::kReading && target >= underlying_pos_ - static_cast<int64_t>(end_) &&
      target <= underlying_pos_) {
    pos_ = static_cast<size_t>(target - (underlying_pos_ - static_cast<int64_t>(end_)));
    return static_cast<int32_t>(target);
  }
  if (state_ == State::kWriting && !Flush()) throw EStreamError(Message(kMsgSeekError));
  underlying_pos_ = underlying_.Seek(target, platform::SeekOrigin::kBegin);
  pos_set_ = false;
  state_ = State::kIdle;
  return static_cast<int32_t>(target);
}

int32_t TS_BufferStream::Size() {
  return static_cast<int32_t>(std::max(underlying_pos_ + PendingOffset(), underlying_.Size()));
}

void TS_BufferStream::PutBack(uint8_t byte) {
  if (!pos_set_ || pos_ == 0) throw EStreamError(Message(kMsgPutbackOverflow));
  buffer_[--pos_] = byte;
}

}  // namespace vl4::zip
