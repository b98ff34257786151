#pragma once
// A fast approximation of a Gaussian blur with a real-valued radius, built
// from a few passes of three-tap kernels whose taps are a power of two
// apart: one pass at distance d weighted by the radius's fraction, then
// 1/4, 1/2, 1/4 passes at d/2, d/4, ..., 1. It works on one 16-bit channel
// of each pixel word (low: bits 0-15, high: bits 16-31), on both, on the
// whole word as one 24-bit value, or on the colours of ordinary pixels.
//
// The blurs return 1 when done (or when there was nothing to do) and 0 when
// they failed; a radius below 1e-6 is no blur.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"

class CBlur {
public:
    // One 16-bit channel: the low one (high = 0) or the high one.
    static int32_t GaussianBlur(CImNav& view, float radius, int32_t high);
    static int32_t GaussianBlurH(CImNav& view, float radius, int32_t high);
    static int32_t GaussianBlurV(CImNav& view, float radius, int32_t high);
    static int32_t GaussianBlur(CImage* image, float radius, int32_t high);
    static int32_t GaussianBlurH(CImage* image, float radius, int32_t high);
    static int32_t GaussianBlurV(CImage* image, float radius, int32_t high);

    // The whole word as one value, with float weights.
    static int32_t GaussianBlur24(CImage* image, float radius);
    static int32_t GaussianBlur24H(CImage* image, float radius);
    static int32_t GaussianBlur24V(CImage* image, float radius);

    // Both 16-bit channels of every word.
    static int32_t GaussianBlur16x2(CImage* image, float radius);
    static int32_t GaussianBlur16x2H(CImage* image, float radius);
    static int32_t GaussianBlur16x2V(CImage* image, float radius);

    // Red, green and blue of a pixel image, alpha unchanged (RGB), or all
    // four channels (RGBA), over an area of the image (null: all of it).
    static int32_t GaussianBlurRGB(CImage* image, float radius, const gCRect* area);
    static int32_t GaussianBlurRGBH(CImage* image, float radius, const gCRect* area);
    static int32_t GaussianBlurRGBV(CImage* image, float radius, const gCRect* area);
    static int32_t GaussianBlurRGBA(CImage* image, float radius, const gCRect* area);
    static int32_t GaussianBlurRGBAH(CImage* image, float radius, const gCRect* area);
    static int32_t GaussianBlurRGBAV(CImage* image, float radius, const gCRect* area);

    // Every word becomes its high (resp. low) channel copied into both
    // halves. The image forms return 5 when the image cannot be locked.
    static error CopyFromHiToLow16(CImage* image);
    static error CopyFromLowToHi16(CImage* image);
    static error CopyFromHiToLow16(CImNav& view);
    static error CopyFromLowToHi16(CImNav& view);

    // The kernels on one line: a row (H), four adjacent columns (V4, the
    // same as four V1 calls) or one column (V1), of length pixels from
    // first; stride is the row distance in pixels. f is the first pass's
    // fraction in 16.16 (float for the 24-bit kernels).
    static void BlurH(uint32_t* first, uint32_t d, uint32_t f, uint32_t length);
    static void BlurV4(uint32_t* first, uint32_t d, uint32_t f, uint32_t length, uint32_t stride);
    static void BlurV1(uint32_t* first, uint32_t d, uint32_t f, uint32_t length, uint32_t stride);
    static void BlurHi16H(uint32_t* first, uint32_t d, uint32_t f, uint32_t length);
    static void BlurHi16V4(uint32_t* first, uint32_t d, uint32_t f, uint32_t length,
                           uint32_t stride);
    static void BlurHi16V1(uint32_t* first, uint32_t d, uint32_t f, uint32_t length,
                           uint32_t stride);
    static void BlurH_16x2(uint32_t* first, uint32_t d, uint32_t f, uint32_t length);
    static void BlurV4_16x2(uint32_t* first, uint32_t d, uint32_t f, uint32_t length,
                            uint32_t stride);
    static void BlurV1_16x2(uint32_t* first, uint32_t d, uint32_t f, uint32_t length,
                            uint32_t stride);
    static void Blur24H(uint32_t* first, uint32_t d, float f, uint32_t length);
    static void Blur24V4(uint32_t* first, uint32_t d, float f, uint32_t length, uint32_t stride);
    static void Blur24V1(uint32_t* first, uint32_t d, float f, uint32_t length, uint32_t stride);
};
