#include "synthesis/towns/TownFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>

#include "synthesis/base/Error.h"
#include "synthesis/base/Utf8.h"

namespace hillograph {
namespace {

constexpr char LineFeed = '\n';
constexpr char CarriageReturn = '\r';
constexpr char EndOfFileMark = '\x1A';  // Ctrl-Z
// The bytes that end a name: a line break or the end of the file.
constexpr std::array<bool, 256> EndsText = [] {
  std::array<bool, 256> ends{};
  for (const char c : {LineFeed, CarriageReturn, EndOfFileMark})
    ends[static_cast<std::uint8_t>(c)] = true;
  return ends;
}();
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t ReadChunkSize = 64 * 1024;

constexpr const char* FileTooLarge = "File too large";

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

bool IsRegularFile(const std::string& FileName) {
  platform::TFileStatus status;
  return !FileName.empty() && platform::StatusOf(FileName, status) == 0 &&
         status.Kind == platform::TFileKind::Regular;
}

std::string InOutErrorMessage(int Error) {
  switch (Error) {
    case ENOENT:
      return "File not found";
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return "Invalid filename";
    case EMFILE:
    case ENFILE:
      return "Too many open files";
    case EACCES:
    case EPERM:
      return "File access denied";
    default:
      return "I/O error " + std::to_string(Error);
  }
}

bool TTownLineReader::Feed(std::string_view Bytes) {
  if (ended_) return false;
  while (!Bytes.empty()) {
    // The text up to the next byte that matters goes into the name in one piece.
    std::size_t stop = 0;
    while (stop < Bytes.size() && !EndsText[static_cast<std::uint8_t>(Bytes[stop])])
      ++stop;
    if (stop > 0) {
      current_.append(Bytes.data(), stop);
      lineOpen_ = true;
    }
    if (stop == Bytes.size()) break;
    switch (Bytes[stop]) {
      case LineFeed:
        EndLine();
        break;
      case CarriageReturn:  // left out of the name; before LF it is part of the line break
        lineOpen_ = true;
        break;
      default:
        ended_ = true;
        return false;
    }
    Bytes.remove_prefix(stop + 1);
  }
  return true;
}

void TTownLineReader::EndLine() {
  // Once the file is known not to be UTF-8, a line only needs to be known as ASCII or not.
  TUtf8Kind kind = TUtf8Kind::Invalid;
  if (validUtf8_) {
    kind = ClassifyUtf8(current_);
  } else if (IsAscii(current_)) {
    kind = TUtf8Kind::Ascii;
  }
  if (kind != TUtf8Kind::Ascii) nonAscii_.push_back(lines_.size());
  if (kind == TUtf8Kind::MultiByte) multiByte_ = true;
  if (kind == TUtf8Kind::Invalid) validUtf8_ = false;
  lines_.push_back(std::move(current_));
  current_.clear();
  lineOpen_ = false;
}

std::vector<std::string> TTownLineReader::Finish() {
  if (lineOpen_) EndLine();
  if (validUtf8_ && multiByte_) {
    if (lines_.front().starts_with(ByteOrderMark)) lines_.front().erase(0, ByteOrderMark.size());
  } else {
    for (const std::size_t line : nonAscii_)
      lines_[line] = Windows1252ToUtf8(lines_[line]);
  }
  return std::move(lines_);
}

TTownNames TownNamesFromBytes(std::string_view Bytes) {
  TTownLineReader reader;
  reader.Feed(Bytes);
  return reader.Finish();
}

std::string TownFileMessage(const std::string& FileName, const std::string& Reason) {
  return "Cannot read town database \"" + FileName + "\": " + Reason;
}

// Not blocking: should the name have become a pipe since it was looked at, the open returns at
// once and IsRegular refuses it.
TTownFile::TTownFile(const std::string& FileName) : fileName_(FileName), file_(Open(FileName)) {
  if (const int error = platform::StatusOf(file_.Get(), status_)) Fail(error);
  if (IsRegular() && status_.Size > TownFileLimit) Fail(EFBIG);
}

int TTownFile::Open(const std::string& FileName) const {
  int fd = -1;
  if (const int error = platform::OpenForReading(FileName, fd)) Fail(error);
  return fd;
}

void TTownFile::Fail(int Error) const {
  throw TError(
      TownFileMessage(fileName_, Error == EFBIG ? FileTooLarge : InOutErrorMessage(Error)));
}

void TTownFile::Probe() const {
  char first = 0;
  for (long count = platform::ReadAt(file_.Get(), &first, 1, 0); count < 0;
       count = platform::ReadAt(file_.Get(), &first, 1, 0)) {
    if (count != -EINTR) Fail(static_cast<int>(-count));
  }
}

TTownNames TTownFile::ReadNames() const {
  // A small file needs no more room than its size, and the room is not cleared: it is read into.
  const std::size_t room =
      static_cast<std::size_t>(std::min<std::uint64_t>(ReadChunkSize, status_.Size + 1));
  const std::unique_ptr<char[]> buffer(new char[room]);
  TTownLineReader reader;
  std::uint64_t total = 0;
  for (std::uint64_t offset = 0;;) {
    const long count = platform::ReadAt(file_.Get(), buffer.get(), room, offset);
    if (count < 0) {
      if (count == -EINTR) continue;
      Fail(static_cast<int>(-count));
    }
    // The file may have grown since it was measured.
    total += static_cast<std::uint64_t>(count);
    if (total > TownFileLimit) Fail(EFBIG);
    if (count == 0 || !reader.Feed({buffer.get(), static_cast<std::size_t>(count)})) break;
    offset += static_cast<std::uint64_t>(count);
  }
  return reader.Finish();
}

TTownNames ReadTownFile(const std::string& FileName) {
  const TTownFile file(FileName);
  return file.IsRegular() ? file.ReadNames() : TTownNames();
}

}  // namespace hillograph
