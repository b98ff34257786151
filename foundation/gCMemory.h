#pragma once
// Process-wide allocation hooks. Every toolkit allocation, reallocation and
// free goes through these three procedures; tests and tools may replace them
// by plain assignment and put the defaults back with ResetProcs().

#include <cstddef>

class gCMemory {
public:
    using AllocProc = void* (*)(size_t size);
    using FreeProc_t = void (*)(void* p);
    using ReallocProc_t = void* (*)(void* p, size_t size);

    static AllocProc m_pAllocProc;
    static FreeProc_t m_pFreeProc;
    static ReallocProc_t m_pReallocProc;

    // The system allocator; a request of 0 bytes asks for 1.
    static void* MallocProc(size_t size);
    static void* ReallocProc(void* p, size_t size);
    static void FreeProc(void* p);

    static void ResetProcs();

    static void* Alloc(size_t size) { return m_pAllocProc(size); }
    static void* Realloc(void* p, size_t size) { return m_pReallocProc(p, size); }
    static void Free(void* p) { m_pFreeProc(p); }

private:
    static const AllocProc s_defaultAlloc;
    static const FreeProc_t s_defaultFree;
    static const ReallocProc_t s_defaultRealloc;
};
