#pragma once
// Numbers in the toolkit's files are little-endian whatever the host: these
// put a value's bytes into stored order and back. A 64-bit value is turned
// as one 8-byte unit.

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

template <typename T> inline void StoreLittleEndian(T value, unsigned char* out) {
    static_assert(std::is_trivially_copyable_v<T>);
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    for (size_t i = 0; i < sizeof(T); ++i) {
        out[i] = std::endian::native == std::endian::little ? bytes[i] : bytes[sizeof(T) - 1 - i];
    }
}

template <typename T> inline T LoadLittleEndian(const unsigned char* in) {
    static_assert(std::is_trivially_copyable_v<T>);
    unsigned char bytes[sizeof(T)];
    for (size_t i = 0; i < sizeof(T); ++i) {
        bytes[i] = std::endian::native == std::endian::little ? in[i] : in[sizeof(T) - 1 - i];
    }
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}
