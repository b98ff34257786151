#include "imaging/PixelMix.h"

#include <algorithm>
#include <cstring>

#include "imaging/PixelPaths.h"
#include "imaging/detail/MixModes.h"

namespace {

bool Usable(const CImNav* view) {
    return view && view->IsLocked();
}

bool HasPixels(CImage* image) {
    return image && image->IsValid() && !image->IsCompressed();
}

// Where one layer comes from: a view's rows, or one colour everywhere.
struct Layer {
    const CImNav* view;
    uint32_t colour;

    const uint32_t* Row(int32_t y) const { return reinterpret_cast<const uint32_t*>(view->Row(y)); }
};

// Whether rows of the destination and of a source view overlap in memory
// without being the same pixels: then each pixel must be mixed strictly in
// order, reading what earlier positions wrote.
bool Staggered(const CImNav& dst, const Layer& src, int32_t w, int32_t h) {
    if (!src.view || src.view->GetImage() != dst.GetImage() ||
        src.view->GetData() == dst.GetData()) {
        return false;
    }
    const uint32_t* d = reinterpret_cast<const uint32_t*>(dst.GetData());
    const uint32_t* s = reinterpret_cast<const uint32_t*>(src.view->GetData());
    const ptrdiff_t span = ptrdiff_t(h - 1) * dst.GetStride() + w;
    return d < s + span && s < d + span;
}

using RowsFn = void (*)(uint32_t* out, const uint32_t* s, uint32_t sc, const uint32_t* b,
                        uint32_t bc, int32_t n);

// A mode's row loop on the active path: the plain loop, or the vector form
// where the mode has one (Multiply on SSE2).
template <class Mode> RowsFn RowsFor(CPixelPaths::EPath) {
    return &mixmode::Rows<Mode>::Mix;
}

template <> RowsFn RowsFor<mixmode::Multiply>(CPixelPaths::EPath path) {
#if DAUBLIN_HAVE_SSE2
    if (path >= CPixelPaths::eSse2) {
        return &mixmode::MultiplyRowsSse2;
    }
#else
    (void)path; // only the plain loop is built
#endif
    return &mixmode::Rows<mixmode::Multiply>::Mix;
}

template <class Mode>
void MixArea(const CImNav& dst, const Layer& blend, const Layer& base, int32_t w, int32_t h) {
    const bool ordered = Staggered(dst, blend, w, h) || Staggered(dst, base, w, h);
    const RowsFn rows = RowsFor<Mode>(CPixelPaths::Active());
    for (int32_t y = 0; y < h; ++y) {
        uint32_t* out = reinterpret_cast<uint32_t*>(dst.Row(y));
        if (ordered) {
            for (int32_t x = 0; x < w; ++x) {
                const uint32_t s = blend.view ? blend.Row(y)[x] : blend.colour;
                const uint32_t b = base.view ? base.Row(y)[x] : base.colour;
                out[x] = Mode::Apply(s, b);
            }
        } else {
            rows(out, blend.view ? blend.Row(y) : nullptr, blend.colour,
                 base.view ? base.Row(y) : nullptr, base.colour, w);
        }
    }
}

// The views taking part have been checked.
template <class Mode> error MixViews(CImNav* dst, const Layer& blend, const Layer& base) {
    int32_t w = dst->GetWidth();
    int32_t h = dst->GetHeight();
    for (const Layer* l : {&blend, &base}) {
        if (l->view) {
            w = std::min(w, l->view->GetWidth());
            h = std::min(h, l->view->GetHeight());
        }
    }
    if (w <= 0 || h <= 0) {
        return eNoError;
    }
    MixArea<Mode>(*dst, blend, base, w, h);
    return eNoError;
}

template <class Mode> error ThreeViews(CImNav* dst, CImNav* blend, CImNav* base) {
    if (!Usable(dst) || !Usable(blend) || !Usable(base)) {
        return eBadParameter;
    }
    return MixViews<Mode>(dst, Layer{blend, 0}, Layer{base, 0});
}

template <class Mode> error ConstantBase(CImNav* dst, CImNav* blend, CPixel base) {
    if (!Usable(dst) || !Usable(blend)) {
        return eBadParameter;
    }
    return MixViews<Mode>(dst, Layer{blend, 0}, Layer{nullptr, base});
}

template <class Mode> error ConstantBlend(CImNav* dst, CPixel blend, CImNav* base) {
    if (!Usable(dst) || !Usable(base)) {
        return eBadParameter;
    }
    return MixViews<Mode>(dst, Layer{nullptr, blend}, Layer{base, 0});
}

template <class Mode> error ThreeImages(CImage* dst, CImage* blend, CImage* base) {
    if (!HasPixels(dst) || !HasPixels(blend) || !HasPixels(base)) {
        return eBadParameter;
    }
    CImNav dstView(dst);
    CImNav blendView(blend);
    CImNav baseView(base);
    if (!dstView.IsLocked() || !blendView.IsLocked() || !baseView.IsLocked()) {
        return eOutOfMemory;
    }
    return ThreeViews<Mode>(&dstView, &blendView, &baseView);
}

} // namespace

