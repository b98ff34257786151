#pragma once
// The text renderer's gamma tables, as the application object builds them.
// The smallest form of the text subsystem's renderer; the text subsystem
// replaces it.

#include <cmath>
#include <cstdint>

class CTextRenderer {
public:
    // Entry i = round(255 * (i/255)^gamma), and the inverse table with
    // 1/gamma.
    static void BuildGammaLUT(float gamma) {
        for (int i = 0; i < 256; ++i) {
            const double t = i / 255.0;
            m_aGamma[i] = uint8_t(std::lround(255.0 * std::pow(t, double(gamma))));
            m_aInverseGamma[i] = uint8_t(std::lround(255.0 * std::pow(t, 1.0 / double(gamma))));
        }
    }

    static inline uint8_t m_aGamma[256] = {};
    static inline uint8_t m_aInverseGamma[256] = {};
};
