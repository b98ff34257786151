#include "imaging/Gradient.h"

#include <cstdlib>
#include <cstring>

#include "FileIO/ResourceTags.h"
#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"

namespace {

constexpr int32_t kLast = 4095; // the entry at position 1.0
constexpr uint32_t kOpaqueBlack = 0xFF000000u;
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;

// Stops far outside 0..1 (from a file) act as if they were this far out:
// every table entry then lies at the same end of their span, and the
// conversion to an integer stays defined.
constexpr float kFarIndex = 1.0e12f;

int64_t Nearest(float x) {
    if (!(x > -kFarIndex)) {
        x = -kFarIndex;
    } else if (x > kFarIndex) {
        x = kFarIndex;
    }
    return int64_t(RoundHalfAway(x));
}

// A table position from a rounded position, held to 0..0xFFFFFFFF.
uint32_t TablePosition(int64_t x) {
    return uint32_t(x < 0 ? 0 : (x > int64_t(UINT32_MAX) ? int64_t(UINT32_MAX) : x));
}

uint32_t Channel(uint32_t c, int shift) {
    return (c >> shift) & 0xFFu;
}
uint32_t Grey16(uint32_t entry) {
    return entry & 0xFFFFu;
}
uint32_t Alpha(uint32_t entry) {
    return entry >> 24;
}

// The linear weight of step j of span, 0 to 255, and its smoothed form.
int64_t LinearWeight8(int64_t j, int64_t span) {
    return (256 * int64_t(j)) / span;
}
int64_t SmoothWeight8(int64_t f) {
    const int64_t g = 257 * f;
    return (((g * g) >> 16) * (196608 - 2 * g)) >> 24;
}
// The same with 16 fraction bits.
int64_t LinearWeight16(int64_t j, int64_t span) {
    return (65536 * int64_t(j)) / span;
}
int64_t SmoothWeight16(int64_t f) {
    return (((f * f) >> 16) * (196608 - 2 * f)) >> 16;
}

// Catmull-Rom from P towards S, with N the stop after S and P standing for
// the point before P as well.
float Cubic(float p, float s, float n, float t) {
    return 0.5f * (2.0f * p + (s - p) * t + (4.0f * s - 3.0f * p - n) * t * t +
                   (2.0f * p - 3.0f * s + n) * t * t * t);
}
uint32_t Limit(int32_t v, int32_t top) {
    return uint32_t(v < 0 ? 0 : (v > top ? top : v));
}

uint32_t Blend8(uint32_t from, uint32_t to, int64_t f) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 24; shift += 8) {
        const int64_t p = Channel(from, shift);
        const int64_t s = Channel(to, shift);
        out |= (uint32_t(p + (((s - p + 1) * f) >> 8)) & 0xFFu) << shift;
    }
    return out;
}

uint32_t Blend16(uint32_t from, uint32_t to, int64_t f) {
    const int64_t grey = int64_t(Grey16(from)) + (((int64_t(Grey16(to)) - Grey16(from)) * f) >> 16);
    const int64_t alpha = int64_t(Alpha(from)) + (((int64_t(Alpha(to)) - Alpha(from)) * f) >> 16);
    return ((uint32_t(alpha) & 0xFFu) << 24) | (uint32_t(grey) & 0xFFFFu);
}

} // namespace

void CGradientPoint::Adjust(int shift, int32_t d) {
    const uint32_t c = uint32_t(colour);
    uint32_t sum = ((c >> shift) & 0xFFu) + uint32_t(d);
    if (sum > 255u) {
        sum = 255u;
    }
    colour = CPixel((c & ~(0xFFu << shift)) | (sum << shift));
}

CGradient::CGradient(CPixel start, CPixel end) : gCResourceObject(kResGradientTag) {
    std::memset(static_cast<void*>(m_aTable), 0, sizeof m_aTable);
    // Both stops in one allocation: without memory there are none rather
    // than one (a constructor has no result to give).
    if (m_aStops.SetSize(2) == eNoError) {
        m_aStops[0].SetPoint(start, 0.0f);
        m_aStops[1].SetPoint(end, 1.0f);
    }
}

