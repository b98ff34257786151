#include "imaging/Blur.h"

#include <algorithm>
#include <cmath>

#include "foundation/gCMemory.h"
#include "imaging/ImLocker.h"
#include "imaging/detail/BlurLine.h"

using namespace blurline;

bool blurline::FromRadius(float radius, Params& params) {
    if (!(radius >= 1e-6f)) { // also a radius that is not a number
        return false;
    }
    if (radius < 1.0f) {
        radius = radius * 0.5f + 0.5f;
    }
    const float t = float(std::log(double(radius))) / 0.6931472f + 1.0f;
    if (!(t < 31.0f)) {
        // Far longer than any line: the distance is halved to fit anyway.
        params = Params{1u << 30, 0, 0.0f};
        return true;
    }
    const int32_t n = int32_t(t);
    params.d = 1u << n;
    params.f = t - float(n);
    params.f16 = uint32_t(int32_t((t - float(n)) * 65536.0f));
    return true;
}

namespace {

enum class Pass { kBoth, kAcross, kDown };

// One scratch block from the memory hooks for the strips of one blur; when
// it cannot be had, the lines are blurred in place instead.
class Scratch {
public:
    Scratch() = default;
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    ~Scratch() { Release(); }

    uint32_t* Get(size_t words) {
        if (words > m_nWords) {
            Release();
            m_pWords = static_cast<uint32_t*>(gCMemory::Alloc(words * sizeof(uint32_t)));
            m_nWords = m_pWords ? words : 0;
        }
        return m_pWords;
    }

private:
    void Release() {
        if (m_pWords) {
            gCMemory::Free(m_pWords);
        }
        m_pWords = nullptr;
        m_nWords = 0;
    }

    uint32_t* m_pWords = nullptr;
    size_t m_nWords = 0;
};

// Columns go through the scratch buffer in strips this wide.
constexpr uint32_t kStripLanes = 16;

struct Area {
    uint32_t* data;
    ptrdiff_t stride;
    uint32_t width, height;
};

template <class Ch> void BlurRow(uint32_t* row, uint32_t width, const Params& p, uint32_t* buffer) {
    if (buffer) {
        BlurStrip<Ch, 2>(row, 1, 0, 1, width, p, buffer);
    } else {
        BlurInPlace<Ch, 2>(row, 1, width, p);
    }
}

template <class Ch> void BlurRows(const Area& a, const Params& p, Scratch& scratch) {
    uint32_t* buffer = scratch.Get(StripWords(a.width, 1, p));
    for (uint32_t y = 0; y < a.height; ++y) {
        BlurRow<Ch>(a.data + ptrdiff_t(y) * a.stride, a.width, p, buffer);
    }
}

template <class Ch> void BlurColumnsInStrips(const Area& a, const Params& p, Scratch& scratch) {
    uint32_t* buffer = scratch.Get(StripWords(a.height, kStripLanes, p));
    for (uint32_t x = 0; x < a.width; x += kStripLanes) {
        const uint32_t lanes = std::min(kStripLanes, a.width - x);
        if (buffer) {
            BlurStrip<Ch, 0>(a.data + x, a.stride, 1, lanes, a.height, p, buffer);
            continue;
        }
        for (uint32_t l = 0; l < lanes; ++l) {
            BlurInPlace<Ch, 0>(a.data + x + l, a.stride, a.height, p);
        }
    }
}

// Up to this distance (three passes) the columns are blurred by sweeping
// down the rows, with the rows' own blur done in the same sweep; beyond it,
// rows first and then the columns in strips that stay in the cache for all
// their passes.
constexpr uint32_t kSweepMaxDistance = 4;

template <class Ch> void BlurChannel(const Area& a, const Params& p, Pass pass, Scratch& scratch) {
    const bool across = pass != Pass::kDown;
    const bool down = pass != Pass::kAcross;
    Params fitted = p;
    FitToLength(fitted, a.height);
    if (down && fitted.d <= kSweepMaxDistance) {
        const size_t sweepWords = SweepWords(a.width, a.height, p);
        const size_t rowWords = across ? StripWords(a.width, 1, p) : 0;
        if (uint32_t* words = scratch.Get(sweepWords + rowWords)) {
            uint32_t* rowBuffer = words + sweepWords;
            auto prepare = [&](uint32_t y) {
                if (across) {
                    BlurRow<Ch>(a.data + ptrdiff_t(y) * a.stride, a.width, p, rowBuffer);
                }
            };
            BlurColumnsBySweep<Ch>(a.data, a.stride, a.width, a.height, p, words, prepare);
            return;
        }
    }
    if (across) {
        BlurRows<Ch>(a, p, scratch);
    }
    if (down) {
        BlurColumnsInStrips<Ch>(a, p, scratch);
    }
}

// The driver of every blur: the radius rule, then each channel in turn.
template <class... Channels> int32_t BlurView(CImNav& view, float radius, Pass pass) {
    Params p;
    if (!FromRadius(radius, p)) {
        return 1;
    }
    if (!view.IsLocked()) {
        return 0;
    }
    if (view.GetWidth() <= 0 || view.GetHeight() <= 0) {
        return 1;
    }
    const Area a{reinterpret_cast<uint32_t*>(view.GetData()), view.GetStride(),
                 uint32_t(view.GetWidth()), uint32_t(view.GetHeight())};
    Scratch scratch;
    (BlurChannel<Channels>(a, p, pass, scratch), ...);
    return 1;
}

template <class... Channels> int32_t BlurImage(CImage* image, float radius, Pass pass) {
    CImNav view(image);
    return BlurView<Channels...>(view, radius, pass);
}

int32_t BlurOneChannel(CImNav& view, float radius, int32_t high, Pass pass) {
    return high ? BlurView<HighChannel>(view, radius, pass)
                : BlurView<LowChannel>(view, radius, pass);
}

} // namespace

