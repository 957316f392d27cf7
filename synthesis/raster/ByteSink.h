// Where an encoder's bytes go: a file, a buffer in memory, a test's checker. Encoders know nothing
// of where the bytes end up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace hillograph {

using TByteRange = std::span<const std::uint8_t>;

class TByteSink {
 public:
  // Takes the bytes; may throw, and the encoding stops with that exception.
  virtual void Write(TByteRange Bytes) = 0;
  // Takes the ranges in order, where the sink can without copying them together first. The
  // ranges are used up: their entries change.
  virtual void WriteRanges(std::span<TByteRange> Ranges) {
    for (const TByteRange range : Ranges)
      Write(range);
  }

  void Write(const void* Data, std::size_t Size) {
    Write(TByteRange(static_cast<const std::uint8_t*>(Data), Size));
  }

 protected:
  ~TByteSink() = default;
};

// The bytes gathered in a string.
class TStringSink final : public TByteSink {
 public:
  using TByteSink::Write;
  void Write(TByteRange Bytes) override {
    Text.append(reinterpret_cast<const char*>(Bytes.data()), Bytes.size());
  }
  std::string Text;
};

}  // namespace hillograph
