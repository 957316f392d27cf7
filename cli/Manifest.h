// The manifest of a batch: one JSON line per map as it completes, appended to a file that many
// runs (and the shards of a job array) may share. Each line is written with a single write to a
// file opened for appending, so that lines of runs side by side do not mix and a killed run
// leaves only whole lines; a line torn by a crash or a full disk is dropped when reading.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace hillograph {

struct TManifestFile {
  std::string Name;  // as the batch wrote it, {seed} replaced
  std::uint64_t Size = 0;
  std::string Sha256;  // 64 lowercase hex digits

  bool operator==(const TManifestFile&) const = default;
};

struct TManifestLine {
  std::int32_t Seed = 0;
  bool Ok = true;
  std::string Message;  // why the map failed; empty when Ok
  std::vector<TManifestFile> Files;
  std::string Link;  // the map's parameters as link text
  std::string Version;

  bool operator==(const TManifestLine&) const = default;
};

// The line's JSON text, ending in a newline:
// {"seed":7,"status":"ok","files":[{"name":"m7.png","size":...,"sha256":"..."}],"link":"...",
//  "version":"1.2.0"}; a failed map has "status":"failed" and "message".
std::string ManifestText(const TManifestLine& Line);

// The size and SHA-256 of the file as it is on the disk; throws TError when it cannot be read.
TManifestFile DescribeFile(const std::string& Name);

class TManifestWriter {
 public:
  // Opens File for appending, creating it; throws TError naming it.
  explicit TManifestWriter(const std::string& File);
  ~TManifestWriter();
  TManifestWriter(const TManifestWriter&) = delete;
  TManifestWriter& operator=(const TManifestWriter&) = delete;

  // Appends the line with one write; any thread. Throws TError when it is not written whole.
  void Append(const TManifestLine& Line);

 private:
  std::string file_;
  int fd_ = -1;
  std::atomic<bool> closeTornLine_ =
      false;  // the file ends inside a line: the next write starts a new one
};

// The last line of each seed of File; empty when it does not exist. Lines that are not whole
// manifest lines (a torn last line, or one closed off by a later run) are left out.
std::map<std::int32_t, TManifestLine> ReadManifest(const std::string& File);

// One line of the text, without its newline; false when it is not a whole manifest line.
bool ParseManifestLine(std::string_view Text, TManifestLine& Line);

}  // namespace hillograph
