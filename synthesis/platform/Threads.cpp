#include "synthesis/platform/Threads.h"

#include <system_error>
#include <thread>

// Threads of the system's own where it has them; WebAssembly built without them has only the
// standard library's, which refuses to start one.
#if __has_include(<pthread.h>) && (!defined(__EMSCRIPTEN__) || defined(__EMSCRIPTEN_PTHREADS__))
#include <pthread.h>
#define HILLOGRAPH_HAS_PTHREADS 1
#endif
#if defined(HILLOGRAPH_HAS_PTHREADS) && defined(__linux__) && !defined(__EMSCRIPTEN__)
#include <sched.h>
#define HILLOGRAPH_HAS_AFFINITY 1
#endif

namespace hillograph::platform {
namespace {

// The processors this process may run on, and all of them but the caller's.
struct TPlacement {
#ifdef HILLOGRAPH_HAS_AFFINITY
  TPlacement() {
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return;
    processors = CPU_COUNT(&allowed);
    const int here = sched_getcpu();
    if (processors < 2 || here < 0 || here >= CPU_SETSIZE || !CPU_ISSET(here, &allowed)) return;
    others = allowed;
    CPU_CLR(here, &others);
    elsewhere = true;
  }
  cpu_set_t allowed;
  cpu_set_t others;
#endif
  bool elsewhere = false;
  int processors = 0;
};

}  // namespace

int ProcessorsAllowed() {
  return TPlacement().processors;
}

#ifdef HILLOGRAPH_HAS_PTHREADS

class TThreadHandle {
 public:
  explicit TThreadHandle(std::function<void()> body) : body_(std::move(body)) {}

  void Start() {
    pthread_attr_t attributes;
    if (const int error = pthread_attr_init(&attributes)) {
      throw std::system_error(error, std::generic_category());
    }
#ifdef HILLOGRAPH_HAS_AFFINITY
    if (placement_.elsewhere) {
      // A placement refused only leaves the thread where the system puts it.
      pthread_attr_setaffinity_np(&attributes, sizeof placement_.others, &placement_.others);
    }
#endif
    const int error = pthread_create(&thread_, &attributes, &Main, this);
    pthread_attr_destroy(&attributes);
    if (error != 0) throw std::system_error(error, std::generic_category());
  }

  void Join() {
    pthread_join(thread_, nullptr);
  }

 private:
  static void* Main(void* self) {
    auto& handle = *static_cast<TThreadHandle*>(self);
#ifdef HILLOGRAPH_HAS_AFFINITY
    // Placed: from here on the system may move it wherever it likes.
    if (handle.placement_.elsewhere) {
      pthread_setaffinity_np(pthread_self(), sizeof handle.placement_.allowed,
                             &handle.placement_.allowed);
    }
#endif
    handle.body_();
    return nullptr;
  }

  std::function<void()> body_;
  TPlacement placement_;
  pthread_t thread_{};
};

#else

class TThreadHandle {
 public:
  explicit TThreadHandle(std::function<void()> body) : body_(std::move(body)) {}
  void Start() { thread_ = std::thread(body_); }
  void Join() { thread_.join(); }

 private:
  std::function<void()> body_;
  std::thread thread_;
};

#endif

void TJoinThread::operator()(TThreadHandle* Thread) const noexcept {
  Thread->Join();
  delete Thread;
}

TThread StartThread(std::function<void()> Body) {
  auto handle = std::make_unique<TThreadHandle>(std::move(Body));
  handle->Start();
  return TThread(handle.release());
}

}  // namespace hillograph::platform
