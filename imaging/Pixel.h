#pragma once
// The one pixel value of the system: a 32-bit word 0xAARRGGBB with straight
// (not premultiplied) alpha, read and written only through shifts and masks
// of the whole word. The same word may instead carry two unsigned 16-bit
// channels, the low one in bits 0-15 and the high one in bits 16-31.
//
// The blends are exact integer formulas. Levels and masks are 0..255.

#include <cstdint>
#include <type_traits>

namespace pixeldetail {
// 16777216 / (a + 1) for every alpha a: the factor that divides a
// premultiplied channel back by its alpha, in 16.16.
struct ScaleTable {
    uint32_t v[256];
    constexpr ScaleTable() : v() {
        for (uint32_t a = 0; a < 256; ++a) {
            v[a] = 16777216u / (a + 1);
        }
    }
};
inline constexpr ScaleTable kMaskScale{};
} // namespace pixeldetail

class CPixel {
public:
    using BlendProcPtr = void (*)(CPixel* dst, CPixel src);
    using Blend255ProcPtr = void (*)(CPixel* dst, int32_t level, CPixel src);

    // Process-wide hooks through which the interface composites: replacing
    // one changes how every widget blends. Initially BlendProc and
    // Blend255Proc; AlphaBlendProc and AlphaBlend255Proc are the
    // alternatives that honour the destination's alpha.
    static BlendProcPtr m_pBlendProc;
    static Blend255ProcPtr m_pBlend255Proc;

    constexpr CPixel() = default;
    constexpr CPixel(uint32_t value) : m_nValue(value) {}
    constexpr operator uint32_t() const { return m_nValue; }

    // The colour at opacity k (0..256): its alpha becomes bits 24-31 of
    // (colour >> 8) * k, the colour channels stay. Red and green ride in
    // the product and may carry into the alpha (0x80FFFFFF at 255 keeps
    // 0x80, 0x80000000 at 255 gives 0x7F).
    static constexpr uint32_t AtOpacity(uint32_t colour, uint32_t k) {
        return (colour & 0x00FFFFFFu) | (((colour >> 8) * k) & 0xFF000000u);
    }
    // The source over the destination by the source's alpha; the
    // destination's alpha byte is kept unless the source is opaque.
    static void BlendProc(CPixel* dst, CPixel src) {
        Blend255Proc(dst, int32_t(src.m_nValue >> 24), src);
    }

    // The same blend at a coverage level: level 0 leaves the destination,
    // 255 copies the source word, otherwise each colour channel becomes
    // d + floor((s - d + 1) * level / 256) and alpha stays. Red and blue are
    // computed together in one word, green with alpha riding along. Level 0
    // needs no case of its own (the formula gives the destination back), so
    // loops over this blend have no branch and vectorise.
    static void Blend255Proc(CPixel* dst, int32_t level, CPixel src) {
        const uint32_t a = uint32_t(level);
        const uint32_t s = src.m_nValue;
        const uint32_t d = dst->m_nValue;
        const uint32_t rb = ((d & 0x00FF00FFu) +
                             ((((s & 0x00FF00FFu) - (d & 0x00FF00FFu) + 0x00010001u) * a) >> 8)) &
                            0x00FF00FFu;
        const int32_t dg = int32_t((s >> 8) & 0xFFu) - int32_t((d >> 8) & 0xFFu) + 1;
        const uint32_t ag = ((d & 0xFF00FF00u) + uint32_t(dg * level)) & 0xFF00FF00u;
        dst->m_nValue = level == 255 ? s : (rb | ag);
    }

    static void AlphaBlendProc(CPixel* dst, CPixel src) {
        dst->AlphaBlend255(int32_t(src.m_nValue >> 24), src);
    }
    static void AlphaBlend255Proc(CPixel* dst, int32_t level, CPixel src) {
        dst->AlphaBlend255(level, src);
    }

