// Shifting a view's pixels in place with wrap-around.

#include <cstring>
#include <numeric>

#include "foundation/gCMemory.h"
#include "imaging/Stretcher.h"

namespace {

// A buffer from the memory hooks, freed at the end of the scope.
class Buffer {
public:
    explicit Buffer(size_t bytes) : m_p(static_cast<uint8_t*>(gCMemory::Alloc(bytes))) {}
    ~Buffer() {
        if (m_p) {
            gCMemory::Free(m_p);
        }
    }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    uint8_t* Get() const { return m_p; }

private:
    uint8_t* m_p;
};

// Writes a row rotated right by shift bytes: to[(i + shift) mod n] =
// from[i]; the two rows do not overlap.
void RotatedCopy(uint8_t* to, const uint8_t* from, size_t n, size_t shift) {
    std::memcpy(to + shift, from, n - shift);
    std::memcpy(to, from + n - shift, shift);
}

// Floor modulo: the result lies in 0 .. m - 1.
int64_t Mod(int64_t v, int64_t m) {
    const int64_t r = v % m;
    return r < 0 ? r + m : r;
}

} // namespace

error CStretcher::Pan(CImNavBase& view, const gCPoint& offset) {
    const int32_t w = view.GetWidth(), h = view.GetHeight();
    if (!view.IsLocked() || w <= 0 || h <= 0) {
        return eNoError;
    }
    const size_t bpp = size_t(view.GetBytesPerPixel());
    const size_t rowBytes = size_t(w) * bpp;
    const size_t sx = size_t(Mod(offset.x, w)) * bpp;
    const int32_t sy = int32_t(Mod(-int64_t(offset.y), h));
    uint8_t* data = static_cast<uint8_t*>(view.GetDataPtr());
    const ptrdiff_t pitch = view.GetRowBytes();
    auto row = [&](int32_t r) { return data + ptrdiff_t(r) * pitch; };
    if (sx == 0 && sy == 0) {
        return eNoError;
    }

    if (sy == 0) {
        // Each row rotated in place through a buffer of its smaller part.
        const size_t part = sx > rowBytes / 2 ? rowBytes - sx : sx;
        Buffer buffer(part);
        if (!buffer.Get()) {
            return eOutOfMemory;
        }
        for (int32_t r = 0; r < h; ++r) {
            uint8_t* p = row(r);
            if (sx > rowBytes / 2) {
                std::memcpy(buffer.Get(), p, part);
                std::memmove(p, p + part, sx);
                std::memcpy(p + sx, buffer.Get(), part);
            } else {
                std::memcpy(buffer.Get(), p + rowBytes - part, part);
                std::memmove(p + part, p, rowBytes - part);
                std::memcpy(p, buffer.Get(), part);
            }
        }
        return eNoError;
    }

    // Row r takes old row (r + sy) mod h, rotated: the rows fall into
    // gcd(h, sy) cycles, each started by saving its first row.
    Buffer saved(rowBytes);
    if (!saved.Get()) {
        return eOutOfMemory;
    }
    const int32_t cycles = std::gcd(h, sy);
    for (int32_t start = 0; start < cycles; ++start) {
        std::memcpy(saved.Get(), row(start), rowBytes);
        int32_t r = start;
        for (;;) {
            const int32_t next = (r + sy) % h;
            if (next == start) {
                break;
            }
            RotatedCopy(row(r), row(next), rowBytes, sx);
            r = next;
        }
        RotatedCopy(row(r), saved.Get(), rowBytes, sx);
    }
    return eNoError;
}
