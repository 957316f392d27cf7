#include "cli/ProgressLine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <vector>

namespace hillograph {
namespace {

// At Seconds after the start: a stage's progress, or (Stage empty) one more map of a batch.
struct TEvent {
  double Seconds;
  const char* Stage;
  double Fraction;
};

struct TProgressRow {
  bool Enabled;
  std::size_t BatchTotal;  // 0: a single render
  std::vector<TEvent> Events;
  std::string Expected;  // everything written, the clearing at the end included
};

class ProgressLineDraws : public ::testing::TestWithParam<TProgressRow> {};

TEST_P(ProgressLineDraws, OnlyPastTheDelayAndNotTooOften) {
  const auto start = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
  auto now = start;
  std::ostringstream out;
  {
    TProgressLine line(out, GetParam().Enabled, [&now] { return now; });
    if (GetParam().BatchTotal > 0) line.StartBatch(GetParam().BatchTotal);
    for (const TEvent& event : GetParam().Events) {
      now = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                        std::chrono::duration<double>(event.Seconds));
      if (*event.Stage != '\0') {
        line.Report(event.Stage, event.Fraction);
      } else {
        line.MapDone();
      }
    }
  }
  EXPECT_EQ(out.str(), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProgressLineDraws,
    ::testing::Values(TProgressRow{true,
                                   0,
                                   {{0.5, "Terrain", 0.5},
                                    {1.1, "Relief", 0.25},
                                    {1.2, "Relief", 0.5},
                                    {1.5, "Encoding", 1.0}},
                                   "\r\x1b[KRelief 25%\r\x1b[KEncoding 100%\r\x1b[K"},
                      TProgressRow{false, 0, {{2.0, "Terrain", 0.5}}, ""},
                      TProgressRow{true,
                                   4,
                                   {{0.5, "", 0}, {2.0, "", 0}, {2.1, "", 0}, {2.2, "", 0}},
                                   "\r\x1b[K2 of 4 maps, 1.0 maps/s, 2 s left"
                                   "\r\x1b[K4 of 4 maps, 1.8 maps/s, 0 s left\r\x1b[K"}));

}  // namespace
}  // namespace hillograph