CGradient::CGradient(const CGradient& other) : gCResourceObject(other.GetResType()) {
    std::memset(static_cast<void*>(m_aTable), 0, sizeof m_aTable);
    *this = other;
}

CGradient& CGradient::operator=(const CGradient& other) {
    // The flag and mode follow the stops only when they could be copied, so
    // that a gradient is never half assigned.
    if (this != &other && m_aStops.Copy(other.m_aStops) == eNoError) {
        m_f16Bit = other.m_f16Bit;
        m_nMode = other.m_nMode;
        m_fDirty = 1;
    }
    return *this;
}

uint32_t CGradient::TableForm(CPixel c) const {
    const uint32_t v = uint32_t(c);
    if (!m_f16Bit) {
        return v;
    }
    const uint32_t grey = ((Channel(v, 16) + Channel(v, 8) + Channel(v, 0)) / 3) * 257u;
    return (v & 0xFF000000u) | grey;
}

void CGradient::FillSpan(int64_t s, int64_t e, uint32_t from, uint32_t to, uint32_t next) {
    const int64_t span = e - s;
    // Stops outside 0..1 would reach past the table: only the steps that
    // land on its entries are computed.
    const int64_t first = s < 0 ? -s : 0;
    const int64_t end = span < kLast - s ? span : kLast - s;
    for (int64_t j = first; j < end; ++j) {
        const int64_t index = s + j;
        uint32_t value;
        switch (m_nMode) {
        case eLinear:
            value = m_f16Bit ? Blend16(from, to, LinearWeight16(j, span))
                             : Blend8(from, to, LinearWeight8(j, span));
            break;
        case eSmooth:
            value = m_f16Bit ? Blend16(from, to, SmoothWeight16(LinearWeight16(j, span)))
                             : Blend8(from, to, SmoothWeight8(LinearWeight8(j, span)));
            break;
        case eCubic: {
            float t = float(j) / float(span);
            if (t > 1.0f) {
                t = 1.0f;
            }
            if (m_f16Bit) {
                const uint32_t grey = Limit(
                    Nearest(Cubic(float(Grey16(from)), float(Grey16(to)), float(Grey16(next)), t)),
                    65535);
                const uint32_t alpha = Limit(
                    Nearest(Cubic(float(Alpha(from)), float(Alpha(to)), float(Alpha(next)), t)),
                    255);
                value = (alpha << 24) | grey;
            } else {
                value = 0;
                for (int shift = 0; shift <= 24; shift += 8) {
                    const float v = Cubic(float(Channel(from, shift)), float(Channel(to, shift)),
                                          float(Channel(next, shift)), t);
                    value |= Limit(Nearest(v), 255) << shift;
                }
            }
            break;
        }
        default:
            continue; // other modes leave the entries as they were
        }
        m_aTable[index] = CPixel(value);
    }
}

void CGradient::Rebuild() {
    m_fDirty = 0;
    uint32_t previous = TableForm(CPixel(kOpaqueBlack));
    int64_t s = 0;
    int64_t e = 0;
    const int32_t n = m_aStops.GetSize();
    for (int32_t i = 0; i < n; ++i) {
        e = Nearest(m_aStops[i].position * 4095.0f);
        const uint32_t stop = TableForm(m_aStops[i].colour);
        const uint32_t next = i + 1 < n ? TableForm(m_aStops[i + 1].colour) : stop;
        if (s < e) {
            FillSpan(s, e, previous, stop, next);
        }
        previous = stop;
        s = e;
    }
    if (n > 0 && e >= kLast) {
        m_aTable[kLast] = CPixel(TableForm(m_aStops[n - 1].colour));
    } else {
        // The ramp runs on from the last stop to opaque white.
        const uint32_t white = TableForm(CPixel(kOpaqueWhite));
        FillSpan(e, kLast, previous, white, white);
        m_aTable[kLast] = CPixel(white);
    }
    // Interpolation within the last step reads the entry after 4095.
    m_aTable[kLast + 1] = m_aTable[kLast];
}

