// Reading a town database: a text file with one town name per line, read as bytes and handed out
// as UTF-8 names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hillograph {

// True when FileName names a regular file (links followed). An empty name, a missing file, a
// folder, a device or a pipe is no town database.
bool IsRegularFile(const std::string& FileName);

// The message shown when a town database exists but cannot be opened or read, for the system's
// error number: "File not found", "Invalid filename", "Too many open files", "File access denied",
// otherwise "I/O error <number>".
std::string InOutErrorMessage(int Error);

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
  std::string current_;
  bool lineOpen_ = false;  // bytes were read since the last line break
  bool ended_ = false;     // Ctrl-Z was seen
  bool validUtf8_ = true;
  bool multiByte_ = false;
};

// The names of the town database FileName. A name that turns out not to be a regular file when it
// is opened holds no names. Throws TError with InOutErrorMessage when the file cannot be opened or
// read.
std::vector<std::string> ReadTownFile(const std::string& FileName);

}  // namespace hillograph
