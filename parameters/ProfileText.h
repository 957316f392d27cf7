// The text of an INI file, read and changed in memory. Section and key names match without regard
// to case; the blanks around a value are not part of it; the first of repeated sections and keys
// counts. A change touches one line and keeps every other byte as it was.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hillograph {

// Values come back at most this long, like a read into a 2048-character buffer.
inline constexpr std::size_t ProfileValueLimit = 2047;

class TProfileText {
 public:
  // Lines end in LF or CR LF. A UTF-8 byte order mark at the start is not part of the first line;
  // Text() keeps it.
  explicit TProfileText(std::string_view Text);

  // The value, or Default when the section or the key is missing. A value in double quotes
  // comes back without them.
  std::string ReadString(std::string_view Section, std::string_view Key,
                         std::string_view Default) const;

  // Sets the key in its place, or adds it after the last key of the section, or adds the section
  // at the end. False when the names or the value cannot stand in one line of the file.
  [[nodiscard]] bool WriteString(std::string_view Section, std::string_view Key,
                                 std::string_view Value);

  std::string Text() const;

 private:
  struct TSectionLines {
    std::size_t Header;  // index of the header line
    std::size_t End;     // one past the last line of the section
  };

  std::optional<TSectionLines> FindSection(std::string_view Section) const;
  std::optional<std::size_t> FindKey(const TSectionLines& Lines, std::string_view Key) const;
  void InsertLine(std::size_t Index, std::string Line);
  void EndLastLine();

  std::vector<std::string> lines_;  // each with its own line ending; the last may have none
  std::string newline_;             // for added lines: the ending the file already uses
  std::string_view byteOrderMark_;  // empty, or the one the text began with
};

}  // namespace hillograph
