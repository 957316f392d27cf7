// Gathers many small writes into few large ones: encoders hand over a few bytes at a time, and
// every write to a file is a system call.
#pragma once

#include <cstddef>
#include <vector>

#include "synthesis/raster/ByteSink.h"

namespace hillograph {

class TBufferedWriter final : public TByteSink {
 public:
  static constexpr std::size_t DefaultCapacity = 256 * 1024;

  explicit TBufferedWriter(TByteSink& Sink, std::size_t Capacity = DefaultCapacity)
      : sink_(Sink), capacity_(Capacity) {
    buffer_.reserve(capacity_);
  }

  using TByteSink::Write;
  void Write(TByteRange Bytes) override {
    if (buffer_.size() + Bytes.size() > capacity_) Flush();
    if (Bytes.size() >= capacity_) {
      sink_.Write(Bytes);
      return;
    }
    buffer_.insert(buffer_.end(), Bytes.begin(), Bytes.end());
  }

  // Hands what is gathered to the sink; call before committing it.
  void Flush() {
    if (!buffer_.empty()) sink_.Write(TByteRange(buffer_));
    buffer_.clear();
  }

 private:
  TByteSink& sink_;
  std::size_t capacity_;
  std::vector<std::uint8_t> buffer_;
};

}  // namespace hillograph
