#include "synthesis/raster/Bmp.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "synthesis/base/Error.h"
#include "synthesis/files/AtomicFile.h"
#include "tests/FailingDisk.h"
#include "tests/TempFolder.h"
#include "tests/cli/BmpReader.h"

namespace hillograph {
namespace {

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
    const testing::TFailingDiskScope disk(c.budget, c.error);
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

TEST(BmpTest, LinksAreFollowedAndStay) {
  const testing::TTempFolder folder;
  std::filesystem::create_directories(folder.Path("maps"));
  folder.Write("maps/old.bmp", "earlier picture");
  const struct {
    const char* link;
    const char* target;  // relative to the link's folder
    const char* written;
  } cases[] = {
      {"to-old.bmp", "maps/old.bmp", "maps/old.bmp"},
      {"dangling.bmp", "maps/new.bmp", "maps/new.bmp"},  // the file is made where the link points
      {"maps/up.bmp", "../top.bmp", "top.bmp"},
      {"twice.bmp", "dangling.bmp", "maps/new.bmp"},
  };
  for (const auto& c : cases) {
    std::filesystem::create_symlink(c.target, folder.Path(c.link));
    SaveBitmapToFile(Gradient(2, 2), folder.Path(c.link));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.Path(c.link))) << c.link;
    EXPECT_EQ(testing::ReadBmp(folder.Path(c.written)).width, 2) << c.link;
  }
  // Nothing left behind: the links, top.bmp and maps with old.bmp, new.bmp and up.bmp.
  const auto entries = std::distance(std::filesystem::recursive_directory_iterator(folder.Dir()),
                                     std::filesystem::recursive_directory_iterator());
  EXPECT_EQ(entries, 8);
}

TEST(BmpTest, APipeIsWrittenIntoAndStaysAPipe) {
  const testing::TTempFolder folder;
  const std::string pipe = folder.Path("pipe.bmp");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const TPicture picture = Gradient(4, 4);  // small enough for the pipe's buffer
  try {
    SaveBitmapToFile(picture, pipe);  // nobody reads: the save fails at once, without waiting
    ADD_FAILURE() << "no error without a reader";
  } catch (const TError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot create file \"" + pipe + "\". " + std::strerror(ENXIO));
  }
  const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  SaveBitmapToFile(picture, pipe);
  std::string received(1024, '\0');
  const ssize_t count = ::read(reader, received.data(), received.size());
  ::close(reader);
  ASSERT_GT(count, 0);
  received.resize(static_cast<std::size_t>(count));
  EXPECT_EQ(received, EncodeBmp(picture));
  EXPECT_TRUE(std::filesystem::is_fifo(pipe));
  EXPECT_EQ(folder.Entries(), 1);
}

}  // namespace
}  // namespace hillograph
