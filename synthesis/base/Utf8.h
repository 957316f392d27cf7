// UTF-8, the encoding of every name and label inside the program.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hillograph {

inline constexpr char32_t ReplacementCharacter = 0xFFFD;

// Appends the UTF-8 bytes of one code point (at most U+10FFFF).
void AppendUtf8(std::string& Text, char32_t CodePoint);

// The code point that starts at Text[Pos], moving Pos past it. A byte that starts no well-formed
// sequence gives U+FFFD and moves Pos on by one. Pos < Text.size().
char32_t NextCodePoint(std::string_view Text, std::size_t& Pos);

// How a piece of text reads as UTF-8.
enum class TUtf8Kind { Ascii, MultiByte, Invalid };

// Ascii when every byte is below 0x80; MultiByte when the text is well-formed UTF-8 (no overlong
// forms, no surrogates, nothing above U+10FFFF) and has at least one longer sequence.
TUtf8Kind ClassifyUtf8(std::string_view Text);

// The UTF-8 form of single-byte Windows-1252 text. The five bytes the code page leaves unassigned
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same number.
std::string Windows1252ToUtf8(std::string_view Text);

}  // namespace hillograph
