#include "tools/ribbon/detail/LeadRules.h"

#include <algorithm>

#include "foundation/Rounding.h"
#include "imaging/ValueNoise.h"
#include "tools/ribbon/detail/RibbonPixels.h"

namespace lead {

void BuildTipProfile(int32_t style, float (&profile)[100]) {
    for (int32_t k = 0; k < 100; ++k) {
        if (style != 0) {
            profile[k] = float(k) * 0.01010101f;
        } else if (k < 48) {
            profile[k] = float(k) / 48.0f;
        } else if (k <= 51) {
            profile[k] = 1.0f;
        } else {
            profile[k] = 1.0f - float(k - 51) / 48.0f;
        }
    }
}

int32_t CatchOnGrain(int32_t alpha, float p, float g) {
    if (!(p < g)) {
        return alpha;
    }
    return int32_t(RoundHalfAway(float(alpha & 0xFF) * p / g));
}

float RaggedEnd(float w, float uc, uint32_t noisePosition) {
    // Coordinates far outside the piece are held well inside int32_t.
    const float kFar = 1.0e9f;
    const float along = std::clamp(800000.0f * w * 0.0001f, -kFar, kFar);
    const float across = std::clamp(800000.0f * (2.0f * uc - 1.0f), -kFar, kFar);
    // The position wraps; the sum is read as a signed 16.16 coordinate.
    const uint32_t x = noisePosition + uint32_t(int32_t(RoundHalfAway(along)));
    const int32_t y = int32_t(RoundHalfAway(across));
    const uint32_t n = ValueNoise(int32_t(x), y);
    return ribbon::CornerBell(w) + 0.95f * 0.5f * float(n) / 65535.0f;
}

} // namespace lead
