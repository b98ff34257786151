#include "foundation/gCMemory.h"

#include <cstdlib>

void* gCMemory::MallocProc(size_t size) {
    return std::malloc(size > 1 ? size : 1);
}

void* gCMemory::ReallocProc(void* p, size_t size) {
    return std::realloc(p, size > 1 ? size : 1);
}

void gCMemory::FreeProc(void* p) {
    std::free(p);
}

const gCMemory::AllocProc gCMemory::s_defaultAlloc = &gCMemory::MallocProc;
const gCMemory::FreeProc_t gCMemory::s_defaultFree = &gCMemory::FreeProc;
const gCMemory::ReallocProc_t gCMemory::s_defaultRealloc = &gCMemory::ReallocProc;

gCMemory::AllocProc gCMemory::m_pAllocProc = &gCMemory::MallocProc;
gCMemory::FreeProc_t gCMemory::m_pFreeProc = &gCMemory::FreeProc;
gCMemory::ReallocProc_t gCMemory::m_pReallocProc = &gCMemory::ReallocProc;

void gCMemory::ResetProcs() {
    m_pAllocProc = s_defaultAlloc;
    m_pFreeProc = s_defaultFree;
    m_pReallocProc = s_defaultRealloc;
}
