#include "cli/Manifest.h"

#include <fcntl.h>
#ifdef HILLOGRAPH_HAVE_SHA256
#include <nettle/sha2.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <system_error>

#include "synthesis/base/Error.h"

namespace hillograph {
namespace {

constexpr mode_t ManifestMode = 0666;  // narrowed by the umask
constexpr std::string_view StatusOk = "ok";
constexpr std::string_view StatusFailed = "failed";

std::string Reason(int error) {
  return std::generic_category().message(error);
}

#ifdef HILLOGRAPH_HAVE_SHA256
constexpr std::size_t ReadChunk = 1 << 20;

std::string Hex(const std::uint8_t* bytes, std::size_t size) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string text;
  for (std::size_t i = 0; i < size; ++i) {
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 15];
  }
  return text;
}
#endif

}  // namespace

std::string ManifestText(const TManifestLine& Line) {
  nlohmann::ordered_json line;
  line["seed"] = Line.Seed;
  line["status"] = Line.Ok ? StatusOk : StatusFailed;
  if (!Line.Ok) line["message"] = Line.Message;
  line["files"] = nlohmann::ordered_json::array();
  for (const TManifestFile& file : Line.Files)
    line["files"].push_back({{"name", file.Name}, {"size", file.Size}, {"sha256", file.Sha256}});
  line["link"] = Line.Link;
  line["version"] = Line.Version;
  // Text that is not UTF-8 (a file name, a system message) is written with replacement
  // characters rather than failing the line.
  return line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

bool ParseManifestLine(std::string_view Text, TManifestLine& Line) {
  const nlohmann::json json = nlohmann::json::parse(Text, nullptr, false);
  if (!json.is_object()) return false;
  try {
    TManifestLine line;
    line.Seed = json.at("seed").get<std::int32_t>();
    const std::string status = json.at("status").get<std::string>();
    if (status != StatusOk && status != StatusFailed) return false;
    line.Ok = status == StatusOk;
    if (!line.Ok) line.Message = json.at("message").get<std::string>();
    for (const nlohmann::json& file : json.at("files")) {
      line.Files.push_back({file.at("name").get<std::string>(),
                            file.at("size").get<std::uint64_t>(),
                            file.at("sha256").get<std::string>()});
    }
    line.Link = json.at("link").get<std::string>();
    line.Version = json.at("version").get<std::string>();
    Line = std::move(line);
    return true;
  } catch (const nlohmann::json::exception&) {
    return false;
  }
}

TManifestFile DescribeFile(const std::string& Name) {
#ifndef HILLOGRAPH_HAVE_SHA256
  throw TError("This build cannot hash \"" + Name + "\" for a manifest: it has no SHA-256");
#else
  std::ifstream file(Name, std::ios::binary);
  if (!file) throw TError("Cannot read \"" + Name + "\" to record it in the manifest");
  sha256_ctx context;
  sha256_init(&context);
  std::vector<char> chunk(ReadChunk);
  std::uint64_t size = 0;
  while (file) {
    file.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const auto got = static_cast<std::size_t>(file.gcount());
    sha256_update(&context, got, reinterpret_cast<const std::uint8_t*>(chunk.data()));
    size += got;
  }
  if (file.bad()) throw TError("Cannot read \"" + Name + "\" to record it in the manifest");
  std::array<std::uint8_t, SHA256_DIGEST_SIZE> digest{};
  sha256_digest(&context, digest.size(), digest.data());
  return {Name, size, Hex(digest.data(), digest.size())};
#endif
}

TManifestWriter::TManifestWriter(const std::string& File) : file_(File) {
  fd_ = ::open(File.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY, ManifestMode);
  if (fd_ < 0) throw TError("Cannot open manifest \"" + File + "\". " + Reason(errno));
  // A run killed by a crash may have left half a line: the next line must not join it.
  struct stat status {};
  char last = '\n';
  if (::fstat(fd_, &status) == 0 && status.st_size > 0) {
    const int reader = ::open(File.c_str(), O_RDONLY | O_CLOEXEC);
    if (reader >= 0) {
      if (::pread(reader, &last, 1, status.st_size - 1) != 1) last = '\n';
      ::close(reader);
    }
  }
  closeTornLine_ = last != '\n';
}

TManifestWriter::~TManifestWriter() {
  ::close(fd_);
}

void TManifestWriter::Append(const TManifestLine& Line) {
  std::string text = ManifestText(Line);
  if (closeTornLine_.exchange(false)) text.insert(0, "\n");
  // One write: O_APPEND places it whole at the end, whatever other writers do.
  const ssize_t written = ::write(fd_, text.data(), text.size());
  if (written < 0 || static_cast<std::size_t>(written) != text.size()) {
    const int error = written < 0 ? errno : ENOSPC;
    throw TError("Cannot write manifest \"" + file_ + "\". " + Reason(error));
  }
}

std::map<std::int32_t, TManifestLine> ReadManifest(const std::string& File) {
  std::map<std::int32_t, TManifestLine> lines;
  std::ifstream file(File, std::ios::binary);
  if (!file) {
    struct stat status {};
    if (::stat(File.c_str(), &status) != 0 && errno == ENOENT) return lines;
    throw TError("Cannot read manifest \"" + File + "\". " + Reason(errno));
  }
  std::stringstream text;
  text << file.rdbuf();
  const std::string all = text.str();
  // Only lines ended by a newline are whole.
  std::size_t start = 0;
  for (std::size_t end = all.find('\n'); end != std::string::npos;
       start = end + 1, end = all.find('\n', start)) {
    TManifestLine line;
    if (ParseManifestLine(std::string_view(all).substr(start, end - start), line)) {
      lines[line.Seed] = std::move(line);
    }
  }
  return lines;
}

}  // namespace hillograph
