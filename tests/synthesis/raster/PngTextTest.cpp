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
  const auto bigEndian = [](std::uint32_t n) {
    return std::string{static_cast<char>(n >> 24), static_cast<char>(n >> 16),
                       static_cast<char>(n >> 8), static_cast<char>(n)};
  };
  const std::string body = type + data;
  const auto crc =
      crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
  return bigEndian(static_cast<std::uint32_t>(data.size())) + body +
         bigEndian(static_cast<std::uint32_t>(crc + crcChange));
}

// A small picture's PNG with chunks put in after its header (8 + 25 bytes) and before its end.
std::string PngWith(const std::string& chunks, const std::string& atEnd = "") {
  TPicture picture;
  picture.SetSize(5, 3);
  std::string png = EncodePng(picture);
  png.insert(png.size() - 12, atEnd);
  return png.insert(33, chunks);
}

// Reads the texts of Png, counting in Read how far.
std::optional<std::vector<TPngText>> TextsOf(const std::string& png, std::size_t* read = nullptr) {
  std::size_t at = 0;
  auto texts = ReadPngText([&](void* data, std::size_t size) {
    const std::size_t n = std::min(size, png.size() - at);
    std::copy_n(png.data() + at, n, static_cast<char*>(data));
    at += n;
    return n;
  });
  if (read != nullptr) *read = at;
  return texts;
}

TEST(PngTextTest, ReadsTheTextsBeforeTheImageDataOnly) {
  const std::string text = Chunk("tEXt", std::string("Software\0hillograph 1.2.0", 25)) +
                           Chunk("tEXt", std::string("Hillograph\0Width=5", 18));
  const std::vector<TPngText> both{{"Software", "hillograph 1.2.0"}, {"Hillograph", "Width=5"}};
  for (const auto& [png, expected] :
       {std::pair{PngWith(text), both},
        {PngWith("", text), {}},  // after the image data
        {PngWith(Chunk("tEXt", std::string("A\0b", 3), 1) + text), both}}) {  // damaged: left out
    std::size_t read = 0;
    const auto texts = TextsOf(png, &read);
    ASSERT_TRUE(texts);
    EXPECT_EQ(*texts, expected);
    EXPECT_LE(read, png.find("IDAT") + 4) << "read past the image data's chunk header";
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
  EXPECT_EQ(TextsOf(png.Text), texts);
  const std::string plain = EncodePng(picture);
  const std::size_t chunks = png.Text.size() - plain.size();
  EXPECT_EQ(png.Text.substr(0, 33) + png.Text.substr(33 + chunks), plain);
}

TEST(PngTextTest, OtherFilesAreNoPngAndBrokenOnesFail) {
  const std::string png = PngWith(Chunk("tEXt", std::string("Hillograph\0x", 12)));
  for (const std::string& other :
       {std::string(), std::string("[params]\nWidth=5\n"), png.substr(0, 7)}) {
    EXPECT_FALSE(TextsOf(other)) << other;
  }
  std::string badHeader = png;
  badHeader[20] ^= 1;  // inside IHDR: a critical chunk's CRC fails
  const std::string tooMuch =
      PngWith(Chunk("tEXt", "Big" + std::string(MaxPngBytesBeforeImage, '\0')));
  for (const std::string& broken : {png.substr(0, 40), badHeader, tooMuch})
    EXPECT_THROW(TextsOf(broken), TError);
  EXPECT_TRUE(
      TextsOf(PngWith(Chunk("tEXt", "Big" + std::string(MaxPngBytesBeforeImage - 99, '\0')))));
}

}  // namespace
}  // namespace hillograph
