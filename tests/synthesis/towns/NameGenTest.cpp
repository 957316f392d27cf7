#include "synthesis/towns/NameGen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "synthesis/base/Random.h"
#include "synthesis/base/Utf8.h"
#include "tests/synthesis/terrain/DrawCounting.h"

namespace hillograph {
namespace {

using testing::StepsBetween;

struct TDraw {
  std::int32_t range;
  std::int32_t value;
};

// Checks that replaying Draws from Seed gives their values and ends in the state State.
void ExpectDraws(std::uint32_t Seed, const std::vector<TDraw>& Draws, std::uint32_t State) {
  const std::uint32_t saved = RandSeed;
  RandSeed = Seed;
  for (std::size_t i = 0; i < Draws.size(); ++i)
    EXPECT_EQ(Random(Draws[i].range), Draws[i].value) << "draw " << i;
  EXPECT_EQ(RandSeed, State) << "the name made another number of draws";
  RandSeed = saved;
}

TEST(NameGenTest, InventedNamesOfTheWorkedExamples) {
  const struct {
    std::uint32_t seed;
    std::vector<TDraw> draws;
    std::string name;
  } cases[] = {
      {0, {{6, 0}, {2, 0}, {14, 12}, {9, 1}, {14, 3}, {2, 1}, {9, 2}, {14, 2}}, "Wekij"},
      {3,
       {{6, 0}, {2, 1}, {9, 7}, {14, 5}, {2, 0}, {14, 8}, {9, 7}, {14, 11}},
       "\xC3\x9Cmr\xC3\xBCv"},  // Ümrüv
  };
  for (const auto& c : cases) {
    RandSeed = c.seed;
    EXPECT_EQ(RandomName(), c.name) << c.seed;
    ExpectDraws(c.seed, c.draws, RandSeed);
    TNameGen names;  // without a list, NextName invents the same name
    RandSeed = c.seed;
    EXPECT_EQ(names.NextName(), c.name) << c.seed;
  }
}

// The letters of an invented name, one string each.
std::vector<std::string> Letters(const std::string& name) {
  std::vector<std::string> letters;
  for (std::size_t pos = 0; pos < name.size();) {
    const std::size_t start = pos;
    NextCodePoint(name, pos);
    letters.push_back(name.substr(start, pos - start));
  }
  return letters;
}

TEST(NameGenTest, InventedNamesArePronounceableAndDrawWithinBounds) {
  const std::set<std::string> smallVowels = {"a",        "e",        "i",        "o", "u",
                                             "\xC3\xA4", "\xC3\xB6", "\xC3\xBC", "y"};
  const std::set<std::string> capitalVowels = {"A",        "E",        "I",        "O", "U",
                                               "\xC3\x84", "\xC3\x96", "\xC3\x9C", "Y"};
  const std::set<std::string> smallConsonants = {"f", "h", "j", "k", "l", "m", "n",
                                                 "p", "r", "s", "t", "v", "w", "z"};
  std::set<std::string> capitalConsonants;
  for (const std::string& c : smallConsonants)
    capitalConsonants.insert(std::string(1, static_cast<char>(c[0] - 'a' + 'A')));

  std::set<std::string> firstLetters;
  std::set<std::size_t> lengths;
  for (std::uint32_t seed = 0; seed < 3000; ++seed) {
    RandSeed = seed * 2654435761u;
    const std::uint32_t before = RandSeed;
    const std::vector<std::string> letters = Letters(RandomName());
    const int draws = StepsBetween(before, RandSeed);
    const auto length = static_cast<int>(letters.size());
    lengths.insert(letters.size());
    ASSERT_GE(length, 5);
    ASSERT_LE(length, 10);
    ASSERT_GE(draws, length + 2);
    ASSERT_LE(draws, length + 1 + (length + 1) / 2);
    firstLetters.insert(letters[0]);
    int vowelsInRow = 0, consonantsInRow = 0;
    for (int p = 0; p < length; ++p) {
      const bool vowel =
          p == 0 ? capitalVowels.count(letters[p]) > 0 : smallVowels.count(letters[p]) > 0;
      const bool consonant =
          p == 0 ? capitalConsonants.count(letters[p]) > 0 : smallConsonants.count(letters[p]) > 0;
      ASSERT_TRUE(vowel || consonant) << "letter " << p << " '" << letters[p] << "'";
      vowelsInRow = vowel ? vowelsInRow + 1 : 0;
      consonantsInRow = consonant ? consonantsInRow + 1 : 0;
      ASSERT_LT(vowelsInRow, 2);
      ASSERT_LT(consonantsInRow, 3);
    }
  }
  EXPECT_EQ(lengths.size(), 6u);
  EXPECT_EQ(firstLetters.size(), capitalVowels.size() + capitalConsonants.size());
}

TNameGen ListOf(const std::vector<std::string>& names) {
  TNameGen gen;
  gen.SetNames(names);
  return gen;
}

TEST(NameGenTest, ListNamesOfTheWorkedExample) {
  TNameGen names = ListOf({"Alpha", "Beta", "Gamma"});
  RandSeed = 0;
  std::vector<std::string> got;
  for (int i = 0; i < 6; ++i) {
    const std::uint32_t before = RandSeed;
    got.push_back(names.NextName());
    EXPECT_EQ(StepsBetween(before, RandSeed), 1) << "call " << i;
  }
  EXPECT_EQ(got, (std::vector<std::string>{"Alpha", "Beta", "Gamma", "Alpha", "Beta", "Gamma"}));
  ExpectDraws(0, {{3, 0}, {3, 0}, {3, 2}, {3, 0}, {3, 0}, {3, 2}}, RandSeed);
}

// A seed whose first Random(n) is the given value.
std::uint32_t SeedDrawing(std::int32_t n, std::int32_t value) {
  for (std::uint32_t seed = 0;; ++seed) {
    RandSeed = seed;
    if (Random(n) == value) return seed;
  }
}

TEST(NameGenTest, ScansForwardFromTheDrawnEntryPastUsedOnes) {
  // A, B and C with A handed out already: a start on A or B gives B, a start on C gives C; with
  // A and C used, every start ends on B, wrapping around from C.
  const struct {
    std::vector<bool> used;
    std::int32_t start;
    std::string expected;
  } cases[] = {
      {{true, false, false}, 0, "B"}, {{true, false, false}, 1, "B"},
      {{true, false, false}, 2, "C"}, {{true, false, true}, 2, "B"},
      {{true, false, true}, 0, "B"},  {{false, true, true}, 1, "A"},
  };
  for (const auto& c : cases) {
    TNameGen names = ListOf({"A", "B", "C"});
    for (std::size_t i = 0; i < c.used.size(); ++i) {
      if (c.used[i]) {
        names.Marks[i] = !names.FreshMark;
        ++names.UsedCount;
      }
    }
    RandSeed = SeedDrawing(3, c.start);
    EXPECT_EQ(names.NextName(), c.expected) << "start " << c.start;
  }
}

TEST(NameGenTest, CyclesHandOutEveryNameOnceBeforeAnyComesAgain) {
  for (std::uint32_t seed = 0; seed < 200; ++seed) {
    RandSeed = seed * 7919u;
    TNameGen one = ListOf({"Solo"});
    for (int town = 0; town < 5; ++town) {
      const std::uint32_t before = RandSeed;
      ASSERT_EQ(one.NextName(), "Solo");
      ASSERT_EQ(StepsBetween(before, RandSeed), 1);
      ASSERT_EQ(one.UsedCount, 0);
    }

    TNameGen three = ListOf({"A", "B", "C"});
    std::vector<std::string> towns;
    for (int town = 0; town < 7; ++town)
      towns.push_back(three.NextName());
    const std::set<std::string> all = {"A", "B", "C"};
    ASSERT_EQ(std::set<std::string>(towns.begin(), towns.begin() + 3), all) << seed;
    ASSERT_EQ(std::set<std::string>(towns.begin() + 3, towns.begin() + 6), all) << seed;
    ASSERT_EQ(three.UsedCount, 1);
    const auto handedOut = std::count(three.Marks.begin(), three.Marks.end(), !three.FreshMark);
    ASSERT_EQ(handedOut, 1);
  }
}

}  // namespace
}  // namespace hillograph
