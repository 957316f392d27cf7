#include "synthesis/towns/NameGen.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "synthesis/base/Random.h"
#include "synthesis/base/Utf8.h"
#include "tests/synthesis/terrain/DrawCounting.h"

namespace hillograph {
namespace {

TEST(NameGenTest, WorkedInventedNames) {
  const struct {
    std::uint32_t seed;
    std::vector<std::pair<std::int32_t, std::int32_t>> draws;  // range, value
    std::string name;
  } cases[] = {
      {0, {{6, 0}, {2, 0}, {14, 12}, {9, 1}, {14, 3}, {2, 1}, {9, 2}, {14, 2}}, "Wekij"},
      {3,
       {{6, 0}, {2, 1}, {9, 7}, {14, 5}, {2, 0}, {14, 8}, {9, 7}, {14, 11}},
       "\xC3\x9Cmr\xC3\xBCv"},
  };
  for (const auto& c : cases) {
    RandSeed = c.seed;
    TNameGen names;  // without a list it invents
    EXPECT_EQ(names.NextName(), c.name);
    const std::uint32_t end = RandSeed;
    RandSeed = c.seed;
    for (const auto& [range, value] : c.draws)
      EXPECT_EQ(Random(range), value) << c.name;
    EXPECT_EQ(RandSeed, end) << c.name << ": another number of draws";
  }
}

// Five to ten letters, never two vowels or three consonants in a row, every letter able to start
// a name, one draw per letter and one for the length, and one per vowel-or-consonant choice.
TEST(NameGenTest, InventedNamesArePronounceable) {
  const std::string consonants = "fhjklmnprstvwzFHJKLMNPRSTVWZ";
  std::set<std::string> firstLetters;
  for (std::uint32_t seed = 0; seed < 3000; ++seed) {
    RandSeed = seed * 2654435761u;
    const std::uint32_t before = RandSeed;
    const std::string name = RandomName();
    std::string shape;  // c or v for each letter
    for (std::size_t pos = 0, start = 0; pos < name.size(); start = pos) {
      NextCodePoint(name, pos);
      if (start == 0) firstLetters.insert(name.substr(0, pos));
      shape += pos - start == 1 && consonants.find(name[start]) != std::string::npos ? 'c' : 'v';
    }
    const auto length = static_cast<int>(shape.size());
    const int draws = testing::StepsBetween(before, RandSeed);
    ASSERT_TRUE(length >= 5 && length <= 10) << name;
    ASSERT_TRUE(shape.find("vv") == std::string::npos && shape.find("ccc") == std::string::npos)
        << name;
    ASSERT_TRUE(draws >= length + 2 && draws <= length + 1 + (length + 1) / 2) << name;
  }
  EXPECT_EQ(firstLetters.size(), 9u + 14u);
}

TNameGen ListOf(const std::vector<std::string>& list, const std::vector<bool>& used = {}) {
  TNameGen names;
  names.SetNames(list);
  for (std::size_t i = 0; i < used.size(); ++i) {
    if (!used[i]) continue;
    names.Marks[i] = !names.FreshMark;
    ++names.UsedCount;
  }
  return names;
}

TEST(NameGenTest, ListNames) {
  TNameGen worked = ListOf({"Alpha", "Beta", "Gamma"});
  RandSeed = 0;  // draws Random(3) = 0, 0, 2, 0, 0, 2
  std::vector<std::string> got;
  for (int i = 0; i < 6; ++i)
    got.push_back(worked.NextName());
  EXPECT_EQ(got, (std::vector<std::string>{"Alpha", "Beta", "Gamma", "Alpha", "Beta", "Gamma"}));
  EXPECT_EQ(RandSeed, testing::StateAfter(0, 6));
  // The scan goes forward from the drawn entry past those handed out, and wraps around.
  const struct {
    std::vector<bool> used;
    std::uint32_t seed;  // Random(3) draws 0 from 0, 1 from 11, 2 from 22
    std::string expected;
  } cases[] = {{{true, false, false}, 0, "B"},
               {{true, false, false}, 22, "C"},
               {{true, false, true}, 22, "B"},
               {{false, true, true}, 11, "A"}};
  for (const auto& c : cases) {
    RandSeed = c.seed;
    EXPECT_EQ(ListOf({"A", "B", "C"}, c.used).NextName(), c.expected) << c.seed;
  }
}

}  // namespace
}  // namespace hillograph