int32_t CBlur::GaussianBlur(CImNav& view, float radius, int32_t high) {
    return BlurOneChannel(view, radius, high, Pass::kBoth);
}
int32_t CBlur::GaussianBlurH(CImNav& view, float radius, int32_t high) {
    return BlurOneChannel(view, radius, high, Pass::kAcross);
}
int32_t CBlur::GaussianBlurV(CImNav& view, float radius, int32_t high) {
    return BlurOneChannel(view, radius, high, Pass::kDown);
}
int32_t CBlur::GaussianBlur(CImage* image, float radius, int32_t high) {
    CImNav view(image);
    return GaussianBlur(view, radius, high);
}
int32_t CBlur::GaussianBlurH(CImage* image, float radius, int32_t high) {
    CImNav view(image);
    return GaussianBlurH(view, radius, high);
}
int32_t CBlur::GaussianBlurV(CImage* image, float radius, int32_t high) {
    CImNav view(image);
    return GaussianBlurV(view, radius, high);
}

int32_t CBlur::GaussianBlur24(CImage* image, float radius) {
    return BlurImage<WholeWord>(image, radius, Pass::kBoth);
}
int32_t CBlur::GaussianBlur24H(CImage* image, float radius) {
    return BlurImage<WholeWord>(image, radius, Pass::kAcross);
}
int32_t CBlur::GaussianBlur24V(CImage* image, float radius) {
    return BlurImage<WholeWord>(image, radius, Pass::kDown);
}

int32_t CBlur::GaussianBlur16x2(CImage* image, float radius) {
    return BlurImage<LowChannel, HighChannel>(image, radius, Pass::kBoth);
}
int32_t CBlur::GaussianBlur16x2H(CImage* image, float radius) {
    return BlurImage<LowChannel, HighChannel>(image, radius, Pass::kAcross);
}
int32_t CBlur::GaussianBlur16x2V(CImage* image, float radius) {
    return BlurImage<LowChannel, HighChannel>(image, radius, Pass::kDown);
}

namespace {

uint32_t HighToBoth(uint32_t w) {
    return (w >> 16) * 0x10001u;
}
uint32_t LowToBoth(uint32_t w) {
    return (w & 0xFFFFu) * 0x10001u;
}

template <uint32_t (*Copy)(uint32_t)> error CopyImage(CImage* image) {
    uint32_t* words = nullptr;
    CImLocker lock(image, words);
    if (!lock.IsLocked() || !words) {
        return eOutOfMemory;
    }
    const size_t n = size_t(image->GetWidth()) * size_t(image->GetHeight());
    for (size_t i = 0; i < n; ++i) {
        words[i] = Copy(words[i]);
    }
    return eNoError;
}

template <uint32_t (*Copy)(uint32_t)> error CopyView(CImNav& view) {
    if (!view.IsLocked()) {
        return eNoError;
    }
    for (int32_t y = 0; y < view.GetHeight(); ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(view.Row(y));
        for (int32_t x = 0; x < view.GetWidth(); ++x) {
            row[x] = Copy(row[x]);
        }
    }
    return eNoError;
}

} // namespace

