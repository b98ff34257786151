#pragma once
// Two ways of running out of memory while a test runs, and a watch on the
// largest request.
//
// CFailingMemory runs out of memory while it lives: the toolkit's allocations and
// reallocations fail once the given number of them have succeeded (none by
// default); frees still work. Destroying it puts the default hooks back
// (gCMemory::ResetProcs), also when an assertion leaves the test early.
// Both may be asked from several threads at once (the project file's
// decoding workers): their counts are atomic.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "foundation/gCMemory.h"

class CFailingMemory {
public:
    explicit CFailingMemory(int32_t allowed = 0) {
        s_nAllowed = allowed;
        gCMemory::m_pAllocProc = &Alloc;
        gCMemory::m_pReallocProc = &Realloc;
    }
    ~CFailingMemory() { gCMemory::ResetProcs(); }
    CFailingMemory(const CFailingMemory&) = delete;
    CFailingMemory& operator=(const CFailingMemory&) = delete;

private:
    static bool Allowed() {
        int32_t left = s_nAllowed.load();
        while (left > 0 && !s_nAllowed.compare_exchange_weak(left, left - 1)) {
        }
        return left > 0;
    }
    static void* Alloc(size_t size) { return Allowed() ? gCMemory::MallocProc(size) : nullptr; }
    static void* Realloc(void* p, size_t size) {
        return Allowed() ? gCMemory::ReallocProc(p, size) : nullptr;
    }

    static inline std::atomic<int32_t> s_nAllowed = 0;
};

// Refuses every block larger than the limit while it lives (a huge
// allocation a bad size would ask for); smaller ones still succeed. It keeps
// the largest request it saw.
class CRefuseLargeBlocks {
public:
    explicit CRefuseLargeBlocks(size_t limit) {
        s_nLimit = limit;
        s_nLargest = 0;
        gCMemory::m_pAllocProc = &Alloc;
        gCMemory::m_pReallocProc = &Realloc;
    }
    ~CRefuseLargeBlocks() { gCMemory::ResetProcs(); }
    CRefuseLargeBlocks(const CRefuseLargeBlocks&) = delete;
    CRefuseLargeBlocks& operator=(const CRefuseLargeBlocks&) = delete;
    static size_t Largest() { return s_nLargest; }

private:
    static void Seen(size_t size) {
        size_t largest = s_nLargest.load();
        while (size > largest && !s_nLargest.compare_exchange_weak(largest, size)) {
        }
    }
    static void* Alloc(size_t size) {
        Seen(size);
        return size > s_nLimit ? nullptr : gCMemory::MallocProc(size);
    }
    static void* Realloc(void* p, size_t size) {
        Seen(size);
        return size > s_nLimit ? nullptr : gCMemory::ReallocProc(p, size);
    }
    static inline std::atomic<size_t> s_nLimit = 0;
    static inline std::atomic<size_t> s_nLargest = 0;
};

// Watches the toolkit's allocations while it lives, refusing none, and
// keeps the largest single request (libpng's blocks come through the same
// hooks). A reader of outside bytes never asks for more than the input can
// justify: the damaged-file tables hold Largest() under a stated bound.
class CLargestRequest : public CRefuseLargeBlocks {
public:
    CLargestRequest() : CRefuseLargeBlocks(std::numeric_limits<size_t>::max()) {}
};
