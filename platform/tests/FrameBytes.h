#pragma once
// Byte streams of the data pipe for the networking tests: whole frames and
// payloads with a recognisable pattern.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/DataPipeFrames.h"

using Bytes = std::vector<uint8_t>;

// The header and the payload of one message.
inline Bytes Frame(uint32_t id, const Bytes& payload) {
    Bytes bytes(kFrameHeaderBytes);
    WriteFrameHeader(bytes.data(), id, uint32_t(payload.size()));
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

// n bytes that differ from one seed to another and repeat only slowly.
inline Bytes Pattern(size_t n, uint32_t seed = 0) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) {
        b[i] = uint8_t((i * 131 + seed + (i >> 9)) >> 3 ^ i);
    }
    return b;
}
