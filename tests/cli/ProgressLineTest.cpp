#include "cli/ProgressLine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace hillograph {
namespace {

TEST(ProgressLineTest, DrawsOnlyOnATerminalPastTheDelayAndNotTooOften) {
  const struct {
    bool enabled;  // a terminal
    std::size_t batchTotal;  // 0: a single render
    std::vector<std::tuple<double, const char*, double>> events;  // seconds, stage, fraction
    std::string expected;  // everything written, the clearing at the end included
  } cases[] = {
      {true, 0, {{0.5, "Terrain", 0.5}, {1.1, "Relief", 0.25}, {1.2, "Relief", 0.5}, {1.5, "Encoding", 1}},
       "\r\x1b[KRelief 25%\r\x1b[KEncoding 100%\r\x1b[K"},
      {false, 0, {{2.0, "Terrain", 0.5}}, ""},
      {true, 4, {{0.5, "", 0}, {2.0, "", 0}, {2.1, "", 0}, {2.2, "", 0}},
       "\r\x1b[K2 of 4 maps, 1.0 maps/s, 2 s left\r\x1b[K4 of 4 maps, 1.8 maps/s, 0 s left\r\x1b[K"},
  };
  const auto start = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
  for (const auto& c : cases) {
    auto now = start;
    std::ostringstream out;
    {
      TProgressLine line(out, c.enabled, [&now] { return now; });
      if (c.batchTotal > 0) line.StartBatch(c.batchTotal);
      for (const auto& [seconds, stage, fraction] : c.events) {  // no stage: a map of a batch
        now = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                          std::chrono::duration<double>(seconds));
        *stage != '\0' ? line.Report(stage, fraction) : line.MapDone();
      }
    }
    EXPECT_EQ(out.str(), c.expected);
  }
}

}  // namespace
}  // namespace hillograph