    // Composites the source colour at coverage level over this pixel,
    // honouring this pixel's alpha: the result covers dA + (1 - dA) * level
    // and its colour is the two colours weighted by level and by
    // dA * (1 - level), divided back by that coverage.
    void AlphaBlend255(int32_t level, CPixel src) {
        if (level == 0) {
            return;
        }
        if (level == 255) {
            m_nValue = src.m_nValue;
            return;
        }
        const uint32_t dA = m_nValue >> 24;
        if (dA == 0) {
            m_nValue = (src.m_nValue & 0x00FFFFFFu) | (uint32_t(level) << 24);
            return;
        }
        if (dA == 255) {
            Blend255Proc(this, level, src);
            return;
        }
        const uint32_t l16 = uint32_t(level) * 257u;
        const uint32_t dA16 = dA * 257u;
        const uint32_t outA16 = dA16 + (((65535u - dA16) * (l16 + 1u)) >> 16);
        const uint32_t wD = (dA16 * (65535u - l16)) >> 16;
        const uint32_t recip = 16843009u / outA16;
        const uint32_t s = src.m_nValue;
        const uint32_t d = m_nValue;
        const uint32_t r = ((l16 * ((s >> 16) & 0xFFu) + wD * ((d >> 16) & 0xFFu)) * recip) >> 24;
        const uint32_t g = ((l16 * ((s >> 8) & 0xFFu) + wD * ((d >> 8) & 0xFFu)) * recip) >> 24;
        const uint32_t b = ((l16 * (s & 0xFFu) + wD * (d & 0xFFu)) * recip) >> 24;
        m_nValue = ((outA16 >> 8) << 24) | (r << 16) | (g << 8) | b;
    }

    // Moves this pixel toward the source by mask / 255, interpolating the
    // premultiplied colours and dividing back by the new alpha.
    void AlphaMasked(uint32_t mask, CPixel src) {
        if (mask == 0) {
            return;
        }
        if (mask == 255) {
            m_nValue = src.m_nValue;
            return;
        }
        const int32_t k = int32_t(mask) * 257 + 1;
        const uint32_t s = src.m_nValue;
        const uint32_t d = m_nValue;
        const int32_t dA = int32_t(d >> 24);
        const int32_t sA = int32_t(s >> 24);
        if (dA == 0) {
            m_nValue = (s & 0x00FFFFFFu) | (uint32_t((sA * k) >> 16) << 24);
            return;
        }
        if (sA == 0) {
            m_nValue = (d & 0x00FFFFFFu) | (uint32_t((dA * (65536 - k)) >> 16) << 24);
            return;
        }
        // Arithmetic shifts: floor division by 65536, also below zero.
        const int32_t outA = dA + (((sA - dA) * k) >> 16);
        const uint32_t scale = pixeldetail::kMaskScale.v[outA]; // 16777216 / (outA + 1)
        const uint32_t r = Masked(d >> 16, s >> 16, dA, sA, k, scale);
        const uint32_t g = Masked(d >> 8, s >> 8, dA, sA, k, scale);
        const uint32_t b = Masked(d, s, dA, sA, k, scale);
        m_nValue = (uint32_t(outA) << 24) | (r << 16) | (g << 8) | b;
    }

    // Hue, lightness and saturation of the colour, each 0..1; alpha is
    // ignored.
    void GetHLS(float& hue, float& lightness, float& saturation) const;

    // One colour component for a hue between the two HLS bounds m1 and m2.
    static float Value(float m1, float m2, float hue);

private:
    // One channel of AlphaMasked: premultiply, interpolate, divide back.
    static uint32_t Masked(uint32_t d, uint32_t s, int32_t dA, int32_t sA, int32_t k,
                           uint32_t scale) {
        const int32_t dp = int32_t(((d & 0xFFu) * uint32_t(dA + 1)) >> 8);
        const int32_t sp = int32_t(((s & 0xFFu) * uint32_t(sA + 1)) >> 8);
        const int32_t op = dp + (((sp - dp) * k) >> 16);
        return (uint32_t(op) * scale) >> 16;
    }

    uint32_t m_nValue = 0;
};

static_assert(sizeof(CPixel) == 4);
static_assert(std::is_trivially_copyable_v<CPixel>);
