#pragma once
// The root of the toolkit's object classes. Objects are allocated and freed
// through the toolkit's memory hooks, so a replaced hook sees them too.

#include <cstddef>
#include <new>

#include "foundation/gCMemory.h"

class gCBaseObject {
public:
    gCBaseObject() = default;
    virtual ~gCBaseObject() = default;

    static void* operator new(size_t size) {
        void* p = gCMemory::Alloc(size);
        if (!p) {
            throw std::bad_alloc();
        }
        return p;
    }
    static void* operator new(size_t size, const std::nothrow_t&) noexcept {
        return gCMemory::Alloc(size);
    }
    static void operator delete(void* p) noexcept {
        if (p) {
            gCMemory::Free(p);
        }
    }
    static void operator delete(void* p, const std::nothrow_t&) noexcept {
        if (p) {
            gCMemory::Free(p);
        }
    }
};
