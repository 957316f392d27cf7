// Writes a file whole or not at all: the bytes go to a temporary file beside the target, which
// replaces the target only once everything has reached the disk. A failure at any point leaves
// the target as it was and removes the temporary file. Links are followed; a target that is a
// device, a pipe or a socket is written into in place, since replacing it would lose it.
//
// The temporary file is ".<name>.hillograph-XXXXXX.tmp" beside the target, so that one left by a
// killed process is recognised; the next successful write of the same target removes those older
// than a minute. Nothing process-wide (umask, current folder, signals) changes during a write.
#pragma once

#include <sys/uio.h>

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "synthesis/files/LiveTemporaries.h"

namespace hillograph {

inline constexpr std::string_view TemporaryMark = ".hillograph-";
inline constexpr std::string_view TemporaryEnd = ".tmp";
inline constexpr std::size_t TemporarySuffixLength = 6;

// The temporary names of Target up to their unique suffix: the folder, a dot, the file name cut so
// that a whole temporary name fits in NameMax bytes, and TemporaryMark.
std::string TemporaryPrefix(std::string_view Target, long NameMax);

// Forces the folder's entries (a renamed file's new name) to the disk: 0, or the system's error.
// File systems that cannot sync a folder say so with EINVAL; they keep their entries by other
// means.
int SyncFolder(const std::string& Folder);

class TAtomicFile {
 public:
  // Creates the temporary file; throws std::system_error with the system's error.
  explicit TAtomicFile(const std::string& Target);
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  void Write(const void* Data, std::size_t Size);
  void Write(std::string_view Text) { Write(Text.data(), Text.size()); }
  // Writes the pieces one after another, handing the system as many as it takes in one call
  // instead of copying them together first. The pieces are used up: their entries change.
  void Write(std::span<iovec> Pieces);

  // Flushes, closes and renames over the target, then forces the folder entry to the disk; or,
  // while a TCommitGroup is open on this thread, hands the file to it for all that.
  void Commit();

  // Test seam: when set, every write of raw bytes goes through it instead of ::writev.
  using TWriteFunction = long (*)(int fd, const iovec* pieces, int count);
  static TWriteFunction WriteFunction;

 private:
  void OpenInPlace(const std::string& Target);
  void Fail(int error);
  void RemoveStaleTemporaries() const;

  std::string target_;
  std::string prefix_;  // of the temporary names of the target
  std::string temporary_;
  TLiveTemporary live_;  // the temporary, for a process told to quit at once
  int fd_ = -1;
  bool inPlace_ = false;
};

// Writes Data to Target through a TAtomicFile.
void WriteFileAtomically(const std::string& Target, std::string_view Data);

}  // namespace hillograph
