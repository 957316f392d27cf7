#include "synthesis/base/Utf8.h"

#include <array>
#include <cstdint>

namespace hillograph {
namespace {

// Windows-1252 bytes 0x80 .. 0x9F; the rest of the upper half is Latin-1.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The UTF-8 bytes of each Windows-1252 byte, worked out once.
constexpr std::size_t MaxWindows1252Bytes = 3;  // the highest code point, U+2122, takes three

struct TUtf8Bytes {
  std::size_t Size = 0;
  char Bytes[MaxWindows1252Bytes] = {};
};

constexpr std::array<TUtf8Bytes, 256> MakeWindows1252Utf8() {
  std::array<TUtf8Bytes, 256> table{};
  for (std::uint32_t b = 0; b < 256; ++b) {
    const std::uint32_t c = b >= 0x80 && b < 0xA0 ? Windows1252High[b - 0x80] : b;
    TUtf8Bytes& out = table[b];
    const auto put = [&out](std::uint32_t byte) {
      out.Bytes[out.Size++] = static_cast<char>(byte);
    };
    if (c < 0x80) {
      put(c);
    } else if (c < 0x800) {
      put(0xC0 | c >> 6);
      put(0x80 | (c & 0x3F));
    } else {
      put(0xE0 | c >> 12);
      put(0x80 | (c >> 6 & 0x3F));
      put(0x80 | (c & 0x3F));
    }
  }
  return table;
}

constexpr std::array<TUtf8Bytes, 256> Windows1252Utf8 = MakeWindows1252Utf8();

constexpr bool IsContinuation(std::uint8_t b) {
  return (b & 0xC0) == 0x80;
}

// The length of the well-formed sequence at Text[Pos] and its code point; 0 when there is none.
std::size_t DecodeSequence(std::string_view Text, std::size_t Pos, char32_t& CodePoint) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(Text[Pos + i]); };
  const std::uint8_t lead = byte(0);
  std::size_t length;
  char32_t value;
  char32_t smallest;
  if (lead < 0x80) {
    CodePoint = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, smallest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, smallest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, smallest = 0x10000;
  } else {
    return 0;
  }
  if (Text.size() - Pos < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(byte(i))) return 0;
    value = value << 6 | (byte(i) & 0x3F);
  }
  if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  CodePoint = value;
  return length;
}

}  // namespace

void AppendUtf8(std::string& Text, char32_t CodePoint) {
  const auto put = [&](std::uint32_t b) { Text.push_back(static_cast<char>(b)); };
  const std::uint32_t c = CodePoint;
  if (c < 0x80) {
    put(c);
  } else if (c < 0x800) {
    put(0xC0 | c >> 6);
    put(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    put(0xE0 | c >> 12);
    put(0x80 | (c >> 6 & 0x3F));
    put(0x80 | (c & 0x3F));
  } else {
    put(0xF0 | c >> 18);
    put(0x80 | (c >> 12 & 0x3F));
    put(0x80 | (c >> 6 & 0x3F));
    put(0x80 | (c & 0x3F));
  }
}

char32_t NextCodePoint(std::string_view Text, std::size_t& Pos) {
  char32_t codePoint = ReplacementCharacter;
  const std::size_t length = DecodeSequence(Text, Pos, codePoint);
  Pos += length == 0 ? 1 : length;
  return length == 0 ? ReplacementCharacter : codePoint;
}

TUtf8Kind ClassifyUtf8(std::string_view Text) {
  TUtf8Kind kind = TUtf8Kind::Ascii;
  std::size_t pos = 0;
  while (pos < Text.size()) {
    if (static_cast<std::uint8_t>(Text[pos]) < 0x80) {
      ++pos;
      continue;
    }
    char32_t ignored;
    const std::size_t length = DecodeSequence(Text, pos, ignored);
    if (length == 0) return TUtf8Kind::Invalid;
    kind = TUtf8Kind::MultiByte;
    pos += length;
  }
  return kind;
}

std::string Windows1252ToUtf8(std::string_view Text) {
  std::string out(Text.size() * MaxWindows1252Bytes, '\0');
  char* put = out.data();
  for (const char ch : Text) {
    const TUtf8Bytes& bytes = Windows1252Utf8[static_cast<std::uint8_t>(ch)];
    for (std::size_t i = 0; i < bytes.Size; ++i)
      *put++ = bytes.Bytes[i];
  }
  out.resize(static_cast<std::size_t>(put - out.data()));
  return out;
}

}  // namespace hillograph
