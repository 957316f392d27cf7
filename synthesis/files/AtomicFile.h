// Writes a file whole or not at all: the bytes go to a temporary file beside the target, which
// replaces the target only once everything has reached the disk. A failure at any point leaves
// the target as it was and removes the temporary file. Links are followed; a target that is a
// device, a pipe or a socket is written into in place, since replacing it would lose it.
//
// The temporary file is ".<name>.hillograph-XXXXXX.tmp" beside the target, so that one left by a
// killed process is recognised; the next successful write of the same target removes those older
// than a minute. Nothing process-wide (umask, current folder, signals) changes during a write.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "synthesis/files/LiveTemporaries.h"
#include "synthesis/raster/ByteSink.h"

namespace hillograph {

inline constexpr std::string_view TemporaryMark = ".hillograph-";
inline constexpr std::string_view TemporaryEnd = ".tmp";
inline constexpr std::size_t TemporarySuffixLength = 6;

// The temporary names of Target up to their unique suffix: the folder, a dot, the file name cut so
// that a whole temporary name fits in NameMax bytes, and TemporaryMark.
std::string TemporaryPrefix(std::string_view Target, long NameMax);

// The folder a path's last component is in: "." for a bare name.
std::string FolderOf(const std::string& Path);

class TAtomicFile final : public TByteSink {
 public:
  // Creates the temporary file; throws std::system_error with the system's error.
  explicit TAtomicFile(const std::string& Target);
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  using TByteSink::Write;
  void Write(std::string_view Text) { Write(Text.data(), Text.size()); }
  void Write(TByteRange Bytes) override;
  // Hands the system as many ranges as it takes in one call instead of copying them together.
  void WriteRanges(std::span<TByteRange> Ranges) override;

  // Flushes, closes and renames over the target, then forces the folder entry to the disk; or,
  // while a TStagedFiles::TScope is open on this thread, stages the file in that set, whose
  // commit does all that.
  void Commit();

 private:
  void OpenInPlace(const std::string& Target);
  [[noreturn]] void Fail(int error);

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
