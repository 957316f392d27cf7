#include "synthesis/raster/Bmp.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "synthesis/base/Error.h"
#include "synthesis/files/PictureFile.h"
#include "tests/FailingDisk.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

namespace fs = std::filesystem;

// The little-endian 32-bit number at a byte of a file.
std::uint32_t Le32(const std::string& b, std::size_t i) {
  std::uint32_t value = 0;
  for (std::size_t k = 4; k-- > 0;)
    value = value << 8 | static_cast<std::uint8_t>(b.at(i + k));
  return value;
}

// Blue x, green y and red x + y.
TPicture Gradient(std::int32_t width, std::int32_t height) {
  TPicture picture;
  picture.SetSize(width, height);
  for (std::int32_t i = 0; i < 3 * width * height; ++i) {
    const std::int32_t x = i / 3 % width, y = i / 3 / width;
    const std::int32_t channels[] = {x, y, x + y};
    picture.ScanLine(y)[i % (3 * width)] = static_cast<std::uint8_t>(channels[i % 3]);
  }
  return picture;
}

// Headers, then the rows bottom-up, each padded to four bytes; any size reads back (the reader
// checks the signature and the file size field).
TEST(BmpTest, LayoutAndRoundTrip) {
  const std::string bytes = EncodeBmp(Gradient(1, 2));
  for (const auto& [at, value] :
       {std::pair{2, 62}, {10, 54}, {14, 40}, {18, 1}, {22, 2}, {38, 3780}, {42, 3780}})
    EXPECT_EQ(Le32(bytes, at), static_cast<std::uint32_t>(value)) << at;
  EXPECT_EQ(bytes.substr(28, 6), std::string("\x18\0\0\0\0\0", 6));
  EXPECT_EQ(bytes.substr(54), std::string("\0\x01\x01\0\0\0\0\0", 8));
  // Rows of 5 pixels padded to 16 bytes, bottom-up, blue first.
  const testing::TTempFolder folder;
  SaveBitmapToFile(Gradient(5, 7), folder.Path("g.bmp"));
  const std::string file = folder.Read("g.bmp");
  ASSERT_EQ(file.size(), 54u + 16 * 7);
  for (std::size_t i = 0; i < 5 * 7; ++i)
    EXPECT_EQ(file.substr(54 + 16 * (6 - i / 5) + 3 * (i % 5), 3),
              (std::string{char(i % 5), char(i / 5), char(i % 5 + i / 5)}))
        << i;
  // Large enough to go to the system in several runs of rows, each reported as it is written.
  struct TWriting : TProgress {
    void Report(std::string_view Stage, double Fraction) override {
      EXPECT_EQ(Stage, "Writing");
      EXPECT_GT(Fraction, fractions.empty() ? 0.0 : fractions.back());
      fractions.push_back(Fraction);
    }
    std::vector<double> fractions;
  } writing;
  const TPicture large = Gradient(701, 999);
  SaveBitmapToFile(large, folder.Path("large.bmp"), &writing);
  EXPECT_EQ(folder.Read("large.bmp"), EncodeBmp(large));
  EXPECT_GE(writing.fractions.size(), 2u);
  EXPECT_EQ(writing.fractions.back(), 1.0);
}

// Every output of the program goes through this writer: a failure names the file and the
// system's reason, keeps the earlier file and leaves nothing behind.
TEST(BmpTest, AFailedWriteKeepsTheEarlierFile) {
  const testing::TTempFolder folder;
  for (const char* dir : {"folder.bmp", "locked"})
    fs::create_directories(folder.Path(dir));
  const TPicture picture = Gradient(64, 64);
  const long whole = static_cast<long>(EncodeBmp(picture).size());
  const struct {
    const char* name;
    long budget;  // bytes the disk takes before it fails; -1: a disk that works
    int error;
  } cases[] = {
      {"map.bmp", 0, ENOSPC},
      {"map.bmp", whole - 1, ENOSPC},
      {"map.bmp", 54, EIO},
      {"missing/map.bmp", -1, ENOENT},
      {"map.bmp/inside", -1, ENOTDIR},
      {"folder.bmp", -1, EISDIR},
      {"locked/map.bmp", -1, ::geteuid() == 0 ? 0 : EACCES},
  };
  for (const auto& c : cases) {
    if (c.error == 0) continue;  // permission bits do not stop a privileged user
    folder.Write("map.bmp", "earlier picture");
    fs::permissions(folder.Path("locked"), fs::perms(0555));
    try {
      std::optional<testing::TFailingDiskScope> disk;
      if (c.budget >= 0) disk.emplace(c.budget, c.error);
      SaveBitmapToFile(picture, folder.Path(c.name));
      ADD_FAILURE() << c.name << ": no error after " << c.budget << " bytes";
    } catch (const TError& e) {
      EXPECT_EQ(std::string(e.what()),
                "Cannot create file \"" + folder.Path(c.name) + "\". " + std::strerror(c.error));
    }
    fs::permissions(folder.Path("locked"), fs::perms(0755));
    EXPECT_EQ(folder.Read("map.bmp"), "earlier picture");
    EXPECT_EQ(folder.Entries() * 10 + fs::is_empty(folder.Path("locked")), 31) << c.name;
  }
}

// The file is replaced where its path leads: links stay links, and the permissions stay.
TEST(BmpTest, ReplacesTheFileItsPathLeadsTo) {
  const testing::TTempFolder folder;
  fs::create_directories(folder.Path("maps"));
  fs::permissions(folder.Write("maps/old.bmp", "earlier"), fs::perms(0640));
  // {link, its target relative to the link's folder, the file written}
  const char* cases[][3] = {{"to-old.bmp", "maps/old.bmp", "maps/old.bmp"},
                            {"dangling.bmp", "maps/new.bmp", "maps/new.bmp"},
                            {"maps/up.bmp", "../top.bmp", "top.bmp"},
                            {"twice.bmp", "dangling.bmp", "maps/new.bmp"}};
  for (const auto& [link, target, written] : cases) {
    fs::create_symlink(target, folder.Path(link));
    SaveBitmapToFile(Gradient(2, 2), folder.Path(link));
    EXPECT_TRUE(fs::is_symlink(folder.Path(link))) << link;
    EXPECT_EQ(folder.Read(written), EncodeBmp(Gradient(2, 2))) << link;
  }
  EXPECT_EQ(fs::status(folder.Path("maps/old.bmp")).permissions(), fs::perms(0640));
  // The links, top.bmp, and maps with old.bmp, new.bmp and up.bmp: no temporary file.
  EXPECT_EQ(std::distance(fs::recursive_directory_iterator(folder.Dir()), {}), 8);
}

}  // namespace
}  // namespace hillograph
