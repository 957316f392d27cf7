// One INI file, read and written key by key. Like the platform's profile functions it holds only
// the file name: every read looks at the file as it is, and every write reaches the disk before it
// returns, replacing the file whole so that a failure or a crash never leaves half of it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "parameters/ProfileText.h"

namespace hillograph {

// A profile longer than this is not read: it is no profile, and it would fill the memory.
inline constexpr std::size_t ProfileFileLimit = 64 * 1024 * 1024;

class TProfile {
 public:
  explicit TProfile(std::string FileName) : fileName_(std::move(FileName)) {}

  const std::string& FileName() const { return fileName_; }

  // The file as it is now; empty when it is missing or cannot be read (a folder, anything longer
  // than ProfileFileLimit). A pipe that nobody writes to holds nothing.
  TProfileText Read() const;

  // The file as it is now; raises TError "Unable to read <file>. <reason>" when it is missing or
  // cannot be read.
  TProfileText ReadExisting() const;

  // The value, or Default when the file, the section or the key is missing.
  std::string ReadString(std::string_view Section, std::string_view Key,
                         std::string_view Default) const;

  // Sets the key, creating the file, the section or the key when missing and keeping every other
  // line. Raises TError "Unable to write to <file>" and leaves the file as it was on failure.
  void WriteString(std::string_view Section, std::string_view Key, std::string_view Value);

  struct TEntry {
    std::string_view Section;
    std::string_view Key;
    std::string Value;
  };

  // Sets every key, in order, as WriteString would, and replaces the file once: it holds all the
  // new values or, after a failure, is as it was.
  void WriteStrings(const std::vector<TEntry>& Entries);

 private:
  std::string fileName_;
};

}  // namespace hillograph
