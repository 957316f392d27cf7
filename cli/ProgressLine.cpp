#include "cli/ProgressLine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace hillograph {
namespace {

// Back to the start of the line and erase it.
constexpr std::string_view EraseLine = "\r\x1b[K";

std::string Seconds(double seconds) {
  const long whole = std::lround(seconds);
  if (whole < 60) return std::to_string(whole) + " s";
  return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
}

}  // namespace

TProgressLine::TProgressLine(std::ostream& Out, bool Enabled, TClock Clock)
    : out_(Out), enabled_(Enabled), clock_(std::move(Clock)), start_(clock_()) {}

TProgressLine::~TProgressLine() {
  Clear();
}

void TProgressLine::Report(std::string_view Stage, double Fraction) {
  if (!enabled_) return;
  const std::lock_guard lock(mutex_);
  const long percent = std::lround(std::clamp(Fraction, 0.0, 1.0) * 100);
  Draw(std::string(Stage) + " " + std::to_string(percent) + "%", false);
}

void TProgressLine::StartBatch(std::size_t Total) {
  const std::lock_guard lock(mutex_);
  total_ = Total;
  done_ = 0;
  start_ = clock_();
}

void TProgressLine::MapDone() {
  if (!enabled_) return;
  const std::lock_guard lock(mutex_);
  ++done_;
  Draw(BatchText(clock_()), done_ == total_ && drawn_);
}

std::string TProgressLine::BatchText(std::chrono::steady_clock::time_point now) const {
  const double elapsed = std::chrono::duration<double>(now - start_).count();
  std::string text = std::to_string(done_) + " of " + std::to_string(total_) + " maps";
  if (elapsed > 0 && done_ > 0) {
    const double rate = static_cast<double>(done_) / elapsed;
    char rateText[32];
    std::snprintf(rateText, sizeof rateText, ", %.1f maps/s", rate);
    text += rateText;
    text += ", " + Seconds(static_cast<double>(total_ - done_) / rate) + " left";
  }
  return text;
}

void TProgressLine::Message(std::string_view Text) {
  const std::lock_guard lock(mutex_);
  if (drawn_) out_ << EraseLine;
  out_ << Text << "\n";
  if (drawn_) out_ << text_;
  out_.flush();
}

void TProgressLine::Clear() {
  const std::lock_guard lock(mutex_);
  if (!drawn_) return;
  out_ << EraseLine;
  out_.flush();
  drawn_ = false;
}

// Shows text once the work has taken longer than the delay, at most once per interval unless
// forced (the last state of a batch).
void TProgressLine::Draw(const std::string& text, bool force) {
  const auto now = clock_();
  if (now - start_ < DefaultDelay) return;
  if (drawn_ && !force && now - lastDraw_ < DefaultInterval) return;
  if (drawn_ && text == text_) return;
  out_ << EraseLine << text;
  out_.flush();
  text_ = text;
  drawn_ = true;
  lastDraw_ = now;
}

}  // namespace hillograph
