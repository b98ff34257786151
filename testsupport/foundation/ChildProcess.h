#pragma once
// Runs part of a test in a forked child process: for a write that must fail
// because the disk is full (a file-size limit, RLIMIT_FSIZE, which holds
// even for root, unlike file permissions), or for a call that might hang.
//
// The child ignores SIGXFSZ, so a write past the limit fails with EFBIG
// instead of killing it, runs the body and leaves with _exit and the body's
// result as its exit status: no atexit handler, no flushed test output. An
// assertion inside the body does not reach the test; return a code that
// says what went wrong instead. The parent waits a bounded time, then kills
// the child.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>

// RunInChild(body, SChildLimits().FileBytes(1024))
struct SChildLimits {
    // The largest file the child may write, in bytes; none: no limit.
    std::optional<uint64_t> fileBytes;
    // How long the parent waits before it kills the child.
    std::chrono::milliseconds wait = std::chrono::seconds(10);

    SChildLimits& FileBytes(uint64_t bytes) {
        fileBytes = bytes;
        return *this;
    }
    SChildLimits& Wait(std::chrono::milliseconds time) {
        wait = time;
        return *this;
    }
};

struct SChildEnd {
    enum eHow {
        eExited,    // value: the exit status
        eSignalled, // value: the signal that ended it
        eTimedOut,  // killed after the wait; value 0
        eFailed,    // fork or waitpid failed; value: errno
    };
    eHow how = eFailed;
    int value = 0;

    bool operator==(const SChildEnd&) const = default;
};

// Exit statuses the child takes itself; a body returns 0..253.
inline constexpr int kChildBodyThrew = 254;
inline constexpr int kChildLimitRefused = 255;

inline SChildEnd ChildExited(int status) {
    return {SChildEnd::eExited, status};
}

// "exited with 3", "ended by signal 9", ...: what a failed expectation shows.
std::ostream& operator<<(std::ostream& os, const SChildEnd& end);

// Runs body in a child under the limits and tells how the child ended.
SChildEnd RunInChild(const std::function<int()>& body, const SChildLimits& limits = {});
