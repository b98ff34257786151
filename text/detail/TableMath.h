#pragma once
// The table's positions are worked out in 64 bits and pinned to the 32-bit
// range, so no row count, row height or scroll position overflows.

#include <algorithm>
#include <cstdint>

namespace tabledetail {

inline int32_t Clamp32(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace tabledetail
