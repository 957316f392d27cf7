#include "synthesis/raster/PngText.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>

#include "synthesis/base/Error.h"
#include "synthesis/raster/Png.h"

namespace hillograph {
namespace {

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

// The encoder's text chunks come right after the header and leave the rest of the file as it was;
// the reader stops at the image data.
TEST(PngTextTest, WrittenTextsReadBackAndTheImageDataStays) {
  TPicture picture;
  picture.SetSize(5, 3);
  const std::vector<TPngText> texts = {{"Software", "hillograph 1.2.0"},
                                       {"Comment", "Town database: M\xC3\xBCnster.txt"}};
  TStringSink png;
  WritePicturePng(picture, png, nullptr, texts);
  std::size_t read = 0;
  EXPECT_EQ(TextsOf(png.Text, &read), texts);
  EXPECT_EQ(read, png.Text.find("IDAT") + 4);
  const std::string plain = EncodePng(picture);
  const std::size_t chunks = png.Text.size() - plain.size();
  EXPECT_EQ(png.Text.substr(0, 33) + png.Text.substr(33 + chunks), plain);
  EXPECT_EQ(TextsOf(plain), std::vector<TPngText>{});

  for (const std::string& other :
       {std::string(), std::string("[params]\nWidth=5\n"), png.Text.substr(0, 7)}) {
    EXPECT_FALSE(TextsOf(other)) << other;
  }
  std::string badHeader = png.Text;
  badHeader[20] ^= 1;  // inside IHDR: a critical chunk's CRC fails
  TStringSink tooMuch;
  WritePicturePng(picture, tooMuch, nullptr,
                  std::vector<TPngText>{{"Big", std::string(MaxPngBytesBeforeImage, 'x')}});
  for (const std::string& broken : {png.Text.substr(0, 40), badHeader, tooMuch.Text})
    EXPECT_THROW(TextsOf(broken), TError);

  // A small zTXt chunk that inflates past the limit is left out, not inflated whole.
  const std::string big(MaxPngChunkBytes + 1, 'a');
  std::string data("Big\0\0", 5);
  uLongf size = compressBound(big.size());
  data.resize(data.size() + size);
  ASSERT_EQ(compress(reinterpret_cast<Bytef*>(&data[5]), &size,
                     reinterpret_cast<const Bytef*>(big.data()), big.size()),
            Z_OK);
  data.resize(5 + size);
  const auto be32 = [](std::uint32_t w) {
    return std::string{char(w >> 24), char(w >> 16), char(w >> 8), char(w)};
  };
  const std::string typed = "zTXt" + data;
  const std::string chunk = be32(static_cast<std::uint32_t>(data.size())) + typed +
                            be32(static_cast<std::uint32_t>(crc32(
                                0, reinterpret_cast<const Bytef*>(typed.data()), typed.size())));
  EXPECT_EQ(TextsOf(png.Text.substr(0, 33) + chunk + png.Text.substr(33)), texts);
}

}  // namespace
}  // namespace hillograph
