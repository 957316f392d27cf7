#include "synthesis/files/StagedFiles.h"

#include <cerrno>
#include <ctime>
#include <map>
#include <system_error>
#include <unordered_set>
#include <utility>

#include "synthesis/files/AtomicFile.h"
#include "synthesis/platform/Files.h"

namespace hillograph {
namespace {

thread_local TStagedFiles* current = nullptr;

// From this many files on a device one sync of its whole file system is cheaper than one sync
// per file.
constexpr std::size_t FilesPerFileSystemSync = 2;
// Temporaries older than this were left by a writer that died; a younger one may belong to a
// write still running in another process.
constexpr std::time_t StaleSeconds = 60;

constexpr std::string_view SuffixLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// The prefix (last component) of the temporary name Entry, or empty when it is none of ours.
std::string_view PrefixOf(std::string_view entry) {
  const std::size_t tail = TemporarySuffixLength + TemporaryEnd.size();
  if (entry.size() <= tail || !entry.ends_with(TemporaryEnd)) return {};
  const std::string_view suffix = entry.substr(entry.size() - tail, TemporarySuffixLength);
  if (suffix.find_first_not_of(SuffixLetters) != std::string_view::npos) return {};
  return entry.substr(0, entry.size() - tail);
}

std::string_view LastComponent(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Temporaries of the given prefixes that a killed writer left behind in Folder.
void RemoveStaleTemporaries(const std::string& folder,
                            const std::unordered_set<std::string_view>& prefixes) {
  std::vector<std::string> names;
  if (platform::ListFolder(folder, names) != 0) return;
  const std::time_t now = std::time(nullptr);
  for (const std::string& name : names) {
    const std::string_view prefix = PrefixOf(name);
    if (prefix.empty() || !prefixes.contains(prefix)) continue;
    const std::string path = folder + "/" + name;
    platform::TFileStatus status;
    if (platform::StatusOf(path, status, false) == 0 &&
        status.Kind == platform::TFileKind::Regular &&
        now - status.ModifiedSeconds > StaleSeconds) {
      platform::Remove(path);
    }
  }
}

}  // namespace

TStagedFile::TStagedFile(int Fd, std::string Temporary, std::string Target, std::string Prefix)
    : fd_(Fd),
      temporary_(std::move(Temporary)),
      live_(temporary_),
      target_(std::move(Target)),
      prefix_(std::move(Prefix)) {}

TStagedFile::TStagedFile(TStagedFile&& Other) noexcept
    : fd_(std::exchange(Other.fd_, -1)),
      temporary_(std::exchange(Other.temporary_, {})),
      live_(std::move(Other.live_)),
      target_(std::move(Other.target_)),
      prefix_(std::move(Other.prefix_)),
      synced_(Other.synced_) {}

TStagedFile::~TStagedFile() {
  if (fd_ >= 0) platform::Close(fd_);
  if (!temporary_.empty()) platform::Remove(temporary_);
}

TStagedFiles::TStagedFiles(std::size_t Tag, bool SyncEach) : tag_(Tag), syncEach_(SyncEach) {}

TStagedFiles::~TStagedFiles() = default;

TStagedFiles::TScope::TScope(TStagedFiles& Files) : outer_(current) {
  current = &Files;
}

TStagedFiles::TScope::~TScope() {
  current = outer_;
}

TStagedFiles* TStagedFiles::Current() {
  return current;
}

void TStagedFiles::Stage(TStagedFile File) {
  if (syncEach_) {
    if (const int error = platform::DiskCalls().SyncFile(File.fd_)) {
      throw std::system_error(error, std::generic_category());
    }
    File.synced_ = true;
  }
  const std::lock_guard lock(mutex_);
  files_.push_back(std::move(File));
}

std::size_t TStagedFiles::Count() const {
  const std::lock_guard lock(mutex_);
  return files_.size();
}

// One commit of several sets; the first failure of each set is kept.
struct TCommitRound {
  explicit TCommitRound(std::span<TStagedFiles* const> sets) : sets_(sets), failed_(sets.size()) {}

  std::vector<TCommitFailure> Run() {
    Sync();
    Close();
    CheckTargets();
    Rename();
    for (TStagedFiles* set : sets_)
      set->files_.clear();
    std::vector<TCommitFailure> failures;
    for (std::size_t s = 0; s < sets_.size(); ++s) {
      if (failed_[s].Error != 0) failures.push_back(std::move(failed_[s]));
    }
    return failures;
  }

 private:
  void Fail(std::size_t set, const std::string& name, int error) {
    if (failed_[set].Error == 0) failed_[set] = {sets_[set]->tag_, name, error};
  }

  void Sync() {
    const platform::TDiskCalls& disk = platform::DiskCalls();
    std::map<std::uint64_t, std::vector<std::pair<std::size_t, TStagedFile*>>> devices;
    for (std::size_t s = 0; s < sets_.size(); ++s) {
      for (TStagedFile& file : sets_[s]->files_) {
        if (file.synced_) continue;
        platform::TFileStatus status;
        if (const int error = platform::StatusOf(file.fd_, status)) {
          Fail(s, file.target_, error);
          continue;
        }
        devices[status.Device].emplace_back(s, &file);
      }
    }
    for (const auto& [device, files] : devices) {
      const bool whole = files.size() >= FilesPerFileSystemSync &&
                         disk.SyncFileSystem(files.front().second->fd_) == 0;
      for (const auto& [set, file] : files) {
        const int error = whole ? disk.CheckWritten(file->fd_) : disk.SyncFile(file->fd_);
        if (error != 0) Fail(set, file->target_, error);
      }
    }
  }

  void Close() {
    for (std::size_t s = 0; s < sets_.size(); ++s) {
      for (TStagedFile& file : sets_[s]->files_) {
        if (const int error = platform::Close(std::exchange(file.fd_, -1))) {
          Fail(s, file.target_, error);
        }
      }
    }
  }

  // A folder standing where a file goes would refuse its rename half way through its map.
  void CheckTargets() {
    for (std::size_t s = 0; s < sets_.size(); ++s) {
      for (const TStagedFile& file : sets_[s]->files_) {
        platform::TFileStatus status;
        if (platform::StatusOf(file.target_, status) == 0 &&
            status.Kind == platform::TFileKind::Folder) {
          Fail(s, file.target_, EISDIR);
        }
      }
    }
  }

  void Rename() {
    struct TFolder {
      std::vector<std::size_t> sets;
      std::unordered_set<std::string_view> prefixes;
    };
    std::map<std::string, TFolder> folders;
    for (std::size_t s = 0; s < sets_.size(); ++s) {
      if (failed_[s].Error != 0) continue;
      for (TStagedFile& file : sets_[s]->files_) {
        if (const int error = platform::Rename(file.temporary_, file.target_)) {
          Fail(s, file.target_, error);
          break;
        }
        file.temporary_.clear();
        file.live_.Forget();
        TFolder& folder = folders[FolderOf(file.target_)];
        if (folder.sets.empty() || folder.sets.back() != s) folder.sets.push_back(s);
        folder.prefixes.insert(LastComponent(file.prefix_));
      }
    }
    for (const auto& [name, folder] : folders) {
      if (const int error = platform::SyncFolder(name)) {
        for (const std::size_t s : folder.sets)
          Fail(s, name, error);
      }
      RemoveStaleTemporaries(name, folder.prefixes);
    }
  }

  std::span<TStagedFiles* const> sets_;
  std::vector<TCommitFailure> failed_;
};

std::vector<TCommitFailure> CommitTogether(std::span<TStagedFiles* const> Sets) {
  return TCommitRound(Sets).Run();
}

}  // namespace hillograph
