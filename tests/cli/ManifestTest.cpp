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
  TManifestLine line;
  line.Seed = seed;
  line.Ok = ok;
  line.Message = ok ? "" : "Cannot create file \"/x/m.png\". No such file or directory";
  line.Files = {{"out/m" + std::to_string(seed) + ".png", 1234, std::string(64, 'a')},
                {"out/h.r16", 0, std::string(64, 'b')}};
  line.Link = "RandSeed=" + std::to_string(seed) + "&Mountain=%23FF0000";
  line.Version = "1.2.0";
  return line;
}

TEST(ManifestTest, LinesReadBackAndOthersAreNotLines) {
  for (const bool ok : {true, false}) {
    const std::string text = ManifestText(Line(7, ok));
    ASSERT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find('\n'), text.size() - 1);
    TManifestLine back;
    ASSERT_TRUE(ParseManifestLine(text.substr(0, text.size() - 1), back)) << text;
    EXPECT_EQ(back, Line(7, ok)) << text;
  }
  // A name that is not UTF-8 still gives a line.
  TManifestLine latin1 = Line(1);
  latin1.Files[0].Name = "M\xFCnster.png";
  TManifestLine back;
  ASSERT_TRUE(ParseManifestLine(ManifestText(latin1), back));
  EXPECT_EQ(back.Files[0].Name, "M\xEF\xBF\xBDnster.png");
  EXPECT_EQ(ManifestText(Line(3)).substr(0, 29), "{\"seed\":3,\"status\":\"ok\",\"file");
  const std::string whole = ManifestText(Line(3));
  TManifestLine line;
  for (const std::string& bad :
       {std::string(), std::string("[1]"), whole.substr(0, 40),
        std::string("{\"seed\":3,\"status\":\"maybe\",\"files\":[],\"link\":\"\","
                    "\"version\":\"\"}"),
        std::string("{\"seed\":\"3\"}")}) {
    EXPECT_FALSE(ParseManifestLine(bad, line)) << bad;
  }
}

TEST(ManifestTest, FilesAreDescribedBySizeAndSha256) {
  const testing::TTempFolder folder;
  const struct {
    std::string bytes;
    const char* sha256;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) {
    const std::string name = folder.Write("f", c.bytes);
    const TManifestFile file = DescribeFile(name);
    EXPECT_EQ(file.Name, name);
    EXPECT_EQ(file.Size, c.bytes.size());
    EXPECT_EQ(file.Sha256, c.sha256);
  }
  EXPECT_THROW(DescribeFile(folder.Path("none")), TError);
}

// A crash leaves half a line at the end: reading drops it, and the next run's lines stay whole.
TEST(ManifestTest, ATornLastLineIsDroppedAndTheNextRunStartsANewLine) {
  const testing::TTempFolder folder;
  const std::string name = folder.Path("m.jsonl");
  EXPECT_TRUE(ReadManifest(name).empty());
  {
    TManifestWriter writer(name);
    std::vector<std::jthread> threads;
    for (std::int32_t seed = 0; seed < 4; ++seed)
      threads.emplace_back([&writer, seed] { writer.Append(Line(seed, seed != 2)); });
  }
  std::ofstream(name, std::ios::app) << ManifestText(Line(9)).substr(0, 50);
  auto lines = ReadManifest(name);
  ASSERT_EQ(lines.size(), 4u);
  for (std::int32_t seed = 0; seed < 4; ++seed)
    EXPECT_EQ(lines[seed], Line(seed, seed != 2));
  {
    TManifestWriter writer(name);
    writer.Append(Line(2));  // a later line of the same seed wins
    writer.Append(Line(5));
  }
  lines = ReadManifest(name);
  EXPECT_EQ(lines.size(), 5u);
  EXPECT_TRUE(lines[2].Ok);
  EXPECT_EQ(lines[5], Line(5));
  EXPECT_EQ(lines.count(9), 0u);
  EXPECT_THROW(TManifestWriter(folder.Path("none/m.jsonl")), TError);
}

}  // namespace
}  // namespace hillograph
