#pragma once
// The storage and sequential reader shared by the run-length images: CRLE
// over 32-bit words and CRLE8 over bytes. The block holds either the raw
// units (width * height, row after row) or the run-length form:
//
//   row table   one entry per row: the position of the row's first run
//               header (words: a word index; bytes: a native 32-bit byte
//               offset, four bytes per row);
//   runs        per row, covering exactly width units: a literal is a header
//               with the top bit set and its count below it, then that many
//               units; a repeat is a header with the top bit clear holding
//               its count (2 or more), then the one unit it repeats;
//   spare unit  0, read as the header after the last run.
//
// Reading past the last unit of the image returns 0 and never leaves the
// block.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "foundation/CMemBlock.h"
#include "foundation/Error.h"

template <typename Unit> class CRunLengthBlock : public CMemBlockT<Unit> {
public:
    // Where the sequential reader stands; saved and restored by readers that
    // follow two rows at once.
    struct SReader {
        const Unit* cursor;
        int32_t inLiteral;
        uint32_t remaining;
    };

    int32_t GetWidth() const { return m_nWidth; }
    int32_t GetHeight() const { return m_nHeight; }
    // 1 when the block holds the run-length form, 0 when it holds raw units.
    int32_t IsCompressed() const { return m_fCompressed; }

    // Positions the reader on pixel (x, y); a position outside the image
    // reads as 0.
    void StartRLE(int32_t x, int32_t y) {
        if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight || !this->m_pData) {
            AtEnd();
            return;
        }
        if (!m_fCompressed) {
            const uint32_t index = uint32_t(y) * uint32_t(m_nWidth) + uint32_t(x);
            m_pCursor = this->m_pData + index;
            m_fInLiteral = 1;
            m_nRemaining = uint32_t(m_nWidth) * uint32_t(m_nHeight) - index;
            return;
        }
        const Unit* p = this->m_pData + RowStart(y);
        int32_t start = 0;
        for (;;) {
            const uint32_t header = uint32_t(*p);
            const int32_t n = int32_t(header & kCountMask);
            const bool literal = (header & kLiteralBit) != 0;
            if (n == 0) {
                AtEnd();
                return;
            }
            if (x < start + n) {
                m_nRemaining = uint32_t(n - (x - start));
                m_fInLiteral = literal ? 1 : 0;
                m_pCursor = literal ? p + 1 + (x - start) : p + 1;
                return;
            }
            start += n;
            p += literal ? n + 1 : 2;
        }
    }

    // The unit at the reader, which then moves on by one pixel.
    Unit NextRLE() {
        const Unit v = *m_pCursor;
        if (m_fInLiteral) {
            ++m_pCursor;
            if (--m_nRemaining == 0) {
                NextRun();
            }
        } else if (--m_nRemaining == 0) {
            ++m_pCursor;
            NextRun();
        }
        return v;
    }

    // The next n units into out, as n calls of NextRLE would give them,
    // a run at a time.
    void ReadRLE(Unit* out, int32_t n) {
        while (n > 0) {
            if (m_nRemaining == 0) {
                // Past the image: the end's unit, the count running down as
                // NextRLE's does.
                FillUnits(out, n, *m_pCursor);
                m_nRemaining -= uint32_t(n);
                return;
            }
            const int32_t take = int32_t(std::min<uint32_t>(uint32_t(n), m_nRemaining));
            if (m_fInLiteral) {
                std::memcpy(out, m_pCursor, size_t(take) * sizeof(Unit));
                m_pCursor += take;
            } else {
                FillUnits(out, take, *m_pCursor);
            }
            out += take;
            n -= take;
            m_nRemaining -= uint32_t(take);
            if (m_nRemaining == 0) {
                if (!m_fInLiteral) {
                    ++m_pCursor;
                }
                NextRun();
            }
        }
    }

    SReader SaveReader() const { return {m_pCursor, m_fInLiteral, m_nRemaining}; }
    void RestoreReader(const SReader& r) {
        m_pCursor = r.cursor;
        m_fInLiteral = r.inLiteral;
        m_nRemaining = r.remaining;
    }

protected:
    static constexpr uint32_t kLiteralBit = sizeof(Unit) == 1 ? 0x80u : 0x80000000u;
    static constexpr uint32_t kCountMask = kLiteralBit - 1;

    // The new contents are in the block: record their size and form, and
    // forget a reader position that may point into the old block.
    void SetContents(int32_t width, int32_t height, int32_t compressed) {
        m_nWidth = width;
        m_nHeight = height;
        m_fCompressed = compressed;
        AtEnd();
    }
    void Clear() {
        this->Free();
        SetContents(0, 0, 0);
    }

    // The encoders over a run-splitting policy (defined in
    // RunLengthCoder.h): the whole of CreateFromImage and DoCompress for an
    // area of width x height source pixels, rows stride pixels apart, and
    // the same for a view (a view that did not lock gives 5 and 6).
    template <class P>
    error CreateFrom(const typename P::Src* data, int32_t stride, int32_t width, int32_t height);
    template <class P>
    error CompressFrom(const typename P::Src* data, int32_t stride, int32_t width, int32_t height);
    template <class P, class View> error CreateFromView(View& view);
    template <class P, class View> error CompressView(View& view);

private:
    uint32_t RowStart(int32_t y) const {
        if constexpr (sizeof(Unit) == 1) {
            uint32_t offset;
            std::memcpy(&offset, this->m_pData + size_t(y) * 4, 4);
            return offset;
        } else {
            return uint32_t(this->m_pData[y]);
        }
    }

    // n copies of the unit; pixels as words, which the compiler fills with
    // vector stores.
    static void FillUnits(Unit* out, int32_t n, Unit unit) {
        if constexpr (sizeof(Unit) == 4) {
            std::fill_n(reinterpret_cast<uint32_t*>(out), n, uint32_t(unit));
        } else {
            std::fill_n(out, n, unit);
        }
    }

    // The cursor is on the header after a finished run.
    void NextRun() {
        const uint32_t header = m_fCompressed ? uint32_t(*m_pCursor) : 0;
        if ((header & kCountMask) == 0) {
            AtEnd();
            return;
        }
        m_fInLiteral = (header & kLiteralBit) ? 1 : 0;
        m_nRemaining = header & kCountMask;
        ++m_pCursor;
    }

    // Past the image: a repeat of 0 that never ends.
    void AtEnd() {
        m_pCursor = s_aEnd;
        m_fInLiteral = 0;
        m_nRemaining = 0;
    }

    static constexpr Unit s_aEnd[2] = {};

    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_fCompressed = 0;
    const Unit* m_pCursor = s_aEnd;
    int32_t m_fInLiteral = 0;
    uint32_t m_nRemaining = 0;
};
