// One line of progress on a terminal, redrawn in place: the stage and percent of a long single
// render, or the maps done of a batch. Draws nothing when not enabled (stderr is not a terminal,
// or --quiet).
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

#include "synthesis/base/Progress.h"

namespace hillograph {

class TProgressLine : public TProgress {
 public:
  using TClock = std::function<std::chrono::steady_clock::time_point()>;

  // Work that ends sooner than this shows no line at all.
  static constexpr std::chrono::milliseconds DefaultDelay{1000};
  // The line is redrawn at most this often.
  static constexpr std::chrono::milliseconds DefaultInterval{250};

  explicit TProgressLine(std::ostream& Out, bool Enabled,
                         TClock Clock = std::chrono::steady_clock::now);
  ~TProgressLine() override;
  TProgressLine(const TProgressLine&) = delete;
  TProgressLine& operator=(const TProgressLine&) = delete;

  // A single render's stage: "Terrain 42%".
  void Report(std::string_view Stage, double Fraction) override;

  // Batches: Total maps to make; then MapDone once per map finished (any thread).
  void StartBatch(std::size_t Total);
  void MapDone();

  // Writes a message on its own line, with the progress line redrawn after it (any thread).
  void Message(std::string_view Text);

  // Removes the line, leaving the cursor where it was before anything was drawn.
  void Clear();

 private:
  std::string BatchText(std::chrono::steady_clock::time_point now) const;
  void Draw(const std::string& text, bool force);

  std::ostream& out_;
  bool enabled_;
  TClock clock_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDraw_{};
  bool drawn_ = false;
  std::string text_;
  std::size_t total_ = 0;
  std::size_t done_ = 0;
  std::mutex mutex_;
};

}  // namespace hillograph
