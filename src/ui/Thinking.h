#pragma once
// Thinking that takes longer than a frame: the work runs on a thread of its
// own while the game's thread waits as in a pause, so the window keeps
// answering, repainting and reading keys. Without a window (tests, benches,
// self-play) the work runs at once, on the game's thread.

#include <functional>

namespace cardovia {

// Runs `work` to its end and returns. `work` must touch no game state: it is
// given copies and hands back its answer through what it captures.
void ThinkAside(const std::function<void()>& work);

// Set by the program once its window is up.
inline bool ThinkOnAWorker = false;

}  // namespace cardovia
