#include "synthesis/platform/AvailableMemory.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>
#include <string_view>

namespace hillograph::platform {
namespace {

// A version 1 group without a limit reads as a number near 2^63; anything this large is none.
constexpr std::uint64_t NoLimit = std::uint64_t{1} << 62;
constexpr std::uint64_t KiB = 1024;

std::optional<std::string> ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::optional<std::uint64_t> Number(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
    text.remove_suffix(1);
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "MemAvailable:   23885240 kB" of /proc/meminfo.
std::optional<std::uint64_t> MemAvailable(const std::string& meminfo) {
  std::istringstream lines(meminfo);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string key, unit;
    std::uint64_t value = 0;
    if (words >> key >> value >> unit && key == "MemAvailable:" && unit == "kB") {
      return value * KiB;
    }
  }
  return std::nullopt;
}

// The smallest limit file Name holds in the group's folder and the folders above it up to Root;
// "max" (version 2) and huge numbers (version 1) are no limit.
std::optional<std::uint64_t> GroupLimit(const std::string& root, std::string group,
                                        const char* name) {
  std::optional<std::uint64_t> smallest;
  while (true) {
    if (const std::optional<std::string> text = ReadText(root + group + "/" + name)) {
      const std::optional<std::uint64_t> limit = Number(*text);
      if (limit && *limit < NoLimit) smallest = std::min(smallest.value_or(*limit), *limit);
    }
    if (group.empty() || group == "/") break;
    group.resize(group.rfind('/'));
  }
  return smallest;
}

// Lines of /proc/self/cgroup: "0::/path" for version 2, "N:memory:/path" (or with more
// controllers, comma-separated) for version 1.
std::optional<std::uint64_t> CgroupLimit(const TMemoryFiles& files) {
  const std::optional<std::string> groups = ReadText(files.SelfCgroup);
  if (!groups) return std::nullopt;
  std::optional<std::uint64_t> smallest;
  const auto take = [&smallest](std::optional<std::uint64_t> limit) {
    if (limit) smallest = std::min(smallest.value_or(*limit), *limit);
  };
  std::istringstream lines(*groups);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t first = line.find(':');
    const std::size_t second = line.find(':', first + 1);
    if (first == std::string::npos || second == std::string::npos) continue;
    const std::string controllers = line.substr(first + 1, second - first - 1);
    std::string path = line.substr(second + 1);
    if (path == "/") path.clear();
    if (controllers.empty()) {
      take(GroupLimit(files.CgroupRoot, path, "memory.max"));
    } else if (("," + controllers + ",").find(",memory,") != std::string::npos) {
      take(GroupLimit(files.CgroupRoot + "/memory", path, "memory.limit_in_bytes"));
    }
  }
  return smallest;
}

}  // namespace

std::optional<std::uint64_t> AvailableMemory(const TMemoryFiles& Files) {
  const std::optional<std::string> meminfo = ReadText(Files.Meminfo);
  const std::optional<std::uint64_t> available = meminfo ? MemAvailable(*meminfo) : std::nullopt;
  const std::optional<std::uint64_t> limit = CgroupLimit(Files);
  if (available && limit) return std::min(*available, *limit);
  return available ? available : limit;
}

}  // namespace hillograph::platform
