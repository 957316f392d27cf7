// The file calls of the system. Every call answers 0 (or a count) for success and the system's
// error number (errno) for failure, so that callers decide what a failure means.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace hillograph::platform {

// Bytes handed to the system in one piece.
using TByteRange = std::span<const std::uint8_t>;

enum class TFileKind { Regular, Folder, Link, Other };

struct TFileStatus {
  TFileKind Kind = TFileKind::Other;
  unsigned Permissions = 0;  // the mode's low twelve bits
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  std::uint64_t Size = 0;
  std::int64_t ModifiedSeconds = 0;
  std::int64_t ModifiedNanoseconds = 0;  // within the second
};

// Follows links unless FollowLinks is false.
int StatusOf(const std::string& Path, TFileStatus& Status, bool FollowLinks = true);
int StatusOf(int Fd, TFileStatus& Status);
int ReadLink(const std::string& Path, std::string& Target);
// The longest file name the folder takes, in bytes.
long LongestName(const std::string& Folder);
// Whether this process may write the file (for a privileged user, whether anyone may).
bool MayWrite(const std::string& Path);
// The names in the folder, "." and ".." left out.
int ListFolder(const std::string& Folder, std::vector<std::string>& Names);

// Opens a file for reading without waiting for a pipe's writer; reads then do not wait either until
// SetBlocking.
int OpenForReading(const std::string& Path, int& Fd);
int SetBlocking(int Fd);
// Reads up to Size bytes from the file's position, or from Offset: the count read (0 at the end)
// or minus the error.
long Read(int Fd, void* Buffer, std::size_t Size);
long ReadAt(int Fd, void* Buffer, std::size_t Size, std::uint64_t Offset);

// Creates a file that does not exist yet, for writing, with permissions 0666 narrowed by the
// umask.
int CreateNewFile(const std::string& Path, int& Fd);
// Opens an existing file (a device or a pipe) for writing; does not wait for a pipe's reader.
int OpenForWriting(const std::string& Path, int& Fd);
int SetPermissions(int Fd, unsigned Permissions);
int Close(int Fd);
int Rename(const std::string& From, const std::string& To);
int Remove(const std::string& Path);
// Forces the folder's entries (a renamed file's new name) to the disk. File systems that cannot
// sync a folder keep their entries by other means and count as done.
int SyncFolder(const std::string& Folder);

// How many files the process may have open at once.
std::size_t OpenFileLimit();

// The calls that move a file's bytes to the disk: tests replace them to play a failing disk.
struct TDiskCalls {
  // Writes the ranges in order; the bytes taken (a short write is no error) or minus the error.
  long (*Write)(int Fd, const TByteRange* Ranges, int Count);
  // Forces the file's data and metadata to the disk.
  int (*SyncFile)(int Fd);
  // Forces every file of the file system the descriptor is on to the disk; ENOSYS where the
  // system has no such call.
  int (*SyncFileSystem)(int Fd);
  // After SyncFileSystem: reports a write error of this file that the file system's sync may
  // have swallowed, writing and waiting for nothing more.
  int (*CheckWritten)(int Fd);
};

// Ranges one Write takes at most.
int MostRangesPerWrite();

// The calls in use; the system's unless a test changed them.
TDiskCalls& DiskCalls();
// The system's own calls.
const TDiskCalls& SystemDiskCalls();

}  // namespace hillograph::platform
