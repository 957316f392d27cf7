#include "cli/Manifest.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>
#include <vector>

#include "synthesis/base/Error.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

TManifestLine Line(std::int32_t seed, bool ok = true) {
  return {seed,
          ok,
          ok ? "" : "Cannot create file \"/x/m.png\". No such file or directory",
          {{"out/m" + std::to_string(seed) + ".png", 1234, std::string(64, 'a')},
           {"h.r16", 0, std::string(64, 'b')}},
          "RandSeed=" + std::to_string(seed) + "&Mountain=%23FF0000",
          "1.2.0"};
}

// Files are recorded by their size and SHA-256 as they are on the disk.
TEST(ManifestTest, FilesAreDescribedBySizeAndSha256) {
  const testing::TTempFolder folder;
  for (const auto& [bytes, sha256] :
       {std::pair{std::string("abc"),
                  "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}}) {
    const TManifestFile file = DescribeFile(folder.Write("f", bytes));
    EXPECT_EQ(file, (TManifestFile{folder.Path("f"), bytes.size(), sha256}));
  }
  EXPECT_THROW(DescribeFile(folder.Path("none")), TError);
}

// A crash leaves half a line at the end: reading drops it, and the next run's lines stay whole.
TEST(ManifestTest, ATornLastLineIsDroppedAndTheNextRunStartsANewLine) {
  const testing::TTempFolder folder;
  const std::string name = folder.Path("m.jsonl");
  {
    TManifestWriter writer(name);
    std::vector<std::jthread> threads;
    for (std::int32_t seed = 0; seed < 4; ++seed)
      threads.emplace_back([&writer, seed] { writer.Append(Line(seed, seed != 2)); });
  }
  std::ofstream(name, std::ios::app) << ManifestText(Line(9)).substr(0, 50);
  EXPECT_EQ(ReadManifest(name).size(), 4u);
  EXPECT_EQ(ReadManifest(name)[2], Line(2, false));
  TManifestLine line;
  for (const std::string bad : {"[1]", "{\"seed\":\"3\"}", "{\"seed\":3,\"status\":\"ok\"}"})
    EXPECT_FALSE(ParseManifestLine(bad, line)) << bad;
  {
    TManifestWriter writer(name);
    writer.Append(Line(2));  // a later line of the same seed counts
    writer.Append(Line(5));
  }
  auto lines = ReadManifest(name);
  EXPECT_EQ(lines.size(), 5u);
  for (const std::int32_t seed : {0, 1, 2, 3, 5})
    EXPECT_EQ(lines[seed], Line(seed)) << seed;
  EXPECT_THROW(TManifestWriter(folder.Path("none/m.jsonl")), TError);
}

}  // namespace
}  // namespace hillograph
