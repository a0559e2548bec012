#include "ui/Thinking.h"

#include "model/Table.h"
#include "ui/Platform.h"

#include <atomic>
#include <thread>

namespace cardovia {

namespace {

// How often the waiting game thread looks whether the work is done, besides
// whenever a window event wakes it.
constexpr std::int64_t kLookEveryMs = 8;

}  // namespace

void ThinkAside(const std::function<void()>& work) {
    if (!ThinkOnAWorker) {
        work();
        return;
    }
    std::atomic<bool> done = false;
    std::thread worker([&] {
        work();
        done = true;
    });
    // A game given up returns from its waits at once; then the work is simply
    // let finish (it is bounded by its own budget).
    while (!done && !GameAbandoned) {
        Sys().WaitUntil([&] { return done.load(); }, [] { return Sys().NowMs() + kLookEveryMs; });
    }
    worker.join();
}

}  // namespace cardovia
