// Run-length encoded BMP pixels (RLE8, RLE4). Indexes gather in a row buffer
// of packed indexes; a row goes into the image at its end-of-line escape,
// and also at end of bitmap and when a delta leaves it, so no decoded run is
// lost. The buffer is cleared for each new row, so pixels a file skips take
// palette entry 0.

#include "FileIO/StreamBytes.h"
#include "imaging/BmpIO.h"
#include "imaging/ImNav.h"
#include "imaging/detail/BmpHeader.h"

#include <cstring>

namespace {

class CRowBuffer {
public:
    CRowBuffer(uint8_t* bytes, size_t size, bool nibbles)
        : m_pBytes(bytes), m_nSize(size), m_fNibbles(nibbles) {}

    // Pixel x takes index v (the low 4 bits of it in a 4-bit row).
    void Put(int64_t x, uint8_t v) {
        if (!m_fNibbles) {
            m_pBytes[x] = v;
            return;
        }
        uint8_t& b = m_pBytes[x >> 1];
        b = (x & 1) ? uint8_t((b & 0xF0) | (v & 15)) : uint8_t((b & 0x0F) | (v << 4));
    }
    void Clear() { std::memset(m_pBytes, 0, m_nSize); }

private:
    uint8_t* m_pBytes;
    size_t m_nSize;
    bool m_fNibbles;
};

} // namespace

const char* gCBmpIO::ReadRunLengthRows(gCStream& stream, const bmp::Info& info, CImNavBase& view,
                                       error& result) {
    const bool nibbles = info.compression == bmp::kRLE4;
    const size_t rowBytes = nibbles ? (size_t(info.width) + 1) / 2 : size_t(info.width);
    CMemBlock block;
    if (!block.Resize(uint32_t(rowBytes), 1)) {
        result = eOutOfMemory;
        return nullptr;
    }
    CRowBuffer row(block.GetData(), rowBytes, nibbles);
    const char* packed = reinterpret_cast<const char*>(block.GetData());

    int64_t stored = 0; // rows counted in file order
    int64_t x = 0;
    bool dirty = false;
    auto inside = [&] { return stored >= 0 && stored < info.height; };
    auto flush = [&] {
        PutPaletteRow(packed, view, int32_t(info.topDown ? stored : info.height - 1 - stored));
        row.Clear();
        dirty = false;
    };

    uint8_t absolute[256];
    for (;;) {
        uint8_t pair[2];
        if (streambytes::ReadExact(stream, pair, 2)) {
            return bmp::kMsgEnded;
        }
        if (pair[0] > 0) {
            // Encoded run: n pixels of one index (RLE4: two alternating).
            const int64_t n = pair[0];
            if (!inside() || x + n > info.width) {
                return bmp::kMsgOverflow;
            }
            for (int64_t i = 0; i < n; ++i) {
                row.Put(x + i, nibbles ? uint8_t((i & 1) ? pair[1] & 15 : pair[1] >> 4) : pair[1]);
            }
            x += n;
            dirty = true;
        } else if (pair[1] == 0) {
            // End of line.
            if (!inside()) {
                return bmp::kMsgOverflow;
            }
            flush();
            ++stored;
            x = 0;
        } else if (pair[1] == 1) {
            // End of bitmap.
            if (dirty && inside()) {
                flush();
            }
            return nullptr;
        } else if (pair[1] == 2) {
            uint8_t delta[2];
            if (streambytes::ReadExact(stream, delta, 2)) {
                return bmp::kMsgEnded;
            }
            if (delta[1] > 0 && dirty && inside()) {
                flush();
            }
            x += delta[0];
            stored += delta[1];
        } else {
            // Absolute run of n indexes, padded to an even byte count.
            const int64_t n = pair[1];
            if (!inside() || x + n > info.width) {
                return bmp::kMsgOverflow;
            }
            const size_t bytes = nibbles ? size_t(n + 1) / 2 : size_t(n);
            if (streambytes::ReadExact(stream, absolute, (bytes + 1) & ~size_t(1))) {
                return bmp::kMsgEnded;
            }
            for (int64_t i = 0; i < n; ++i) {
                const uint8_t b = absolute[nibbles ? i / 2 : i];
                row.Put(x + i, nibbles ? uint8_t((i & 1) ? b & 15 : b >> 4) : b);
            }
            x += n;
            dirty = true;
        }
        if (streambytes::Remaining(stream) == 0) {
            return bmp::kMsgEnded;
        }
    }
}
