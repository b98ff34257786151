#include "devtools/rc/kinds/PaperGrain.h"

#include <cmath>

namespace {

// A well-mixed 32-bit hash.
uint32_t Hash(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

// A random number in [0, 1) for a lattice point, a seed and a channel.
double Random(uint32_t i, uint32_t j, uint32_t seed, uint32_t channel) {
    const uint32_t h = Hash(i * 0x9E3779B1u ^ Hash(j * 0x85EBCA77u ^ Hash(seed + channel)));
    return double(h >> 8) / 16777216.0;
}

double SmoothStep(double t) {
    return t * t * (3.0 - 2.0 * t);
}

double Clamp01(double v) {
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

// The integer part of v within 0..cells-1, wrapped, and its fraction.
void Cell(double v, int32_t cells, int32_t& index, double& fraction) {
    const double f = std::floor(v);
    fraction = v - f;
    int32_t i = int32_t(f) % cells;
    index = i < 0 ? i + cells : i;
}

// Value noise in [0, 1) on a lattice of cells × cells over the picture,
// wrapping at its edges.
class CValueNoise {
public:
    CValueNoise(int32_t size, int32_t cells, uint32_t seed, uint32_t channel)
        : m_nSize(size), m_nCells(cells), m_nSeed(seed), m_nChannel(channel) {}

    double At(int32_t x, int32_t y) const {
        const double u = (double(x) + 0.5) * m_nCells / m_nSize;
        const double v = (double(y) + 0.5) * m_nCells / m_nSize;
        int32_t i, j;
        double fu, fv;
        Cell(u, m_nCells, i, fu);
        Cell(v, m_nCells, j, fv);
        const int32_t i1 = (i + 1) % m_nCells, j1 = (j + 1) % m_nCells;
        const double su = SmoothStep(fu), sv = SmoothStep(fv);
        const double top = Lattice(i, j) + (Lattice(i1, j) - Lattice(i, j)) * su;
        const double bottom = Lattice(i, j1) + (Lattice(i1, j1) - Lattice(i, j1)) * su;
        return top + (bottom - top) * sv;
    }

private:
    double Lattice(int32_t i, int32_t j) const {
        return Random(uint32_t(i), uint32_t(j), m_nSeed, m_nChannel);
    }

    int32_t m_nSize, m_nCells;
    uint32_t m_nSeed, m_nChannel;
};

// Cold press: a rounded dome in every cell of the period, jittered in place,
// radius and height, the highest dome at each pixel counting; a slow swell
// and a fine fibre noise over it.
double ColdPress(const PaperRecipe& s, int32_t x, int32_t y, const CValueNoise& swell,
                 const CValueNoise& fibre) {
    const int32_t cells = s.size / s.period;
    const double u = (double(x) + 0.5) / s.period, v = (double(y) + 0.5) / s.period;
    const int32_t ci = int32_t(std::floor(u)), cj = int32_t(std::floor(v));
    double tooth = 0.0;
    for (int32_t dj = -1; dj <= 1; ++dj) {
        for (int32_t di = -1; di <= 1; ++di) {
            const int32_t i = ((ci + di) % cells + cells) % cells;
            const int32_t j = ((cj + dj) % cells + cells) % cells;
            const double px = ci + di + 0.15 + 0.7 * Random(uint32_t(i), uint32_t(j), s.seed, 1);
            const double py = cj + dj + 0.15 + 0.7 * Random(uint32_t(i), uint32_t(j), s.seed, 2);
            const double radius = 0.55 + 0.35 * Random(uint32_t(i), uint32_t(j), s.seed, 3);
            const double height = 0.55 + 0.45 * Random(uint32_t(i), uint32_t(j), s.seed, 4);
            const double d2 = ((u - px) * (u - px) + (v - py) * (v - py)) / (radius * radius);
            if (d2 < 1.0) {
                const double dome = std::sqrt(1.0 - d2) * height;
                tooth = dome > tooth ? dome : tooth;
            }
        }
    }
    return Clamp01(0.72 * tooth + 0.18 * swell.At(x, y) + 0.10 * fibre.At(x, y));
}

// Laid: ridges a period apart across the rows, wavering a little; a faint
// furrow where the chain lines cross them, about every 64 pixels.
double Laid(const PaperRecipe& s, int32_t x, int32_t y, const CValueNoise& waver,
            const CValueNoise& fibre) {
    const double v = (double(y) + 0.5 + 0.8 * (waver.At(x, y) - 0.5)) / s.period;
    const double t = v - std::floor(v);
    const double ridge = SmoothStep(1.0 - std::fabs(2.0 * t - 1.0));

    const int32_t chains = s.size / 64 > 0 ? s.size / 64 : 1;
    const double c = (double(x) + 0.5) * chains / s.size;
    const double fromChain = std::fabs(c - std::floor(c + 0.5)) * s.size / chains; // pixels
    const double chain = fromChain < 1.5 ? SmoothStep(1.0 - fromChain / 1.5) : 0.0;

    return Clamp01(0.62 * ridge + 0.30 * fibre.At(x, y) + 0.08 - 0.22 * chain);
}

// Weave: the period holds two threads each way; in alternate cells the
// thread across or the thread down lies on top, each a rounded cord that
// rises to the middle of its cell and dips where it goes under the next.
double Weave(const PaperRecipe& s, int32_t x, int32_t y, const CValueNoise& fibre) {
    const int32_t cells = 2 * (s.size / s.period);
    int32_t i, j;
    double fu, fv;
    Cell((double(x) + 0.5) * cells / s.size, cells, i, fu);
    Cell((double(y) + 0.5) * cells / s.size, cells, j, fv);
    const bool across = ((i + j) & 1) == 0;
    // Across: the cord's section runs down the cell, its length across.
    const double section = across ? fv : fu;
    const double along = across ? fu : fv;
    const int32_t thread = across ? j : i;
    const double thickness = 0.85 + 0.15 * Random(uint32_t(thread), across ? 1u : 2u, s.seed, 5);
    const double w = 2.0 * section - 1.0;
    const double cord = std::sqrt(Clamp01(1.0 - w * w / (thickness * thickness)));
    const double a = 2.0 * along - 1.0;
    const double arch = 0.55 + 0.45 * (1.0 - a * a);
    return Clamp01(0.85 * cord * arch + 0.15 * fibre.At(x, y));
}

// Hot press: a soft tooth of the period and a slower swell, both faint.
double HotPress(int32_t x, int32_t y, const CValueNoise& tooth, const CValueNoise& swell) {
    return Clamp01(0.6 * tooth.At(x, y) + 0.4 * swell.At(x, y));
}

} // namespace

bool PaperPatternByName(std::string_view name, EPaperPattern& pattern) {
    const struct {
        const char* name;
        EPaperPattern pattern;
    } names[] = {{"cold-press", EPaperPattern::kColdPress},
                 {"laid", EPaperPattern::kLaid},
                 {"weave", EPaperPattern::kWeave},
                 {"hot-press", EPaperPattern::kHotPress}};
    for (const auto& n : names) {
        if (name == n.name) {
            pattern = n.pattern;
            return true;
        }
    }
    return false;
}

std::vector<uint8_t> DrawPaper(const PaperRecipe& s) {
    const int32_t cells = s.size / s.period;
    // The grain range of each pattern: moderate, since the default relief
    // lights twice the grain.
    double low = 0, high = 0;
    switch (s.pattern) {
    case EPaperPattern::kColdPress:
        low = 72, high = 192;
        break;
    case EPaperPattern::kLaid:
        low = 96, high = 176;
        break;
    case EPaperPattern::kWeave:
        low = 64, high = 196;
        break;
    case EPaperPattern::kHotPress:
        low = 116, high = 148;
        break;
    }
    const CValueNoise fine(s.size, cells * 2, s.seed, 10);
    const CValueNoise period(s.size, cells, s.seed, 11);
    const CValueNoise slow(s.size, cells / 8 > 0 ? cells / 8 : 1, s.seed, 12);
    std::vector<uint8_t> grain(size_t(s.size) * size_t(s.size));
    for (int32_t y = 0; y < s.size; ++y) {
        for (int32_t x = 0; x < s.size; ++x) {
            double h = 0;
            switch (s.pattern) {
            case EPaperPattern::kColdPress:
                h = ColdPress(s, x, y, slow, fine);
                break;
            case EPaperPattern::kLaid:
                h = Laid(s, x, y, slow, fine);
                break;
            case EPaperPattern::kWeave:
                h = Weave(s, x, y, fine);
                break;
            case EPaperPattern::kHotPress:
                h = HotPress(x, y, period, slow);
                break;
            }
            const double g = std::floor(low + h * (high - low) + 0.5);
            grain[size_t(y) * size_t(s.size) + size_t(x)] =
                uint8_t(g < kPaperLowestGrain ? kPaperLowestGrain
                                              : (g > kPaperHighestGrain ? kPaperHighestGrain : g));
        }
    }
    return grain;
}
