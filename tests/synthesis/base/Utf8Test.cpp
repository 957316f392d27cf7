#include "synthesis/base/Utf8.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace hillograph {
namespace {

// Code points at each end of every sequence length, their bytes, and back.
TEST(Utf8Test, EveryLengthEncodesAndDecodes) {
  const struct {
    char32_t codePoint;
    std::string_view bytes;
  } cases[] = {
      {U'\x7F', "\x7F"},
      {U'\x80', "\xC2\x80"},
      {U'\x7FF', "\xDF\xBF"},
      {U'\x800', "\xE0\xA0\x80"},
      {U'\xFFFF', "\xEF\xBF\xBF"},
      {U'\x10000', "\xF0\x90\x80\x80"},
      {U'\x10FFFF', "\xF4\x8F\xBF\xBF"},
  };
  for (const auto& c : cases) {
    std::string text = "a";
    AppendUtf8(text, c.codePoint);
    EXPECT_EQ(text.substr(1), c.bytes) << std::hex << static_cast<std::uint32_t>(c.codePoint);
    std::size_t pos = 1;
    EXPECT_EQ(NextCodePoint(text + "b", pos), c.codePoint);
    EXPECT_EQ(pos, text.size());
    EXPECT_EQ(ClassifyUtf8(text), c.bytes.size() == 1 ? TUtf8Kind::Ascii : TUtf8Kind::MultiByte);
  }
}

// A byte that starts no well-formed sequence reads as U+FFFD and is passed by itself: sequences
// cut short, with an ASCII byte inside, overlong (U+07FF in three bytes, U+FFFF in four), a
// surrogate, above U+10FFFF, and no lead byte.
TEST(Utf8Test, IllFormedSequencesGiveTheReplacementCharacter) {
  for (const std::string_view bytes : {"\xE2\x82",
                                       "\xE2\x82"
                                       "a",
                                       "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80",
                                       "\xF0\x9F\x97", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80"}) {
    std::size_t pos = 0;
    EXPECT_EQ(NextCodePoint(bytes, pos), ReplacementCharacter) << bytes;
    EXPECT_EQ(pos, 1u) << bytes;
    EXPECT_EQ(ClassifyUtf8(bytes), TUtf8Kind::Invalid) << bytes;
  }
}

}  // namespace
}  // namespace hillograph
