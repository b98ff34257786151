#pragma once
// Owners for the effect tests: a plain widget or an image widget placed in
// a recording root, and targets whose origin lets owner-local coordinates
// address them.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>

#include "imaging/Image.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/ImWidget.h"
#include "widgets/Widget.h"
#include "widgets/WidgetEffectBase.h"
#include "widgets/tests/EffectOracles.h"
#include "widgets/tests/PixelTesting.h"

// A widget of w x h at (50, 50) in a 600 x 400 root.
struct SEffectOwner {
    CRecordingRoot root{600, 400};
    CWidget* widget = nullptr;

    SEffectOwner(int32_t w, int32_t h) { widget = AddPlaced(root, gCRect(50, 50, 50 + w, 50 + h)); }
};

// An image widget of the image's size at (50, 50), holding the image.
struct SImageOwner {
    CRecordingRoot root{600, 400};
    CImWidget* widget = nullptr;

    SImageOwner(std::unique_ptr<CImage> image, int32_t w, int32_t h) {
        widget = AddPlaced<CImWidget>(root, gCRect(50, 50, 50 + w, 50 + h));
        EXPECT_EQ(widget->SetImage(image.release(), 0, 0), eNoError);
    }
};

// A target covering owner-local (-margin, -margin) to (w + margin, h +
// margin), filled with colour.
inline std::unique_ptr<CImage> LocalTarget(int32_t w, int32_t h, int32_t margin, uint32_t colour) {
    auto target = FilledImage(w + 2 * margin, h + 2 * margin, colour);
    target->SetOrigin(gCPoint(margin, margin));
    return target;
}

// The word at owner-local (x, y) of such a target.
inline uint32_t LocalPixel(CImage& target, int32_t x, int32_t y) {
    return PixelAt(target, x + target.GetOrigin().x, y + target.GetOrigin().y);
}

// An image whose alpha falls off softly towards its edges (a disc with a
// soft rim), colour grey.
inline std::unique_ptr<CImage> SoftDisc(int32_t w, int32_t h) {
    return MakeImage(w, h, [w, h](int32_t x, int32_t y) {
        const float dx = (float(x) + 0.5f - float(w) / 2) / (float(w) / 2);
        const float dy = (float(y) + 0.5f - float(h) / 2) / (float(h) / 2);
        const float d = std::sqrt(dx * dx + dy * dy);
        const float a = std::clamp((1.0f - d) * 4.0f, 0.0f, 1.0f);
        return (uint32_t(a * 255.0f + 0.5f) << 24) | 0x808080u;
    });
}

// A random rectangle inside r.
inline gCRect RandomRect(std::mt19937& rng, const gCRect& r) {
    std::uniform_int_distribution<int32_t> xs(r.left, r.right - 1);
    std::uniform_int_distribution<int32_t> ys(r.top, r.bottom - 1);
    int32_t l = xs(rng);
    int32_t t = ys(rng);
    std::uniform_int_distribution<int32_t> ws(1, r.right - l);
    std::uniform_int_distribution<int32_t> hs(1, r.bottom - t);
    return gCRect(l, t, l + ws(rng), t + hs(rng));
}
