#include "parameters/Profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <system_error>

#include "synthesis/base/Error.h"
#include "synthesis/files/AtomicFile.h"
#include "synthesis/files/FileDescriptor.h"

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
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT) return std::nullopt;
    ThrowSystemError(errno);
  }
  const TFileDescriptor file(fd);
  struct stat status {};
  if (::fstat(fd, &status) != 0) ThrowSystemError(errno);
  if (S_ISDIR(status.st_mode)) ThrowSystemError(EISDIR);
  if (S_ISREG(status.st_mode) && static_cast<std::uint64_t>(status.st_size) > ProfileFileLimit) {
    ThrowSystemError(EFBIG);
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) ThrowSystemError(errno);
  std::string bytes;
  char chunk[ReadChunk];
  for (;;) {
    const ssize_t count = ::read(file.Get(), chunk, sizeof chunk);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) ThrowSystemError(errno);
    if (count == 0) return bytes;
    if (bytes.size() + static_cast<std::size_t>(count) > ProfileFileLimit) ThrowSystemError(EFBIG);
    bytes.append(chunk, static_cast<std::size_t>(count));
  }
}

}  // namespace

TProfileText TProfile::Read() const {
  try {
    return TProfileText(ReadFileBytes(fileName_).value_or(std::string()));
  } catch (const std::system_error&) {
    return TProfileText("");
  }
}

TProfileText TProfile::ReadExisting() const {
  try {
    const std::optional<std::string> bytes = ReadFileBytes(fileName_);
    if (!bytes) ThrowSystemError(ENOENT);
    return TProfileText(*bytes);
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