CPixel CGradient::GetColourAtPoint(int32_t pos, int32_t range) {
    if (m_fDirty) {
        Rebuild();
    }
    if (range <= 0) {
        return m_aTable[0];
    }
    if (range < 2048) {
        int64_t index = (int64_t(pos) * 4096) / range;
        index = index < 0 ? 0 : (index > kTableSize - 1 ? kTableSize - 1 : index);
        return m_aTable[index];
    }
    const int64_t x = (int64_t(pos) * 0xFFF00) / range;
    return GetInterpColour(uint32_t(x < 0 ? 0 : x));
}

CPixel CGradient::GetColourAtPoint(float t) {
    return GetInterpColour(TablePosition(Nearest(t * 4095.0f * 256.0f)));
}

CPixel CGradient::GetInterpColour(uint32_t x) {
    if (m_fDirty) {
        Rebuild();
    }
    uint32_t i = x >> 8;
    const int64_t f = x & 0xFFu;
    if (i > uint32_t(kLast)) {
        i = kLast;
    }
    const uint32_t a = uint32_t(m_aTable[i]);
    const uint32_t b = uint32_t(m_aTable[i + 1]);
    if (!m_f16Bit) {
        return CPixel(Blend8(a, b, f));
    }
    const int64_t grey = int64_t(Grey16(a)) + (((int64_t(Grey16(b)) - Grey16(a)) * f) >> 8);
    const int64_t alpha = int64_t(Alpha(a)) + (((int64_t(Alpha(b)) - Alpha(a)) * f) >> 8);
    return CPixel(((uint32_t(alpha) & 0xFFu) << 24) | (uint32_t(grey) & 0xFFFFu));
}

error CGradient::FillGradientImage(CImage* image, int32_t vertical, int32_t checker) {
    if (!image) {
        return eOutOfMemory;
    }
    CImNav view(image);
    if (!view.IsLocked() || !view.GetData()) {
        return eOutOfMemory;
    }
    const int32_t width = view.GetWidth();
    const int32_t height = view.GetHeight();
    for (int32_t y = 0; y < height; ++y) {
        CPixel* row = view.Row(y);
        for (int32_t x = 0; x < width; ++x) {
            uint32_t c = vertical ? uint32_t(GetColourAtPoint(y, height))
                                  : uint32_t(GetColourAtPoint(x, width));
            if (m_f16Bit) {
                const uint32_t g = (c >> 8) & 0xFFu;
                c = 0xFF000000u | (g << 16) | (g << 8) | g;
            }
            if (checker) {
                const uint32_t square = ((x ^ y) & 4) ? 0xFFCCCCCCu : 0xFFFFFFFFu;
                const uint32_t a = Alpha(c);
                if (a == 0) {
                    c = square;
                } else if (a != 255) {
                    uint32_t out = 0xFF000000u;
                    for (int shift = 0; shift <= 16; shift += 8) {
                        const int32_t d = int32_t(Channel(square, shift));
                        const int32_t s = int32_t(Channel(c, shift));
                        out |= (uint32_t(d + (((s - d + 1) * int32_t(a)) >> 8)) & 0xFFu) << shift;
                    }
                    c = out;
                }
            }
            row[x] = CPixel(c);
        }
    }
    return eNoError;
}

