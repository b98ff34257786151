// Run-length encoded BMP pixels (RLE8, RLE4). Every run goes into its image
// row at once; pixels the data skips (a delta, an end of line or of bitmap
// before the row is full) are never written and keep the new image's zeros:
// transparent in a 32-bit image, black in an 8-bit one. So a few bytes that
// skip over a huge picture cost no more than the pixels their runs set.

#include "FileIO/StreamBytes.h"
#include "imaging/BmpIO.h"
#include "imaging/ImNav.h"
#include "imaging/detail/BmpHeader.h"

namespace {

// Writes palette indexes into one image row, as opaque colours or greys.
class CRunWriter {
public:
    CRunWriter(const CPixel* map, uint32_t count, CImNavBase& view) : m_View(view) {
        for (uint32_t i = 0; i < 256; ++i) {
            const uint32_t p = count == 0 ? 0 : uint32_t(map[i < count ? i : 0]);
            m_aColour[i] = 0xFF000000u | (p & 0x00FFFFFFu);
            m_aGrey[i] = uint8_t((((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3);
        }
    }
    void Put(int32_t y, int64_t x, uint8_t index) {
        char* row = static_cast<char*>(m_View.GetDataPtr()) + ptrdiff_t(y) * m_View.GetRowBytes();
        if (m_View.GetBytesPerPixel() == 4) {
            reinterpret_cast<CPixel*>(row)[x] = m_aColour[index];
        } else {
            reinterpret_cast<uint8_t*>(row)[x] = m_aGrey[index];
        }
    }

private:
    CImNavBase& m_View;
    CPixel m_aColour[256];
    uint8_t m_aGrey[256];
};

} // namespace

const char* gCBmpIO::ReadRunLengthRows(gCStream& stream, const bmp::Info& info, CImNavBase& view,
                                       error&) {
    const bool nibbles = info.compression == bmp::kRLE4;
    CRunWriter out(m_aColorMap.GetData(), m_aColorMap.GetCount(), view);

    int64_t stored = 0; // rows counted in file order
    int64_t x = 0;
    auto inside = [&] { return stored >= 0 && stored < info.height; };
    auto imageRow = [&] { return int32_t(info.topDown ? stored : info.height - 1 - stored); };

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
            const int32_t y = imageRow();
            for (int64_t i = 0; i < n; ++i) {
                out.Put(y, x + i,
                        nibbles ? uint8_t((i & 1) ? pair[1] & 15 : pair[1] >> 4) : pair[1]);
            }
            x += n;
        } else if (pair[1] == 0) {
            // End of line.
            if (!inside()) {
                return bmp::kMsgOverflow;
            }
            ++stored;
            x = 0;
        } else if (pair[1] == 1) {
            // End of bitmap.
            return nullptr;
        } else if (pair[1] == 2) {
            uint8_t delta[2];
            if (streambytes::ReadExact(stream, delta, 2)) {
                return bmp::kMsgEnded;
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
            const int32_t y = imageRow();
            for (int64_t i = 0; i < n; ++i) {
                const uint8_t b = absolute[nibbles ? i / 2 : i];
                out.Put(y, x + i, nibbles ? uint8_t((i & 1) ? b & 15 : b >> 4) : b);
            }
            x += n;
        }
        if (streambytes::Remaining(stream) == 0) {
            return bmp::kMsgEnded;
        }
    }
}
