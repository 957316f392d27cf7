#include "cli/Resume.h"

#include <climits>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "synthesis/files/AtomicFile.h"

namespace hillograph {
namespace {

constexpr std::string_view SuffixLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

bool IsRegularFile(const std::string& name) {
  std::error_code error;
  return std::filesystem::is_regular_file(name, error);
}

// The target a write replaces: the file a link points to, as the writer follows it.
std::string Resolved(const std::string& target) {
  std::error_code error;
  const std::filesystem::path real = std::filesystem::weakly_canonical(target, error);
  return error ? target : real.string();
}

}  // namespace

bool MapIsMade(const std::vector<std::string>& Files, const TManifestLine* Recorded,
               bool HasManifest) {
  for (const std::string& file : Files)
    if (!IsRegularFile(file)) return false;
  if (!HasManifest) return true;
  if (Recorded == nullptr || !Recorded->Ok || Recorded->Files.size() != Files.size()) return false;
  for (const std::string& file : Files) {
    const TManifestFile* recorded = nullptr;
    for (const TManifestFile& r : Recorded->Files)
      if (r.Name == file) recorded = &r;
    if (recorded == nullptr) return false;
    std::error_code error;
    if (std::filesystem::file_size(file, error) != recorded->Size || error) return false;
    if (DescribeFile(file).Sha256 != recorded->Sha256) return false;
  }
  return true;
}

std::size_t RemoveLeftTemporaries(const std::vector<std::string>& Targets) {
  // The temporary names' prefixes, by folder: each folder is listed once.
  std::map<std::filesystem::path, std::set<std::string>> prefixes;
  for (const std::string& target : Targets) {
    const std::filesystem::path prefix = TemporaryPrefix(Resolved(target), NAME_MAX);
    prefixes[prefix.parent_path()].insert(prefix.filename().string());
  }
  std::size_t removed = 0;
  for (const auto& [folder, names] : prefixes) {
    std::error_code error;
    std::filesystem::directory_iterator entries(folder.empty() ? "." : folder, error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
      const std::string name = entries->path().filename().string();
      const std::size_t tail = TemporarySuffixLength + TemporaryEnd.size();
      if (name.size() <= tail || !name.ends_with(TemporaryEnd)) continue;
      const std::string prefix = name.substr(0, name.size() - tail);
      const std::string suffix = name.substr(prefix.size(), TemporarySuffixLength);
      if (!names.contains(prefix) || suffix.find_first_not_of(SuffixLetters) != std::string::npos)
        continue;
      std::error_code ignored;
      if (entries->is_regular_file(ignored) && std::filesystem::remove(entries->path(), ignored))
        ++removed;
    }
  }
  return removed;
}

}  // namespace hillograph
