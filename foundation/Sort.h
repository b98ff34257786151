#pragma once
// Quicksort over arrays with a comparison callback, and the small Min/Max
// templates. Elements equal to the pivot go before it; the sort is not
// stable.

#include <cstdint>

// Sorts count pointer-sized words in place; compare receives the two words
// themselves and the user value, and returns <= 0 when the first belongs
// before (or with) the second.
using gCSortWordProc = int32_t (*)(const void* a, const void* b, uintptr_t user);
void QuickSort(void* base, int32_t count, gCSortWordProc compare, uintptr_t user);

// The same for elements of any byte size; compare receives their addresses.
using gCSortElemProc = int32_t (*)(const void* a, const void* b, uintptr_t user);
void QuickSort(void* base, int32_t count, int32_t elementSize, gCSortElemProc compare,
               uintptr_t user);

// Exchanges two non-overlapping blocks of n bytes.
void Swap(void* a, void* b, uint32_t n);

template <typename T> inline T Min(T a, T b) {
    return a <= b ? a : b;
}
template <typename T> inline T Max(T a, T b) {
    return a >= b ? a : b;
}
