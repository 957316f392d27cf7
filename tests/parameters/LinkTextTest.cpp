#include "parameters/LinkText.h"

#include <gtest/gtest.h>

#include <string>

namespace hillograph {
namespace {

// Each map read is given as the text written for it, which the next test pins to its values; a
// link never names a town database nor turns automatic refresh off.
TEST(LinkTextTest, ReadsPairsInOrderOnTheStartUpValuesAndNamesWhatItLeavesOut) {
  const struct {
    std::string text;
    std::string map;  // as written
    std::size_t problems;
  } cases[] = {
      {"", "", 0},
      {"https://maps.example/hillograph/index.html", "", 0},
      {"#RandSeed=42&Width=800&WaterAmount=35&Mountain=%23FF0000",
       "Width=800&RandSeed=42&WaterAmount=35&Mountain=%23FF0000", 0},
      {"https://maps.example/?Width=9#TownAmount=30.5&Mountain=#00FF00&Grid=%24303000",
       "TownAmount=30.5&Grid=%23003030&Mountain=%2300FF00", 0},
      {"TownAmount=30.5&t%6fwnamount=3%31&&RandSeed=2.5&Shadows=+1e1&",
       "RandSeed=2.5&TownAmount=31&Shadows=10", 0},
      {"Size=2000x3000&Width=5000&LabelScale=3&smoothheightmap=1",
       "Size=1000x3000&LabelScale=3&SmoothHeightmap=1", 0},
      {"TownDB=%2Fetc%2Fpasswd&RandSeed=7&AutoRefresh=0", "RandSeed=7", 2},
      {"Foo=1&Width=%ZZ&Width=%4&Shadows=abc&LabelScale=17&LabelScale=1.5&Size=0x5&RandSeed"
       "&Diversity=900&Grid=%23GG0000&SmoothHeightmap=true",
       "Diversity=900", 10},
  };
  for (const auto& c : cases) {
    const TLinkReading reading = ReadLinkText(c.text);
    EXPECT_EQ(WriteLinkText(reading.Map), c.map) << c.text;
    EXPECT_TRUE(reading.Map.Params.TownDB.empty() && reading.Map.Params.AutoRefresh) << c.text;
    EXPECT_EQ(reading.Problems.size(), c.problems) << c.text;
  }
  EXPECT_EQ(ReadLinkText("Shadows=x%26%0Ay").Problems.at(0),
            "invalid value \"x&\ny\" for Shadows: expected a number");
}

// Each written text also reads back, without a problem, to the map it came from.
TEST(LinkTextTest, WritesWhatDiffersFromTheStartUpValuesAndReadsItBack) {
  const struct {
    void (*change)(TLinkMap&);
    std::string text;
  } cases[] = {
      {[](TLinkMap& m) { m.Params.TownDB = "towns.txt", m.Params.AutoRefresh = false; }, ""},
      {[](TLinkMap& m) {
         m.Params.RandSeed = 42, m.Params.Width = 800, m.Params.WaterAmount = 35,
         m.Params.Mountain = RGB(255, 0, 0);
       },
       "Width=800&RandSeed=42&WaterAmount=35&Mountain=%23FF0000"},
      {[](TLinkMap& m) { m.Params.TownAmount = 30.5, m.Params.Grid = RGB(1, 0xAB, 0xC0); },
       "TownAmount=30.5&Grid=%2301ABC0"},
      {[](TLinkMap& m) { m.Params.TownAmount = 0.1 + 0.2, m.Params.SeaMin = 0xFFFFFFFF; },
       "TownAmount=0.30000000000000004&SeaMin=-1"},
      {[](TLinkMap& m) { m.Params.Width = 2000, m.Params.Shadows = 0, m.LabelScale = 4; },
       "Size=2000x480&Shadows=0&LabelScale=4"},
  };
  for (const auto& c : cases) {
    TLinkMap map;
    c.change(map);
    EXPECT_EQ(WriteLinkText(map), c.text);
    const TLinkReading reading = ReadLinkText(c.text);
    map.Params.TownDB.clear();
    map.Params.AutoRefresh = true;
    EXPECT_EQ(reading.Map, map) << c.text;
    EXPECT_TRUE(reading.Problems.empty()) << c.text;
  }
}

}  // namespace
}  // namespace hillograph
