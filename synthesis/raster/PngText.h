// The text chunks of a PNG file that come before its image data, read without reading the image:
// a poster's PNG may be gigabytes, and its text is at the start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace hillograph {

struct TPngText {
  std::string Keyword;  // 1 .. 79 Latin-1 characters
  std::string Text;

  bool operator==(const TPngText&) const = default;
};

// Fills Data with up to Size of the file's next bytes; returns how many, 0 at its end. May throw,
// and the reading stops with that exception.
using TPngByteSource = std::function<std::size_t(void* Data, std::size_t Size)>;

// The text chunks (tEXt, zTXt, iTXt) before the first IDAT, in the file's order; nullopt when the
// bytes do not start with the PNG signature. Reads no further than the image data's first chunk
// header, and no more than MaxPngBytesBeforeImage in all. Throws TError when the file breaks off,
// is damaged or holds more than that before its image data. A chunk that holds, or inflates to,
// more than MaxPngChunkBytes is left out, so that a small file cannot make the reader inflate
// gigabytes.
inline constexpr std::size_t MaxPngBytesBeforeImage = 4 << 20;
inline constexpr std::uint32_t MaxPngTextChunks = 64;
inline constexpr std::size_t MaxPngChunkBytes = 256 << 10;
std::optional<std::vector<TPngText>> ReadPngText(const TPngByteSource& Source);

// The signature every PNG file starts with.
inline constexpr std::size_t PngSignatureSize = 8;
bool IsPngSignature(const void* Bytes, std::size_t Size);

}  // namespace hillograph
