#pragma once
// Runs out of memory while it lives: the toolkit's allocations and
// reallocations fail once the given number of them have succeeded (none by
// default); frees still work. Destroying it puts the default hooks back
// (gCMemory::ResetProcs), also when an assertion leaves the test early.

#include <cstddef>
#include <cstdint>

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
        if (s_nAllowed <= 0) {
            return false;
        }
        --s_nAllowed;
        return true;
    }
    static void* Alloc(size_t size) { return Allowed() ? gCMemory::MallocProc(size) : nullptr; }
    static void* Realloc(void* p, size_t size) {
        return Allowed() ? gCMemory::ReallocProc(p, size) : nullptr;
    }

    static inline int32_t s_nAllowed = 0;
};