error CBlur::CopyFromHiToLow16(CImage* image) {
    return CopyImage<HighToBoth>(image);
}
error CBlur::CopyFromLowToHi16(CImage* image) {
    return CopyImage<LowToBoth>(image);
}
error CBlur::CopyFromHiToLow16(CImNav& view) {
    return CopyView<HighToBoth>(view);
}
error CBlur::CopyFromLowToHi16(CImNav& view) {
    return CopyView<LowToBoth>(view);
}

namespace {

template <class Ch, uint32_t kRound>
void Columns(uint32_t* first, uint32_t count, const Params& p, uint32_t length, uint32_t stride) {
    for (uint32_t c = 0; c < count; ++c) {
        BlurInPlace<Ch, kRound>(first + c, ptrdiff_t(stride), length, p);
    }
}

Params Fixed(uint32_t d, uint32_t f) {
    return Params{d, f, 0.0f};
}
Params Float(uint32_t d, float f) {
    return Params{d, 0, f};
}

} // namespace

void CBlur::BlurH(uint32_t* first, uint32_t d, uint32_t f, uint32_t length) {
    BlurInPlace<LowChannel, 2>(first, 1, length, Fixed(d, f));
}
void CBlur::BlurV4(uint32_t* first, uint32_t d, uint32_t f, uint32_t length, uint32_t stride) {
    Columns<LowChannel, 0>(first, 4, Fixed(d, f), length, stride);
}
void CBlur::BlurV1(uint32_t* first, uint32_t d, uint32_t f, uint32_t length, uint32_t stride) {
    Columns<LowChannel, 0>(first, 1, Fixed(d, f), length, stride);
}
void CBlur::BlurHi16H(uint32_t* first, uint32_t d, uint32_t f, uint32_t length) {
    BlurInPlace<HighChannel, 2>(first, 1, length, Fixed(d, f));
}
void CBlur::BlurHi16V4(uint32_t* first, uint32_t d, uint32_t f, uint32_t length, uint32_t stride) {
    Columns<HighChannel, 0>(first, 4, Fixed(d, f), length, stride);
}
void CBlur::BlurHi16V1(uint32_t* first, uint32_t d, uint32_t f, uint32_t length, uint32_t stride) {
    Columns<HighChannel, 0>(first, 1, Fixed(d, f), length, stride);
}
void CBlur::BlurH_16x2(uint32_t* first, uint32_t d, uint32_t f, uint32_t length) {
    BlurInPlace<LowChannel, 2>(first, 1, length, Fixed(d, f));
    BlurInPlace<HighChannel, 2>(first, 1, length, Fixed(d, f));
}
void CBlur::BlurV4_16x2(uint32_t* first, uint32_t d, uint32_t f, uint32_t length, uint32_t stride) {
    Columns<LowChannel, 0>(first, 4, Fixed(d, f), length, stride);
    Columns<HighChannel, 0>(first, 4, Fixed(d, f), length, stride);
}
void CBlur::BlurV1_16x2(uint32_t* first, uint32_t d, uint32_t f, uint32_t length, uint32_t stride) {
    Columns<LowChannel, 0>(first, 1, Fixed(d, f), length, stride);
    Columns<HighChannel, 0>(first, 1, Fixed(d, f), length, stride);
}
void CBlur::Blur24H(uint32_t* first, uint32_t d, float f, uint32_t length) {
    BlurInPlace<WholeWord, 2>(first, 1, length, Float(d, f));
}
void CBlur::Blur24V4(uint32_t* first, uint32_t d, float f, uint32_t length, uint32_t stride) {
    Columns<WholeWord, 0>(first, 4, Float(d, f), length, stride);
}
void CBlur::Blur24V1(uint32_t* first, uint32_t d, float f, uint32_t length, uint32_t stride) {
    Columns<WholeWord, 0>(first, 1, Float(d, f), length, stride);
}
