// Town names: invented, pronounceable names, or names drawn without repetition from a town
// database. Every choice is a draw from RandSeed, so the names follow from the map's seed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hillograph {

inline constexpr std::int32_t MinNameLength = 5;
inline constexpr std::int32_t NameLengthChoices = 6;  // 5 .. 10 letters

// A new invented name of 5 to 10 letters, in UTF-8, capitalised. Draws Random(6) for the length,
// then per letter Random(2) where the letters before leave vowel or consonant open, and Random(9)
// for a vowel or Random(14) for a consonant. No two vowels and no three consonants in a row.
std::string RandomName();

// The name source of one render. The names of a town database are shared, unchanged, between the
// renders that use the same file; each render keeps its own cycle marks beside them.
class TNameGen {
 public:
  // The town database in file order, UTF-8 lines without their line breaks; null or empty:
  // invent names.
  std::shared_ptr<const std::vector<std::string>> Names;
  std::vector<bool> Marks;     // one per name: still available while equal to FreshMark
  bool FreshMark = false;      // the mark of the names not yet handed out in this cycle
  std::int32_t UsedCount = 0;  // names handed out in this cycle

  std::size_t Count() const { return Names ? Names->size() : 0; }

  // Takes the names and starts a new cycle. Draws nothing.
  void SetNames(std::shared_ptr<const std::vector<std::string>> List);
  void SetNames(std::vector<std::string> List);

  // Takes the lines of the town database FileName, read again only when the file has changed
  // since it was last read, and starts a new cycle. Draws nothing. Throws TError when the file
  // cannot be opened or read, leaving the names as they were.
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
