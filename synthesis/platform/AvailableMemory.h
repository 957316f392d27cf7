// How much memory the process may still take: what the kernel says is available, or less where
// a control group limits the process.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace hillograph::platform {

// Where the kernel tells it; a test points these at files of its own.
struct TMemoryFiles {
  std::string Meminfo = "/proc/meminfo";
  std::string SelfCgroup = "/proc/self/cgroup";
  std::string CgroupRoot = "/sys/fs/cgroup";
};

// The smaller of MemAvailable and the memory limit of the process's control group (version 2,
// or version 1's memory controller) and of the groups above it; nullopt when nothing says.
std::optional<std::uint64_t> AvailableMemory(const TMemoryFiles& Files = {});

}  // namespace hillograph::platform
