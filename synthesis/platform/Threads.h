// Threads of the system. Where the system can place a thread, a new one starts on another
// processor than its creator's and may then move anywhere; elsewhere it is an ordinary thread.
#pragma once

#include <functional>
#include <memory>

namespace hillograph::platform {

// The processors this process may run on, or 0 where the system does not say.
int ProcessorsAllowed();

class TThreadHandle;
struct TJoinThread {
  void operator()(TThreadHandle* Thread) const noexcept;  // waits for the body, then frees
};
// A running thread; letting it go waits for its body to return.
using TThread = std::unique_ptr<TThreadHandle, TJoinThread>;

// Starts Body, which must not throw; throws std::system_error when no thread can be started.
TThread StartThread(std::function<void()> Body);

}  // namespace hillograph::platform
