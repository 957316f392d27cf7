// The files of one map, replacing their targets all together or not at all. Each written file is
// staged still open and unsynced; a commit forces the files of many sets to the disk with as few
// syncs as the devices they are on allow, and only then renames each set's files over their
// targets, a set whose file failed to reach the disk renaming none.
#pragma once

#include <cstddef>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "synthesis/files/LiveTemporaries.h"

namespace hillograph {

// A written temporary file, still open, that is to replace Target. Letting it go closes and
// removes the temporary file.
class TStagedFile {
 public:
  TStagedFile(int Fd, std::string Temporary, std::string Target, std::string Prefix);
  ~TStagedFile();
  TStagedFile(TStagedFile&& Other) noexcept;
  TStagedFile& operator=(TStagedFile&&) = delete;

 private:
  friend class TStagedFiles;
  friend struct TCommitRound;

  int fd_;
  std::string temporary_;
  TLiveTemporary live_;  // the temporary, for a process told to quit at once
  std::string target_;
  std::string prefix_;  // of the target's temporary names
  bool synced_ = false;
};

class TStagedFiles {
 public:
  // Tag names the set in failures (a batch's map). With SyncEach, each file is forced to the
  // disk as it is staged, on the thread that wrote it.
  explicit TStagedFiles(std::size_t Tag = 0, bool SyncEach = false);
  // Removes the files not committed: their targets stay as they were.
  ~TStagedFiles();
  TStagedFiles(const TStagedFiles&) = delete;
  TStagedFiles& operator=(const TStagedFiles&) = delete;

  // While a scope lives, TAtomicFile::Commit on its thread stages the file in Files.
  class TScope {
   public:
    explicit TScope(TStagedFiles& Files);
    ~TScope();
    TScope(const TScope&) = delete;
    TScope& operator=(const TScope&) = delete;

   private:
    TStagedFiles* outer_;
  };
  // The set of the innermost scope on this thread, or nullptr.
  static TStagedFiles* Current();

  // Takes a written file; from any thread. With SyncEach it is synced first, and a failure throws
  // std::system_error and removes the file.
  void Stage(TStagedFile File);

  std::size_t Tag() const { return tag_; }
  std::size_t Count() const;

 private:
  friend struct TCommitRound;

  std::size_t tag_;
  bool syncEach_;
  mutable std::mutex mutex_;
  std::vector<TStagedFile> files_;
};

struct TCommitFailure {
  std::size_t Tag;
  std::string FileName;  // the file or folder that failed
  int Error;             // the system's error number
};

// Forces the files of every set to the disk: one sync of the file system for a device holding
// several of them, a sync of each file on a device holding one or where the file system cannot be
// synced as a whole. Then renames the files of every set whose files all reached the disk, syncs
// each folder once, and removes the targets' stale temporaries. Returns at most one failure per
// set; a set that failed before its first rename leaves its targets as they were. The sets are
// empty afterwards.
std::vector<TCommitFailure> CommitTogether(std::span<TStagedFiles* const> Sets);

}  // namespace hillograph
