#include "synthesis/Bmp.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "synthesis/AtomicFile.h"
#include "synthesis/Error.h"
#include "tests/TempFolder.h"
#include "tests/cli/BmpReader.h"

namespace hillograph {
namespace {

// A disk that takes a given number of bytes and then fails with a given error.
struct TFailingDisk {
  static inline long budget = 0;
  static inline int error = 0;
  static long Write(int, const void*, std::size_t size) {
    if (budget <= 0) {
      errno = error;
      return -1;
    }
    const long taken = std::min<long>(budget, static_cast<long>(size));
    budget -= taken;
    return taken;
  }
};

class TFailingDiskScope {
 public:
  TFailingDiskScope(long budget, int error) {
    TFailingDisk::budget = budget;
    TFailingDisk::error = error;
    TAtomicFile::WriteFunction = &TFailingDisk::Write;
  }
  ~TFailingDiskScope() { TAtomicFile::WriteFunction = nullptr; }
};

TPicture Gradient(std::int32_t width, std::int32_t height) {
  TPicture picture;
  picture.SetSize(width, height);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      std::uint8_t* p = picture.ScanLine(y) + 3 * x;
      p[0] = static_cast<std::uint8_t>(x);
      p[1] = static_cast<std::uint8_t>(y);
      p[2] = static_cast<std::uint8_t>(x + y);
    }
  }
  return picture;
}

TEST(BmpTest, RoundTripsThroughAnIndependentReader) {
  const testing::TTempFolder folder;
  for (const auto& [width, height] :
       {std::pair{1, 1}, std::pair{2, 3}, std::pair{3, 2}, std::pair{4, 4}, std::pair{5, 7}}) {
    const TPicture picture = Gradient(width, height);
    SaveBitmapToFile(picture, folder.Path("g.bmp"));
    const testing::TBmpImage image = testing::ReadBmp(folder.Path("g.bmp"));
    ASSERT_EQ(image.width, width);
    ASSERT_EQ(image.height, height);
    EXPECT_EQ(image.bitsPerPixel, 24);
    for (std::int32_t y = 0; y < height; ++y) {
      for (std::int32_t x = 0; x < width; ++x) {
        EXPECT_EQ(image.Pixel(x, y), RGB(x + y, y, x)) << x << ", " << y;
      }
    }
  }
}

TEST(BmpTest, AFailedWriteKeepsTheEarlierFileAndLeavesNothingBehind) {
  const testing::TTempFolder folder;
  const TPicture picture = Gradient(64, 64);
  const long whole = static_cast<long>(EncodeBmp(picture).size());
  const struct {
    long budget;
    int error;
  } cases[] = {{0, ENOSPC}, {100, ENOSPC}, {whole - 1, ENOSPC}, {54, EIO}, {0, EDQUOT}};
  for (const auto& c : cases) {
    folder.Write("map.bmp", "earlier picture");
    const TFailingDiskScope disk(c.budget, c.error);
    try {
      SaveBitmapToFile(picture, folder.Path("map.bmp"));
      ADD_FAILURE() << "no error after " << c.budget << " bytes";
    } catch (const TError& e) {
      EXPECT_EQ(std::string(e.what()),
                "Cannot create file \"" + folder.Path("map.bmp") + "\". " + std::strerror(c.error));
    }
    EXPECT_EQ(folder.Read("map.bmp"), "earlier picture");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Dir()),
                            std::filesystem::directory_iterator()),
              1);
  }
}

TEST(BmpTest, ReplacesAnEarlierFileAndKeepsItsPermissions) {
  const testing::TTempFolder folder;
  folder.Write("map.bmp", "earlier picture");
  std::filesystem::permissions(folder.Path("map.bmp"), std::filesystem::perms(0640));
  SaveBitmapToFile(Gradient(3, 3), folder.Path("map.bmp"));
  EXPECT_EQ(testing::ReadBmp(folder.Path("map.bmp")).width, 3);
  EXPECT_EQ(std::filesystem::status(folder.Path("map.bmp")).permissions(),
            std::filesystem::perms(0640));
}

}  // namespace
}  // namespace hillograph
