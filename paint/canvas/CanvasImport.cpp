// A picture imported as paint: placed into the colour layer, with a flat
// coat of paint in the height and finish layers wherever it covers.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "foundation/Rounding.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Stretcher.h"
#include "paint/canvas/Canvas.h"

namespace {

// What L0 starts as: transparent white.
constexpr uint32_t kBareColour = 0x00FFFFFFu;
// The finish of a fully covered pixel, and the depth above the highest
// grain a coat reaches.
constexpr uint32_t kCoatFinish = 0x03FF03FFu;
constexpr uint32_t kCoatDepth = 100;

// The whole source stretched onto a part of the destination, or a part of
// the source onto the whole destination; a part that rounded to no pixel
// places nothing.
error StretchPart(CImage* dst, const gCRect& dstRect, CImage* src, const gCRect& srcRect) {
    if (dstRect.IsEmpty() || srcRect.IsEmpty()) {
        return eNoError;
    }
    CImNav d(dst, &dstRect);
    CImNav s(src, &srcRect);
    if (!d.IsLocked() || !s.IsLocked()) {
        return eOutOfMemory;
    }
    return CStretcher::StretchHiQ(&d, &s);
}

} // namespace

error CCanvas::LoadPaintImage(CImage* image, uint32_t fitMode) {
    if (!image) {
        return eNoError;
    }
    for (int32_t i = CCanvasLayers::kColour; i <= CCanvasLayers::kGrain; ++i) {
        if (!Layer(i)) {
            return eNoError;
        }
    }
    CImNav picture(image);
    if (!picture.IsLocked()) {
        return eOutOfMemory;
    }
    CImNav* views[4] = {};
    for (int32_t i = CCanvasLayers::kColour; i <= CCanvasLayers::kGrain; ++i) {
        views[i] = LayerView(i);
        if (!views[i] || !views[i]->IsLocked()) {
            return eOutOfMemory;
        }
    }
    CImage* colour = Layer(CCanvasLayers::kColour);
    views[CCanvasLayers::kColour]->Fill(kBareColour);

    const int32_t w = m_nWidth, h = m_nHeight;
    const int32_t iw = picture.GetWidth(), ih = picture.GetHeight();
    const gCRect canvasRect(0, 0, w, h);
    const gCRect pictureRect(0, 0, iw, ih);
    error placed = eNoError;
    if (iw <= 0 || ih <= 0) {
        // No pixels to place.
    } else if (iw == w && ih == h) {
        placed = CStretcher::Blit(views[CCanvasLayers::kColour], &picture);
    } else {
        const float fx = float(w) / float(iw);
        const float fy = float(h) / float(ih);
        switch (fitMode) {
        case 0: // stretch
            placed = StretchPart(colour, canvasRect, image, pictureRect);
            break;
        case 1: { // fit inside: the smaller factor, centred
            gCRect target = canvasRect;
            if (fx <= fy) {
                target.top = RoundToInt32((float(h) - float(ih) * fx) / 2.0f, 0, h);
                target.bottom = RoundToInt32((float(ih) * fx + float(h)) / 2.0f, 0, h);
            } else {
                target.left = RoundToInt32((float(w) - float(iw) * fy) / 2.0f, 0, w);
                target.right = RoundToInt32((float(iw) * fy + float(w)) / 2.0f, 0, w);
            }
            placed = StretchPart(colour, target, image, pictureRect);
            break;
        }
        case 2: { // fill: the larger factor, centred, the picture cropped
            gCRect source = pictureRect;
            if (fx <= fy) {
                source.left = RoundToInt32((float(iw) - float(w) / fy) / 2.0f, 0, iw);
                source.right = RoundToInt32((float(iw) + float(w) / fy) / 2.0f, 0, iw);
            } else {
                source.top = RoundToInt32((float(ih) - float(h) / fx) / 2.0f, 0, ih);
                source.bottom = RoundToInt32((float(ih) + float(h) / fx) / 2.0f, 0, ih);
            }
            placed = StretchPart(colour, canvasRect, image, source);
            break;
        }
        case 3: { // centred at its own size, clipped to the canvas
            const int32_t left = w / 2 - iw / 2;
            const int32_t top = h / 2 - ih / 2;
            const gCRect target = gCRect(left, top, left + iw, top + ih).Intersected(canvasRect);
            if (!target.IsEmpty()) {
                const gCRect source(target.left - left, target.top - top, target.right - left,
                                    target.bottom - top);
                CImNav d(colour, &target);
                CImNav s(image, &source);
                if (!d.IsLocked() || !s.IsLocked()) {
                    return eOutOfMemory;
                }
                placed = CStretcher::Blit(&d, &s);
            }
            break;
        }
        case 4: // tiled from the centre
            placed =
                CStretcher::Tile(views[CCanvasLayers::kColour], &picture, CStretcher::eTileCentre);
            break;
        default: // nothing placed: the canvas stays transparent white
            break;
        }
    }
    if (placed != eNoError) {
        return placed;
    }

    // A flat coat: the paint surface (depth + grain) of every covered pixel
    // lies 100 above the highest grain of the canvas.
    const size_t count = size_t(w) * size_t(h);
    const CPixel* l0 = views[CCanvasLayers::kColour]->GetData();
    CPixel* l1 = views[CCanvasLayers::kHeight]->GetData();
    CPixel* l2 = views[CCanvasLayers::kFinish]->GetData();
    uint32_t highest = 0;
    for (size_t i = 0; i < count; ++i) {
        highest = std::max(highest, uint32_t(l1[i]) >> 16);
    }
    for (size_t i = 0; i < count; ++i) {
        const uint32_t a = uint32_t(l0[i]) >> 24;
        const uint32_t grain = uint32_t(l1[i]) >> 16;
        uint32_t depth = 0;
        uint32_t finish = ((a * 1023u) >> 8) * 0x10001u;
        if (a == 255) {
            // The grain is at most the highest, so this is at least 100; a
            // grain near the 16-bit top would carry it past the depth's.
            depth = std::min(highest + kCoatDepth - grain, 0xFFFFu);
            finish = kCoatFinish;
        }
        l1[i] = (grain << 16) | depth;
        l2[i] = finish;
    }
    return eNoError;
}
