// The plain box reduction; the twin of SuperSampleSse2.cpp.

#include "imaging/detail/SuperSample.h"

namespace stretch {

uint32_t AverageBoxPlain(const Frame& f, const Span& cols, const Span& rows) {
    uint64_t a = 0, r = 0, g = 0, b = 0;
    for (int32_t j = rows.first; j < rows.last; ++j) {
        const uint32_t* row = f.SrcRow(j);
        for (int32_t i = cols.first; i < cols.last; ++i) {
            const uint32_t p = row[i];
            a += p >> 24;
            r += (p >> 16) & 0xFF;
            g += (p >> 8) & 0xFF;
            b += p & 0xFF;
        }
    }
    const uint64_t n = uint64_t(cols.last - cols.first) * uint64_t(rows.last - rows.first);
    return uint32_t(a / n) << 24 | uint32_t(r / n) << 16 | uint32_t(g / n) << 8 | uint32_t(b / n);
}

void SuperSamplePlain(const Frame& f) {
    Boxes(f, [&](uint32_t& out, const Span& cols, const Span& rows) {
        out = AverageBoxPlain(f, cols, rows);
    });
}

} // namespace stretch
