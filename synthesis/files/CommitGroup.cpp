#include "synthesis/files/CommitGroup.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <system_error>

#include "synthesis/base/Error.h"
#include "synthesis/files/AtomicFile.h"
#include "synthesis/files/OutputFile.h"

namespace hillograph {
namespace {

thread_local TCommitGroup* current = nullptr;

std::string Reason(int error) {
  return std::generic_category().message(error);
}

// After the file system's sync this writes nothing and waits for nothing; it reports a write
// error of this file that the sync may have swallowed.
int CheckWritten(int fd) {
#ifdef __linux__
  const unsigned flags =
      SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;
  return ::sync_file_range(fd, 0, 0, flags) == 0 ? 0 : errno;
#else
  return ::fsync(fd) == 0 ? 0 : errno;
#endif
}

}  // namespace

TCommitGroup::TCommitGroup() {
  if (current != nullptr) throw TError("Commit groups do not nest");
  current = this;
}

TCommitGroup::~TCommitGroup() {
  for (const TPending& file : pending_) {
    ::close(file.Fd);
    ::unlink(file.Temporary.c_str());
  }
  current = nullptr;
}

TCommitGroup* TCommitGroup::Current() {
  return current;
}

void TCommitGroup::Adopt(int Fd, std::string Temporary, std::string Target) {
  pending_.push_back({Fd, std::move(Temporary), std::move(Target), tag_});
}

std::vector<TCommitGroup::TFailure> TCommitGroup::Flush() {
  std::vector<TFailure> failures;
  if (pending_.empty()) return failures;
  const bool synced = ::syncfs(pending_.front().Fd) == 0;
  std::set<std::string> folders;
  for (const TPending& file : pending_) {
    int error = synced ? CheckWritten(file.Fd) : (::fsync(file.Fd) == 0 ? 0 : errno);
    if (::close(file.Fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(file.Temporary.c_str(), file.Target.c_str()) != 0) error = errno;
    if (error != 0) {
      ::unlink(file.Temporary.c_str());
      failures.push_back({file.Tag, CannotCreateFileMessage(file.Target, Reason(error))});
      continue;
    }
    const std::string folder = std::filesystem::path(file.Target).parent_path().string();
    folders.insert(folder.empty() ? "." : folder);
  }
  pending_.clear();
  for (const std::string& folder : folders) {
    if (const int error = SyncFolder(folder); error != 0) {
      failures.push_back({tag_, CannotCreateFileMessage(folder, Reason(error))});
    }
  }
  return failures;
}

}  // namespace hillograph
