#include "synthesis/raster/PngText.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>

#include "synthesis/base/Error.h"
#include "synthesis/raster/Png.h"

namespace hillograph {
namespace {

std::string Chunk(const std::string& type, const std::string& data, int crcChange = 0) {
  std::string chunk;
  for (const int shift : {24, 16, 8, 0})
    chunk += static_cast<char>(data.size() >> shift);
  const std::string body = type + data;
  chunk += body;
  const auto crc = static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())) +
      crcChange);
  for (const int shift : {24, 16, 8, 0})
    chunk += static_cast<char>(crc >> shift);
  return chunk;
}

// A small picture's PNG with chunks put in after its header (8 + 25 bytes).
std::string PngWith(const std::string& chunks, const std::string& atEnd = "") {
  TPicture picture;
  picture.SetSize(5, 3);
  std::string png = EncodePng(picture);
  png.insert(png.size() - 12, atEnd);  // before IEND
  return png.insert(33, chunks);
}

TEST(PngTextTest, ReadsTheTextBeforeTheImageDataOnly) {
  const std::string text = Chunk("tEXt", std::string("Software\0hillograph 1.2.0", 25)) +
                           Chunk("tEXt", std::string("Hillograph\0Width=5&Height=3", 27));
  const struct {
    std::string name;
    std::string png;
    std::vector<TPngText> expected;
  } cases[] = {
      {"none", PngWith(""), {}},
      {"two",
       PngWith(text),
       {{"Software", "hillograph 1.2.0"}, {"Hillograph", "Width=5&Height=3"}}},
      {"after the image data", PngWith("", text), {}},
      {"damaged text chunk left out",
       PngWith(Chunk("tEXt", std::string("A\0b", 3), 1) + text),
       {{"Software", "hillograph 1.2.0"}, {"Hillograph", "Width=5&Height=3"}}},
  };
  for (const auto& c : cases) {
    std::size_t at = 0;
    const auto texts = ReadPngText([&](void* data, std::size_t size) {
      const std::size_t n = std::min(size, c.png.size() - at);
      std::copy_n(c.png.data() + at, n, static_cast<char*>(data));
      at += n;
      return n;
    });
    ASSERT_TRUE(texts) << c.name;
    EXPECT_EQ(*texts, c.expected) << c.name;
    const std::size_t idat = c.png.find("IDAT");
    EXPECT_LE(at, idat + 4) << c.name << ": read past the image data's chunk header";
  }
}

// The encoder's text chunks come right after the header and leave the rest of the file as it was.
TEST(PngTextTest, WrittenTextsReadBackAndTheImageDataStays) {
  TPicture picture;
  picture.SetSize(5, 3);
  const std::vector<TPngText> texts = {{"Software", "hillograph 1.2.0"},
                                       {"Comment", "Town database: M\xC3\xBCnster.txt"}};
  TStringSink png;
  WritePicturePng(picture, png, nullptr, texts);
  std::size_t at = 0;
  const auto read = ReadPngText([&](void* data, std::size_t size) {
    const std::size_t n = std::min(size, png.Text.size() - at);
    std::copy_n(png.Text.data() + at, n, static_cast<char*>(data));
    at += n;
    return n;
  });
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, texts);
  const std::string plain = EncodePng(picture);
  const std::size_t chunks = png.Text.size() - plain.size();
  EXPECT_EQ(png.Text.substr(0, 33) + png.Text.substr(33 + chunks), plain);
}

TEST(PngTextTest, OtherFilesAreNoPngAndBrokenOnesFail) {
  const std::string png = PngWith(Chunk("tEXt", std::string("Hillograph\0x", 12)));
  const auto read = [](const std::string& bytes) {
    std::size_t at = 0;
    return ReadPngText([&](void* data, std::size_t size) {
      const std::size_t n = std::min(size, bytes.size() - at);
      std::copy_n(bytes.data() + at, n, static_cast<char*>(data));
      at += n;
      return n;
    });
  };
  for (const std::string& other : {std::string(), std::string("[params]\nWidth=5\n"),
                                   png.substr(0, 7), "\x89PNG\r\n\x1a\r" + png.substr(8)}) {
    EXPECT_FALSE(read(other)) << other;
  }
  std::string badHeader = png;
  badHeader[20] ^= 1;  // inside IHDR: a critical chunk's CRC fails
  for (const std::string& broken : {png.substr(0, 40), png.substr(0, 8), badHeader})
    EXPECT_THROW(read(broken), TError);
  for (const std::size_t size : {MaxPngBytesBeforeImage - 1000, MaxPngBytesBeforeImage}) {
    const std::string big = PngWith(Chunk("tEXt", "Big" + std::string(size, '\0')));
    if (size < MaxPngBytesBeforeImage) {
      EXPECT_EQ(read(big)->at(0).Text.size(), 0u);
    } else {
      EXPECT_THROW(read(big), TError);
    }
  }
}

}  // namespace
}  // namespace hillograph
