// Gathers many small writes into few large ones: encoders hand over a few bytes at a time, and
// every TAtomicFile::Write is a system call.
#pragma once

#include <cstddef>
#include <cstring>
#include <vector>

#include "synthesis/files/AtomicFile.h"

namespace hillograph {

class TBufferedWriter {
 public:
  static constexpr std::size_t DefaultCapacity = 256 * 1024;

  explicit TBufferedWriter(TAtomicFile& File, std::size_t Capacity = DefaultCapacity)
      : file_(File), capacity_(Capacity) {
    buffer_.reserve(capacity_);
  }

  void Write(const void* Data, std::size_t Size) {
    if (buffer_.size() + Size > capacity_) Flush();
    if (Size >= capacity_) {
      file_.Write(Data, Size);
      return;
    }
    const auto* bytes = static_cast<const char*>(Data);
    buffer_.insert(buffer_.end(), bytes, bytes + Size);
  }

  // Hands what is gathered to the file; call before committing it.
  void Flush() {
    if (!buffer_.empty()) file_.Write(buffer_.data(), buffer_.size());
    buffer_.clear();
  }

 private:
  TAtomicFile& file_;
  std::size_t capacity_;
  std::vector<char> buffer_;
};

}  // namespace hillograph
