// Town names: invented, pronounceable names, or names drawn without repetition from a town
// database. Every choice is a draw from RandSeed, so the names follow from the map's seed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hillograph {

// One name of the town database.
struct TNameGenEntry {
  std::string Name;   // UTF-8, the line without its line break
  bool Mark = false;  // still available in this cycle while equal to the owner's FreshMark
};

inline constexpr std::int32_t MinNameLength = 5;
inline constexpr std::int32_t NameLengthChoices = 6;  // 5 .. 10 letters

// A new invented name of 5 to 10 letters, in UTF-8, capitalised. Draws Random(6) for the length,
// then per letter Random(2) where the letters before leave vowel or consonant open, and Random(9)
// for a vowel or Random(14) for a consonant. No two vowels and no three consonants in a row.
std::string RandomName();

// The name source of one render.
class TNameGen {
 public:
  std::vector<TNameGenEntry> Names;  // the town database in file order; empty: invent names
  bool FreshMark = false;            // the Mark of the entries not yet handed out in this cycle
  std::int32_t UsedCount = 0;        // entries handed out in this cycle

  // Replaces Names by the lines of the town database FileName and starts a new cycle. Draws
  // nothing. Throws TError when the file cannot be opened or read, leaving Names as they were.
  void LoadFromFile(const std::string& FileName);

  // The next town's name, valid until the next call: an invented name while Names is empty,
  // otherwise, with one draw Random(count), the first entry not yet handed out in this cycle at or
  // after the drawn index (wrapping around). When every entry has been handed out, a new cycle
  // begins.
  const std::string& NextName();

 private:
  std::string invented_;
};

}  // namespace hillograph
