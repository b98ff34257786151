#pragma once
// The data channel's 64-bit value read as the address it carries: the
// variable a get writes, or the value a set stores.

#include <cstdint>

template <typename T> T* ChannelPointer(int64_t value) {
    return reinterpret_cast<T*>(uintptr_t(value));
}

// The value carrying the address of a variable.
template <typename T> int64_t ChannelValueOf(T* variable) {
    return int64_t(reinterpret_cast<uintptr_t>(variable));
}