int32_t CGradient::AddPoint(CPixel colour, float pos) {
    m_fDirty = 1;
    const int32_t n = m_aStops.GetSize();
    if (n == 0) {
        return -1;
    }
    if (pos == 0.0f) {
        m_aStops[0].SetPoint(colour, pos);
        return 0;
    }
    if (pos >= 1.0f && pos < 2.0f) { // the integer part is 1
        m_aStops[n - 1].SetPoint(colour, pos);
        return n - 1;
    }
    for (int32_t i = 0; i < n; ++i) {
        if (m_aStops[i].position == pos) {
            m_aStops[i].SetPoint(colour, pos);
            return i;
        }
        if (m_aStops[i].position > pos) {
            CGradientPoint p;
            p.SetPoint(colour, pos);
            return m_aStops.InsertAt(i, p) == eNoError ? i : -1;
        }
    }
    return -1;
}

bool CGradient::RefusesPosition(float pos) const {
    const int32_t n = m_aStops.GetSize();
    if (n == 0 || pos == 0.0f || (pos >= 1.0f && pos < 2.0f)) {
        return false;
    }
    // A stop at or after the position takes it; NaN is at or after nothing.
    for (int32_t i = 0; i < n; ++i) {
        if (m_aStops[i].position >= pos) {
            return false;
        }
    }
    return true;
}

int32_t CGradient::AddPoint(CPixel colour, int32_t pos, int32_t range) {
    return AddPoint(colour, float(pos) / float(range));
}

CPixel CGradient::CurrentColourAt(float pos) {
    return GetInterpColour(TablePosition(Nearest(pos * 4095.0f * 256.0f)));
}

int32_t CGradient::AddAlphaPoint(int32_t alpha, float pos) {
    const uint32_t c = uint32_t(CurrentColourAt(pos));
    return AddPoint(CPixel((c & 0x00FFFFFFu) | ((uint32_t(alpha) & 0xFFu) << 24)), pos);
}

int32_t CGradient::AddAlphaPoint(int32_t alpha, int32_t pos, int32_t range) {
    return AddAlphaPoint(alpha, float(pos) / float(range));
}

int32_t CGradient::AddColourPoint(CPixel colour, float pos) {
    const uint32_t c = uint32_t(CurrentColourAt(pos));
    return AddPoint(CPixel((c & 0xFF000000u) | (uint32_t(colour) & 0x00FFFFFFu)), pos);
}

int32_t CGradient::AddColourPoint(CPixel colour, int32_t pos, int32_t range) {
    return AddColourPoint(colour, float(pos) / float(range));
}

int32_t CGradient::AddNullPoint(float pos) {
    return AddPoint(CurrentColourAt(pos), pos);
}

int32_t CGradient::AddNullPoint(int32_t pos, int32_t range) {
    return AddNullPoint(float(pos) / float(range));
}

int32_t CGradient::IsPointAtPos(float pos) const {
    for (int32_t i = 0; i < m_aStops.GetSize(); ++i) {
        if (m_aStops[i].position == pos) {
            return i;
        }
    }
    return -1;
}

int32_t CGradient::IsPointAtPos(int32_t pos, int32_t range) const {
    return IsPointAtPos(float(pos) / float(range));
}

void CGradient::SetColourAtIndex(int32_t index, CPixel colour) {
    if (index >= 0 && index < m_aStops.GetSize()) {
        m_aStops[index].colour = colour;
        m_fDirty = 1;
    }
}

void CGradient::RemovePoint(int32_t index) {
    if (index >= 0 && index < m_aStops.GetSize()) {
        m_aStops.RemoveAt(index);
        m_fDirty = 1;
    }
}

error CGradient::ClearPointsBetweenIndices(int32_t a, int32_t b) {
    const int32_t k = std::abs(b - a - 1);
    const int32_t n = m_aStops.GetSize();
    // The stops follow index a, so a may be -1 (from the first stop on).
    if (a < -1 || a + 1 >= n || a + k >= n) {
        return eBadParameter;
    }
    for (int32_t i = 0; i < k; ++i) {
        m_aStops.RemoveAt(a + 1);
    }
    m_fDirty = 1;
    return eNoError;
}
