#include "synthesis/base/Utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace hillograph {
namespace {

// Each Windows-1252 byte becomes one code point: itself in Latin-1, the code page's letter in
// 0x80 .. 0x9F (the unassigned ones stay control characters); longer text is the bytes in order.
TEST(Utf8Test, Windows1252BytesBecomeTheirCodePoints) {
  struct TCase {
    unsigned char byte;
    char32_t codePoint;
  };
  const TCase cases[] = {{0x80, 0x20AC}, {0x81, 0x0081}, {0x8A, 0x0160}, {0x99, 0x2122},
                         {0x9F, 0x0178}, {0xE4, 0x00E4}, {0x41, 0x0041}};
  for (const TCase& c : cases) {
    const std::string utf8 = Windows1252ToUtf8(std::string(1, static_cast<char>(c.byte)));
    std::size_t pos = 0;
    EXPECT_EQ(NextCodePoint(utf8, pos), c.codePoint) << int(c.byte);
    EXPECT_EQ(pos, utf8.size()) << int(c.byte);
  }
  std::string all;
  std::string expected;
  for (int b = 0; b < 256; ++b) {
    all += static_cast<char>(b);
    expected += Windows1252ToUtf8(std::string(1, static_cast<char>(b)));
    if (b < 0x80 || b >= 0xA0) {
      std::string latin1;
      AppendUtf8(latin1, static_cast<char32_t>(b));
      EXPECT_EQ(Windows1252ToUtf8(std::string(1, static_cast<char>(b))), latin1) << b;
    }
  }
  EXPECT_EQ(Windows1252ToUtf8(all), expected);
  EXPECT_EQ(ClassifyUtf8(expected), TUtf8Kind::MultiByte);
}

}  // namespace
}  // namespace hillograph