#define DAUBLIN_MIX_FORMS(Mode)                                                                    \
    error CPixelMix::Mode(CImNav* dst, CImNav* blend, CImNav* base) {                              \
        return ThreeViews<mixmode::Mode>(dst, blend, base);                                        \
    }                                                                                              \
    error CPixelMix::Mode(CImage* dst, CImage* blend, CImage* base) {                              \
        return ThreeImages<mixmode::Mode>(dst, blend, base);                                       \
    }                                                                                              \
    error CPixelMix::Mode(CImNav* dst, CImNav* blend, CPixel base) {                               \
        return ConstantBase<mixmode::Mode>(dst, blend, base);                                      \
    }                                                                                              \
    error CPixelMix::Mode(CImNav* dst, CPixel blend, CImNav* base) {                               \
        return ConstantBlend<mixmode::Mode>(dst, blend, base);                                     \
    }
DAUBLIN_MIX_MODES(DAUBLIN_MIX_FORMS)
#undef DAUBLIN_MIX_FORMS

#define DAUBLIN_MIX_LIST(Mode) &CPixelMix::Mode,

namespace {

// The mode's form with the same arguments, from a table in the order of
// EMixMode; a mode above 6 does nothing.
template <class... Args> error Dispatch(CPixelMix::EMixMode mode, Args... args) {
    using Form = error (*)(Args...);
    static const Form forms[7] = {DAUBLIN_MIX_MODES(DAUBLIN_MIX_LIST)};
    const uint32_t m = uint32_t(mode);
    return m < 7 ? forms[m](args...) : eNoError;
}

} // namespace

#undef DAUBLIN_MIX_LIST

error CPixelMix::Mix(CImNav* dst, CImNav* blend, CImNav* base, EMixMode mode) {
    return Dispatch(mode, dst, blend, base);
}

error CPixelMix::Mix(CImage* dst, CImage* blend, CImage* base, EMixMode mode) {
    return Dispatch(mode, dst, blend, base);
}

error CPixelMix::Mix(CImNav* dst, CImNav* blend, CPixel base, EMixMode mode) {
    return Dispatch(mode, dst, blend, base);
}

error CPixelMix::Mix(CImNav* dst, CPixel blend, CImNav* base, EMixMode mode) {
    return Dispatch(mode, dst, blend, base);
}

#define DAUBLIN_MIX_PIXEL(Mode)                                                                    \
    CPixel CPixelMix::Mode(CPixel blend, CPixel base) {                                            \
        return mixmode::Mode::Apply(blend, base);                                                  \
    }
DAUBLIN_MIX_MODES(DAUBLIN_MIX_PIXEL)
#undef DAUBLIN_MIX_PIXEL

CPixel CPixelMix::MixPixel(int32_t mode, CPixel blend, CPixel base) {
    switch (mode) {
    case eMixNormal:
        return mixmode::Normal::Apply(blend, base);
    case eMixMultiply:
        return mixmode::Multiply::Apply(blend, base);
    case eMixScreen:
        return mixmode::Screen::Apply(blend, base);
    case eMixOverlay:
        return mixmode::Overlay::Apply(blend, base);
    case eMixDodge:
        return mixmode::Dodge::Apply(blend, base);
    case eMixBurn:
        return mixmode::Burn::Apply(blend, base);
    case eMixSoftLight:
        return mixmode::SoftLight::Apply(blend, base);
    default:
        return base;
    }
}
