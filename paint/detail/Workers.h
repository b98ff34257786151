#pragma once
// The document's worker threads: made on first use (at most the
// hardware's threads, and 8 in all with the caller), joined when the
// program exits. A call hands out its parts and returns only when every
// part is done, so no other code ever sees a second thread.

#include <cstdint>

namespace workers {

constexpr int32_t kMaxThreads = 8;

// Threads a call may use at most, the caller included.
int32_t Available();

// Runs work(context, part) for part 0 .. parts - 1, on the caller and up
// to parts - 1 workers. Parts beyond the threads wait for a free one; a
// worker that cannot be made leaves its parts to the others.
void RunParts(int32_t parts, void (*work)(void* context, int32_t part), void* context);

} // namespace workers
