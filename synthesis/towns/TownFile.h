// Reading a town database: a text file with one town name per line, read as bytes and handed out
// as UTF-8 names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "synthesis/files/FileDescriptor.h"
#include "synthesis/platform/Files.h"

namespace hillograph {

// A town database longer than this is not read: it would fill the memory.
inline constexpr std::uint64_t TownFileLimit = 256 * 1024 * 1024;

using TTownNames = std::vector<std::string>;

// True when FileName names a regular file (links followed). An empty name, a missing file, a
// folder, a device or a pipe is no town database.
bool IsRegularFile(const std::string& FileName);

// The message shown when a town database exists but cannot be opened or read, for the system's
// error number: "File not found", "Invalid filename", "Too many open files", "File access denied",
// otherwise "I/O error <number>".
std::string InOutErrorMessage(int Error);

// The message of a town database that cannot be read: Cannot read town database "<file>": <reason>
std::string TownFileMessage(const std::string& FileName, const std::string& Reason);

// Splits the bytes of a town database into names, fed in pieces of any size:
// - LF and CR LF end a line; a CR that is not followed by LF is left out of the name;
// - Ctrl-Z ends the file; the text before it on its line is still a name;
// - every line is a name, empty and blank ones included; a last line without a line break is a
//   name, a line break at the very end adds no empty name.
// The file is single-byte Windows-1252 text, unless it is valid UTF-8 holding at least one
// multi-byte sequence: then it is read as UTF-8 (and a leading byte order mark is dropped). Either
// way one line is one name; the names come out as UTF-8.
class TTownLineReader {
 public:
  // Takes the next bytes of the file. Returns false once Ctrl-Z was seen: nothing more is needed.
  bool Feed(std::string_view Bytes);

  // The names in file order. Call once, after the last Feed.
  std::vector<std::string> Finish();

 private:
  void EndLine();

  std::vector<std::string> lines_;
  std::vector<std::size_t> nonAscii_;  // the lines with a byte above 0x7F
  std::string current_;
  bool lineOpen_ = false;  // bytes were read since the last line break
  bool ended_ = false;     // Ctrl-Z was seen
  bool validUtf8_ = true;
  bool multiByte_ = false;
};

// The names in the bytes of a whole town database.
TTownNames TownNamesFromBytes(std::string_view Bytes);

// A town database, opened. Every failure throws TError with TownFileMessage and, as the reason,
// InOutErrorMessage or "File too large" for a file longer than TownFileLimit.
class TTownFile {
 public:
  explicit TTownFile(const std::string& FileName);

  // A name that turns out not to be a regular file when it is opened holds no names.
  bool IsRegular() const { return status_.Kind == platform::TFileKind::Regular; }
  const platform::TFileStatus& Status() const { return status_; }

  // Reads the first byte, which fails where reading the file would begin to fail.
  void Probe() const;

  // Reads the file from its start.
  TTownNames ReadNames() const;

 private:
  [[noreturn]] void Fail(int Error) const;
  // The descriptor of FileName opened for reading.
  int Open(const std::string& FileName) const;

  std::string fileName_;
  TFileDescriptor file_;
  platform::TFileStatus status_;
};

// The names of the town database FileName, read through a TTownFile.
TTownNames ReadTownFile(const std::string& FileName);

}  // namespace hillograph
