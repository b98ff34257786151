#include "foundation/Sort.h"

#include <cstring>
#include <utility>

namespace {

void SortWords(void** e, int32_t lo, int32_t hi, gCSortWordProc compare, uintptr_t user) {
    while (lo < hi) {
        const int32_t mid = lo + (hi - lo) / 2;
        std::swap(e[lo], e[mid]);
        int32_t last = lo;
        for (int32_t i = lo + 1; i <= hi; ++i) {
            if (compare(e[i], e[lo], user) <= 0) {
                ++last;
                std::swap(e[last], e[i]);
            }
        }
        std::swap(e[lo], e[last]);
        SortWords(e, lo, last - 1, compare, user);
        lo = last + 1;
    }
}

void SortElements(unsigned char* base, int32_t size, int32_t lo, int32_t hi, gCSortElemProc compare,
                  uintptr_t user) {
    auto at = [&](int32_t i) { return base + size_t(i) * size_t(size); };
    while (lo < hi) {
        const int32_t mid = lo + (hi - lo) / 2;
        if (mid != lo) {
            Swap(at(lo), at(mid), uint32_t(size));
        }
        int32_t last = lo;
        for (int32_t i = lo + 1; i <= hi; ++i) {
            if (compare(at(i), at(lo), user) <= 0) {
                ++last;
                if (last != i) {
                    Swap(at(last), at(i), uint32_t(size));
                }
            }
        }
        if (last != lo) {
            Swap(at(lo), at(last), uint32_t(size));
        }
        SortElements(base, size, lo, last - 1, compare, user);
        lo = last + 1;
    }
}

} // namespace

void QuickSort(void* base, int32_t count, gCSortWordProc compare, uintptr_t user) {
    if (count > 1) {
        SortWords(static_cast<void**>(base), 0, count - 1, compare, user);
    }
}

void QuickSort(void* base, int32_t count, int32_t elementSize, gCSortElemProc compare,
               uintptr_t user) {
    if (count > 1 && elementSize > 0) {
        SortElements(static_cast<unsigned char*>(base), elementSize, 0, count - 1, compare, user);
    }
}

void Swap(void* a, void* b, uint32_t n) {
    unsigned char* p = static_cast<unsigned char*>(a);
    unsigned char* q = static_cast<unsigned char*>(b);
    for (uint32_t i = 0; i < n; ++i) {
        const unsigned char t = p[i];
        p[i] = q[i];
        q[i] = t;
    }
}
