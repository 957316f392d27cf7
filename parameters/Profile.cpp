#include "parameters/Profile.h"

#include <cerrno>
#include <cstdint>
#include <optional>
#include <system_error>

#include "synthesis/base/Error.h"
#include "synthesis/files/AtomicFile.h"
#include "synthesis/files/FileDescriptor.h"
#include "synthesis/platform/Files.h"

namespace hillograph {
namespace {

constexpr const char* UnableToWriteTo = "Unable to write to ";
constexpr const char* UnableToRead = "Unable to read ";
constexpr std::size_t ReadChunk = 4096;

[[noreturn]] void ThrowSystemError(int error) {
  throw std::system_error(error, std::generic_category());
}

// The bytes of the file; nothing when it does not exist. Other failures throw std::system_error,
// also a file longer than ProfileFileLimit (say, a device that never ends).
std::optional<std::string> ReadFileBytes(const std::string& fileName) {
  // Opening a pipe does not wait for a writer; reading from it does.
  int fd = -1;
  if (const int error = platform::OpenForReading(fileName, fd)) {
    if (error == ENOENT) return std::nullopt;
    ThrowSystemError(error);
  }
  const TFileDescriptor file(fd);
  platform::TFileStatus status;
  if (const int error = platform::StatusOf(fd, status)) ThrowSystemError(error);
  if (status.Kind == platform::TFileKind::Folder) ThrowSystemError(EISDIR);
  if (status.Kind == platform::TFileKind::Regular && status.Size > ProfileFileLimit) {
    ThrowSystemError(EFBIG);
  }
  if (const int error = platform::SetBlocking(fd)) ThrowSystemError(error);
  std::string bytes;
  char chunk[ReadChunk];
  for (;;) {
    const long count = platform::Read(file.Get(), chunk, sizeof chunk);
    if (count == -EINTR) continue;
    if (count < 0) ThrowSystemError(static_cast<int>(-count));
    if (count == 0) return bytes;
    if (bytes.size() + static_cast<std::size_t>(count) > ProfileFileLimit) ThrowSystemError(EFBIG);
    bytes.append(chunk, static_cast<std::size_t>(count));
  }
}

}  // namespace

TProfileText TProfile::Read() const {
  try {
    return TProfileText(ReadFileBytes(fileName_).value_or(std::string()), fileName_);
  } catch (const std::system_error&) {
    return TProfileText("", fileName_);
  }
}

TProfileText TProfile::ReadExisting() const {
  try {
    const std::optional<std::string> bytes = ReadFileBytes(fileName_);
    if (!bytes) ThrowSystemError(ENOENT);
    return TProfileText(*bytes, fileName_);
  } catch (const std::system_error& e) {
    throw TError(UnableToRead + fileName_ + ". " + e.code().message());
  }
}

std::string TProfile::ReadString(std::string_view Section, std::string_view Key,
                                 std::string_view Default) const {
  return Read().ReadString(Section, Key, Default);
}

void TProfile::WriteString(std::string_view Section, std::string_view Key, std::string_view Value) {
  WriteStrings({{Section, Key, std::string(Value)}});
}

void TProfile::WriteStrings(const std::vector<TEntry>& Entries) {
  const TError failure(UnableToWriteTo + fileName_);
  try {
    // A file that exists but cannot be read is not overwritten: its other lines would be lost.
    TProfileText text(ReadFileBytes(fileName_).value_or(std::string()));
    for (const TEntry& entry : Entries) {
      if (!text.WriteString(entry.Section, entry.Key, entry.Value)) throw failure;
    }
    WriteFileAtomically(fileName_, text.Text());
  } catch (const std::system_error&) {
    throw failure;
  }
}

}  // namespace hillograph
