#include "synthesis/files/CommitGroup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "synthesis/files/AtomicFile.h"
#include "tests/TempFolder.h"

namespace hillograph {
namespace {

// A file written while a group is open; Gone removes its folder before the group is flushed.
struct TGroupedFile {
  const char* Name;
  std::size_t Tag;
  bool Gone;
};

struct TGroupRow {
  std::vector<TGroupedFile> Files;
};

class CommitGroupFlush : public ::testing::TestWithParam<TGroupRow> {};

TEST_P(CommitGroupFlush, ReplacesOnlyAtTheFlushAndNamesTheFailures) {
  testing::TTempFolder folder;
  for (const TGroupedFile& file : GetParam().Files) {
    std::filesystem::create_directories(folder.Dir() / std::to_string(file.Tag));
    folder.Write(std::to_string(file.Tag) + "/" + file.Name, "old");
  }
  TCommitGroup group;
  for (const TGroupedFile& file : GetParam().Files) {
    group.SetTag(file.Tag);
    WriteFileAtomically(folder.Path(std::to_string(file.Tag) + "/" + file.Name), "new");
    EXPECT_EQ(folder.Read(std::to_string(file.Tag) + "/" + file.Name), "old");
  }
  EXPECT_EQ(group.Pending(), GetParam().Files.size());
  std::size_t gone = 0;
  for (const TGroupedFile& file : GetParam().Files) {
    if (file.Gone) {
      std::filesystem::remove_all(folder.Dir() / std::to_string(file.Tag));
      ++gone;
    }
  }
  const std::vector<TCommitGroup::TFailure> failures = group.Flush();
  ASSERT_EQ(failures.size(), gone);
  for (const TCommitGroup::TFailure& failure : failures) {
    EXPECT_NE(failure.Message.find("Cannot create file"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.Dir() / std::to_string(failure.Tag)))
        << "failure tagged " << failure.Tag;
  }
  for (const TGroupedFile& file : GetParam().Files) {
    if (file.Gone) continue;
    EXPECT_EQ(folder.Read(std::to_string(file.Tag) + "/" + file.Name), "new") << file.Name;
  }
  // No temporary file is left behind, neither of the replaced files nor of the failed ones.
  long files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.Dir()))
    files += entry.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, static_cast<long>(GetParam().Files.size() - gone));
  EXPECT_EQ(group.Pending(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CommitGroupFlush,
    ::testing::Values(TGroupRow{{{"a.bmp", 1, false}, {"b.png", 1, false}, {"c.json", 2, false}}},
                      TGroupRow{{{"a.bmp", 1, false}, {"b.bmp", 2, true}, {"c.bmp", 3, false}}}));

}  // namespace
}  // namespace hillograph
