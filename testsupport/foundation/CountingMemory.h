#pragma once
// Counts the toolkit's allocations, reallocations and frees while it lives
// (the system allocator still does the work). Destroying it puts the
// default hooks back (gCMemory::ResetProcs), also when an assertion leaves
// the test early.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "foundation/gCMemory.h"

class CCountingMemory {
public:
    CCountingMemory() {
        s_nAllocs = s_nReallocs = s_nFrees = 0;
        gCMemory::m_pAllocProc = &Alloc;
        gCMemory::m_pReallocProc = &Realloc;
        gCMemory::m_pFreeProc = &Free;
    }
    ~CCountingMemory() { gCMemory::ResetProcs(); }
    CCountingMemory(const CCountingMemory&) = delete;
    CCountingMemory& operator=(const CCountingMemory&) = delete;

    int32_t Allocs() const { return s_nAllocs; }
    int32_t Reallocs() const { return s_nReallocs; }
    int32_t Frees() const { return s_nFrees; }

private:
    static void* Alloc(size_t size) {
        ++s_nAllocs;
        return gCMemory::MallocProc(size);
    }
    static void* Realloc(void* p, size_t size) {
        ++s_nReallocs;
        return gCMemory::ReallocProc(p, size);
    }
    static void Free(void* p) {
        ++s_nFrees;
        gCMemory::FreeProc(p);
    }

    static inline int32_t s_nAllocs = 0;
    static inline int32_t s_nReallocs = 0;
    static inline int32_t s_nFrees = 0;
};
