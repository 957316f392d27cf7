#include "parameters/ProfileText.h"

#include "parameters/IgnoreCase.h"

namespace hillograph {
namespace {

constexpr std::string_view Blanks = " \t";
constexpr std::string_view LineBreaks = "\r\n";
constexpr char Quote = '"';
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(Blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

// The line without its ending.
std::string_view Content(std::string_view line) {
  if (line.ends_with('\n')) line.remove_suffix(1);
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

enum class TLineKind { Section, Key, Other };

struct TLine {
  TLineKind Kind = TLineKind::Other;
  std::string_view Name;
  std::size_t ValueStart = 0;  // Key: where the value begins, after "=" and the blanks behind it
};

// Comments, blank lines and lines without "=" are kept but hold no key.
TLine Classify(std::string_view line) {
  const std::string_view content = Content(line);
  const std::string_view text = Trim(content);
  if (text.starts_with('[')) {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos) return {};
    return {TLineKind::Section, Trim(text.substr(1, close - 1)), 0};
  }
  if (text.starts_with(';') || text.starts_with('#')) return {};
  const std::size_t equals = content.find('=');
  if (equals == std::string_view::npos) return {};
  const std::size_t valueStart = content.find_first_not_of(Blanks, equals + 1);
  return {TLineKind::Key, Trim(content.substr(0, equals)),
          valueStart == std::string_view::npos ? content.size() : valueStart};
}

bool IsQuoted(std::string_view value) {
  return value.size() >= 2 && value.front() == Quote && value.back() == Quote;
}

// Blanks around a value would be lost on reading, and so would a pair of quotes around it:
// such a value is written in quotes.
std::string ValueText(std::string_view value) {
  const bool keepsAsIs = Trim(value).size() == value.size() && !IsQuoted(value);
  if (keepsAsIs) return std::string(value);
  return Quote + std::string(value) + Quote;
}

bool IsName(std::string_view name) {
  return !name.empty() && Trim(name).size() == name.size() &&
         name.find_first_of(LineBreaks) == std::string_view::npos;
}

bool CanStore(std::string_view section, std::string_view key, std::string_view value) {
  const bool sectionFits = IsName(section) && section.find(']') == std::string_view::npos;
  const bool keyFits = IsName(key) && key.find('=') == std::string_view::npos &&
                       std::string_view("[;#").find(key.front()) == std::string_view::npos;
  return sectionFits && keyFits && value.find_first_of(LineBreaks) == std::string_view::npos;
}

}  // namespace

TProfileText::TProfileText(std::string_view Text) : newline_("\n") {
  if (Text.starts_with(ByteOrderMark)) {
    byteOrderMark_ = ByteOrderMark;
    Text.remove_prefix(ByteOrderMark.size());
  }
  std::size_t start = 0;
  while (start < Text.size()) {
    const std::size_t lineFeed = Text.find('\n', start);
    const std::size_t end = lineFeed == std::string_view::npos ? Text.size() : lineFeed + 1;
    lines_.emplace_back(Text.substr(start, end - start));
    start = end;
  }
  if (!lines_.empty() && lines_.front().ends_with("\r\n")) newline_ = "\r\n";
}

std::optional<TProfileText::TSectionLines> TProfileText::FindSection(
    std::string_view Section) const {
  for (std::size_t header = 0; header < lines_.size(); ++header) {
    const TLine line = Classify(lines_[header]);
    if (line.Kind != TLineKind::Section || !EqualIgnoringCase(line.Name, Section)) continue;
    std::size_t end = header + 1;
    while (end < lines_.size() && Classify(lines_[end]).Kind != TLineKind::Section)
      ++end;
    return TSectionLines{header, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> TProfileText::FindKey(const TSectionLines& Lines,
                                                 std::string_view Key) const {
  for (std::size_t i = Lines.Header + 1; i < Lines.End; ++i) {
    const TLine line = Classify(lines_[i]);
    if (line.Kind == TLineKind::Key && EqualIgnoringCase(line.Name, Key)) return i;
  }
  return std::nullopt;
}

std::string TProfileText::ReadString(std::string_view Section, std::string_view Key,
                                     std::string_view Default) const {
  std::string_view value = Default;
  const auto section = FindSection(Section);
  const auto key = section ? FindKey(*section, Key) : std::nullopt;
  if (key) {
    const std::string_view content = Content(lines_[*key]);
    value = Trim(content.substr(Classify(content).ValueStart));
    if (IsQuoted(value)) value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, ProfileValueLimit));
}

bool TProfileText::WriteString(std::string_view Section, std::string_view Key,
                               std::string_view Value) {
  if (!CanStore(Section, Key, Value)) return false;
  const std::string keyLine = std::string(Key) + "=" + ValueText(Value);
  const auto section = FindSection(Section);
  if (!section) {
    // A new section stands at the end, a blank line apart from what is there.
    if (!lines_.empty() && !Trim(Content(lines_.back())).empty()) InsertLine(lines_.size(), "");
    InsertLine(lines_.size(), "[" + std::string(Section) + "]");
    InsertLine(lines_.size(), keyLine);
    return true;
  }
  if (const auto key = FindKey(*section, Key)) {
    // In place: the name as it was spelt, the blanks around "=" and the line's own ending.
    const std::string& line = lines_[*key];
    const std::size_t contentSize = Content(line).size();
    lines_[*key] =
        line.substr(0, Classify(line).ValueStart) + ValueText(Value) + line.substr(contentSize);
    return true;
  }
  // A new key follows the last key of its section, ahead of any blank or comment lines that
  // lead into the next section.
  std::size_t lastKey = section->Header;
  for (std::size_t i = section->Header + 1; i < section->End; ++i) {
    if (Classify(lines_[i]).Kind == TLineKind::Key) lastKey = i;
  }
  InsertLine(lastKey + 1, keyLine);
  return true;
}

void TProfileText::InsertLine(std::size_t Index, std::string Line) {
  if (Index == lines_.size()) EndLastLine();
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(Index), Line + newline_);
}

void TProfileText::EndLastLine() {
  if (lines_.empty() || lines_.back().ends_with('\n')) return;
  // A carriage return at the very end already ends the last line's content: a line feed after it
  // completes the line break, where a whole new one would leave the CR in the value.
  lines_.back() += lines_.back().ends_with('\r') ? "\n" : newline_;
}

std::string TProfileText::Text() const {
  std::string text(byteOrderMark_);
  for (const std::string& line : lines_)
    text += line;
  return text;
}

}  // namespace hillograph
