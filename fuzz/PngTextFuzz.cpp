// The text chunks of a PNG file: any bytes give no PNG, the texts, or a TError, and the reader
// never asks for more than the bytes before the image data allow.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "synthesis/base/Error.h"
#include "synthesis/raster/PngText.h"

using namespace hillograph;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::size_t at = 0;
  // Bytes handed out in pieces of varying size, as a file read in parts gives them.
  const auto source = [&](void* out, std::size_t wanted) {
    const std::size_t n = std::min({wanted, size - at, at % 7 + 1 + wanted / 2});
    std::memcpy(out, data + at, n);
    at += n;
    return n;
  };
  try {
    const auto texts = ReadPngText(source);
    if (texts) {
      for (const TPngText& text : *texts)
        if (text.Keyword.empty() || text.Keyword.size() > 79) std::abort();
    } else if (size >= PngSignatureSize && IsPngSignature(data, size)) {
      std::abort();
    }
  } catch (const TError&) {
    if (size < PngSignatureSize || !IsPngSignature(data, size)) std::abort();
  }
  if (at > MaxPngBytesBeforeImage) std::abort();
  return 0;
}
