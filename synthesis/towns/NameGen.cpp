#include "synthesis/towns/NameGen.h"

#include <array>
#include <string_view>

#include "synthesis/random/Random.h"
#include "synthesis/towns/TownNameCache.h"

namespace hillograph {
namespace {

struct TLetter {
  std::string_view Small;
  std::string_view Capital;
};

// The order matters: a drawn index picks the letter.
constexpr std::array<TLetter, 9> Vowels = {{{"a", "A"},
                                            {"e", "E"},
                                            {"i", "I"},
                                            {"o", "O"},
                                            {"u", "U"},
                                            {"\xC3\xA4", "\xC3\x84"},  // ä Ä
                                            {"\xC3\xB6", "\xC3\x96"},  // ö Ö
                                            {"\xC3\xBC", "\xC3\x9C"},  // ü Ü
                                            {"y", "Y"}}};
constexpr std::array<TLetter, 14> Consonants = {{{"f", "F"},
                                                 {"h", "H"},
                                                 {"j", "J"},
                                                 {"k", "K"},
                                                 {"l", "L"},
                                                 {"m", "M"},
                                                 {"n", "N"},
                                                 {"p", "P"},
                                                 {"r", "R"},
                                                 {"s", "S"},
                                                 {"t", "T"},
                                                 {"v", "V"},
                                                 {"w", "W"},
                                                 {"z", "Z"}}};

// How the letters before decide the next one: after a vowel comes a consonant, after two
// consonants a vowel, otherwise a draw decides.
enum TRun { AfterVowel = 0, Open = 1, AfterTwoConsonants = 2 };

template <std::size_t N>
const TLetter& DrawLetter(const std::array<TLetter, N>& Letters) {
  return Letters[static_cast<std::size_t>(Random(static_cast<std::int32_t>(N)))];
}

// Writes a new invented name into Name, reusing its storage.
void InventName(std::string& Name) {
  Name.clear();
  const std::int32_t length = Random(NameLengthChoices) + MinNameLength;
  std::int32_t run = Open;
  for (std::int32_t p = 0; p < length; ++p) {
    const bool vowel = run == Open ? Random(2) != 0 : run == AfterTwoConsonants;
    const TLetter* letter;
    if (vowel) {
      run = AfterVowel;
      letter = &DrawLetter(Vowels);
    } else {
      ++run;
      letter = &DrawLetter(Consonants);
    }
    Name += p == 0 ? letter->Capital : letter->Small;
  }
}

}  // namespace

std::string RandomName() {
  std::string name;
  InventName(name);
  return name;
}

void TNameGen::SetNames(std::shared_ptr<const std::vector<std::string>> List) {
  Names = std::move(List);
  Marks.assign(Count(), FreshMark);
  UsedCount = 0;
}

void TNameGen::SetNames(std::vector<std::string> List) {
  SetNames(std::make_shared<const std::vector<std::string>>(std::move(List)));
}

void TNameGen::LoadFromFile(const std::string& FileName) {
  SetNames(CachedTownNames(FileName));
}

const std::string& TNameGen::NextName() {
  if (Count() == 0) {
    InventName(invented_);
    return invented_;
  }
  const auto count = static_cast<std::int32_t>(Count());
  std::int32_t i = Random(count);
  while (Marks[static_cast<std::size_t>(i)] != FreshMark) {
    if (++i == count) i = 0;
  }
  Marks[static_cast<std::size_t>(i)] = !FreshMark;
  if (++UsedCount >= count) {  // every name carries the new mark: all are available again
    FreshMark = !FreshMark;
    UsedCount = 0;
  }
  return (*Names)[static_cast<std::size_t>(i)];
}

}  // namespace hillograph
