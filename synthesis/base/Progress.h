// Progress of long work, for callers that show it (a terminal line, a window's bar).
#pragma once

#include <string_view>

namespace hillograph {

class TProgress {
 public:
  virtual ~TProgress() = default;
  // Stage names what is being done ("Terrain", "Relief", "Towns", "Encoding", "Writing");
  // Fraction is 0 .. 1 of that stage. Called from the thread that does the work.
  virtual void Report(std::string_view Stage, double Fraction) = 0;
};

}  // namespace hillograph
