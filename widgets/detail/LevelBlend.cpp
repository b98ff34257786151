#include "widgets/detail/LevelBlend.h"

#include "imaging/PixelPaths.h"

namespace effectdetail {

void BlendLevelsPlain(CPixel* dst, const uint8_t* levels, int32_t count, CPixel src) {
    for (int32_t i = 0; i < count; ++i) {
        CPixel::Blend255Proc(dst + i, levels[i], src);
    }
}

void BlendLevels(CPixel* dst, const uint8_t* levels, int32_t count, CPixel src) {
#if DAUBLIN_WIDGETS_SSE2
    if (CPixelPaths::Active() != CPixelPaths::ePlain) {
        BlendLevelsSse2(dst, levels, count, src);
        return;
    }
#endif
    BlendLevelsPlain(dst, levels, count, src);
}

} // namespace effectdetail
