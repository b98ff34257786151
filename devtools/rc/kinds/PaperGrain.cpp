#include "devtools/rc/kinds/PaperGrain.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace {

using CField = std::vector<double>;

// A well-mixed 32-bit hash.
uint32_t Hash(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

// A random number in [0, 1) for an item, one of its values, a seed and a
// channel.
double Random(uint32_t item, uint32_t value, uint32_t seed, uint32_t channel) {
    const uint32_t h =
        Hash(item * 0x9E3779B1u ^ Hash(value * 0x85EBCA77u ^ Hash(seed + channel * 0x27D4EB2Fu)));
    return double(h >> 8) / 16777216.0;
}

double SmoothStep(double t) {
    return t * t * (3.0 - 2.0 * t);
}

double Clamp01(double v) {
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

// v wrapped into 0..size-1.
int32_t Wrap(int32_t v, int32_t size) {
    const int32_t w = v % size;
    return w < 0 ? w + size : w;
}

// One layer of bumps: radii from the smallest to the largest, enough of them
// that each pixel lies under about `cover` of them; heights in 0.5..1, or
// in -1..1 when signed (hollows as well as mounds).
struct SBumps {
    double smallest;
    double largest;
    double cover;
    bool signedHeights;
};

// The bumps of one channel summed over the picture, wrapping at its edges.
// A bump of radius r and height h adds h·(1 − d²/r²)² at distance d < r
// from its centre, which lies anywhere in the picture.
CField BumpField(int32_t size, uint32_t seed, uint32_t channel, const SBumps& b) {
    CField field(size_t(size) * size_t(size), 0.0);
    // A bump wider than half the picture would meet itself across the wrap.
    const double limit = 0.45 * size;
    const double smallest = std::min(std::max(b.smallest, 0.75), limit);
    const double largest = std::min(std::max(b.largest, smallest), limit);
    const double mean = 0.5 * (smallest + largest);
    // A bump's profile covers as much as a disc of 1/3 of its area.
    const double each = 3.14159265358979 * mean * mean / 3.0;
    const double wanted = b.cover * double(size) * double(size) / each;
    const uint32_t count = uint32_t(std::max(1.0, std::floor(wanted + 0.5)));
    for (uint32_t k = 0; k < count; ++k) {
        const double cx = size * Random(k, 0, seed, channel);
        const double cy = size * Random(k, 1, seed, channel);
        const double r = smallest + (largest - smallest) * Random(k, 2, seed, channel);
        const double u = Random(k, 3, seed, channel);
        const double height = b.signedHeights ? 2.0 * u - 1.0 : 0.5 + 0.5 * u;
        const int32_t x0 = int32_t(std::floor(cx - r)), x1 = int32_t(std::ceil(cx + r));
        const int32_t y0 = int32_t(std::floor(cy - r)), y1 = int32_t(std::ceil(cy + r));
        for (int32_t y = y0; y <= y1; ++y) {
            const double dy = double(y) + 0.5 - cy;
            double* row = &field[size_t(Wrap(y, size)) * size_t(size)];
            for (int32_t x = x0; x <= x1; ++x) {
                const double dx = double(x) + 0.5 - cx;
                const double t = 1.0 - (dx * dx + dy * dy) / (r * r);
                if (t > 0.0) {
                    row[Wrap(x, size)] += height * t * t;
                }
            }
        }
    }
    return field;
}

// The field moved to mean 0 and standard deviation 1 (all 0 when flat).
void Standardise(CField& field) {
    double sum = 0.0;
    for (const double v : field) {
        sum += v;
    }
    const double mean = sum / double(field.size());
    double squares = 0.0;
    for (const double v : field) {
        squares += (v - mean) * (v - mean);
    }
    const double deviation = std::sqrt(squares / double(field.size()));
    for (double& v : field) {
        v = deviation > 0.0 ? (v - mean) / deviation : 0.0;
    }
}

// A layer of bumps, standardised.
CField Layer(const PaperRecipe& s, uint32_t channel, const SBumps& b) {
    CField field = BumpField(s.size, s.seed, channel, b);
    Standardise(field);
    return field;
}

// Σ weight·layer, pixel by pixel.
CField Mix(std::initializer_list<std::pair<double, const CField*>> parts, size_t count) {
    CField mixed(count, 0.0);
    for (const auto& [weight, field] : parts) {
        for (size_t i = 0; i < count; ++i) {
            mixed[i] += weight * (*field)[i];
        }
    }
    return mixed;
}

// A field of height(x, y, i) at every pixel, i its index row after row.
template <class F> CField PerPixel(int32_t size, F height) {
    CField field(size_t(size) * size_t(size));
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            const size_t i = size_t(y) * size_t(size) + size_t(x);
            field[i] = height(x, y, i);
        }
    }
    return field;
}

// Cold press: the tooth (mounds about a period across, each pixel under two
// or three of them), fine grit, and broad hills and hollows.
CField ColdPress(const PaperRecipe& s) {
    const double p = s.period;
    const CField tooth = Layer(s, 1, {0.45 * p, 0.9 * p, 2.5, false});
    const CField grit = Layer(s, 2, {0.12 * p, 0.25 * p, 2.0, true});
    const CField hills = Layer(s, 3, {1.5 * p, 3.0 * p, 2.0, true});
    const CField swell = Layer(s, 4, {5.0 * p, 8.0 * p, 2.0, true});
    return Mix({{1.0, &tooth}, {0.45, &grit}, {0.4, &hills}, {0.2, &swell}}, tooth.size());
}

// Laid: ribs across the rows, a period apart, wavering and of uneven
// strength; chain lines down the sheet about twenty ribs apart, shallow
// furrows where the ribs fade; fibre over it all.
CField Laid(const PaperRecipe& s) {
    const double p = s.period;
    const CField waver = Layer(s, 1, {6.0 * p, 12.0 * p, 2.0, true});
    const CField strength = Layer(s, 2, {3.0 * p, 6.0 * p, 2.0, true});
    const CField fibre = Layer(s, 3, {0.3 * p, 0.6 * p, 2.0, true});
    const CField mottle = Layer(s, 4, {2.0 * p, 4.0 * p, 2.0, true});
    const int32_t chains = std::max(1, int32_t(std::floor(s.size / (20.0 * p) + 0.5)));
    const double chainApart = double(s.size) / chains;
    const double chainHalfWidth = std::max(1.0, 0.4 * p);
    return PerPixel(s.size, [&](int32_t x, int32_t y, size_t i) {
        const double v = (double(y) + 0.5 + 0.12 * p * waver[i]) / p;
        const double t = v - std::floor(v);
        const double rib = SmoothStep(1.0 - std::fabs(2.0 * t - 1.0));

        const double c = (double(x) + 0.5) / chainApart;
        const double fromChain = std::fabs(c - std::floor(c + 0.5)) * chainApart; // pixels
        const double chain =
            fromChain < chainHalfWidth ? SmoothStep(1.0 - fromChain / chainHalfWidth) : 0.0;
        const double ribStrength = Clamp01(0.8 + 0.2 * strength[i]) * (1.0 - 0.6 * chain);
        return 2.2 * rib * ribStrength + 0.4 * fibre[i] + 0.2 * mottle[i] - 1.2 * chain;
    });
}

// Weave: the period holds two threads each way; in alternate cells the
// thread across or the thread down lies on top, each a rounded cord that
// rises to the middle of its cell and dips where it goes under the next.
// Each thread has its own thickness, wanders a little from its line and is
// lumpy along its length.
CField Weave(const PaperRecipe& s) {
    const double p = s.period;
    const CField wanderX = Layer(s, 1, {4.0 * p, 8.0 * p, 2.0, true});
    const CField wanderY = Layer(s, 2, {4.0 * p, 8.0 * p, 2.0, true});
    const CField lumps = Layer(s, 3, {0.3 * p, 0.7 * p, 2.0, true});
    const CField fibre = Layer(s, 4, {0.06 * p, 0.15 * p, 2.0, true});
    const int32_t cells = 2 * (s.size / s.period);
    const double cell = double(s.size) / cells;
    return PerPixel(s.size, [&](int32_t x, int32_t y, size_t n) {
        const double u = (double(x) + 0.5) / cell + 0.06 * wanderX[n];
        const double v = (double(y) + 0.5) / cell + 0.06 * wanderY[n];
        const double fu = u - std::floor(u), fv = v - std::floor(v);
        const int32_t i = Wrap(int32_t(std::floor(u)), cells);
        const int32_t j = Wrap(int32_t(std::floor(v)), cells);
        const bool across = ((i + j) & 1) == 0;
        // Across: the cord's section runs down the cell, its length across.
        const double section = across ? fv : fu;
        const double along = across ? fu : fv;
        const int32_t thread = across ? j : i;
        const double thickness = 0.8 + 0.2 * Random(uint32_t(thread), across ? 1u : 2u, s.seed, 5);
        const double w = 2.0 * section - 1.0;
        const double cord = std::sqrt(Clamp01(1.0 - w * w / (thickness * thickness)));
        const double a = 2.0 * along - 1.0;
        const double arch = 0.55 + 0.45 * (1.0 - a * a);
        return 3.0 * cord * arch * (1.0 + 0.12 * lumps[n]) + 0.25 * fibre[n];
    });
}

// Hot press: a faint fine grit, a fainter tooth and slow swells.
CField HotPress(const PaperRecipe& s) {
    const double p = s.period;
    const CField grit = Layer(s, 1, {0.3 * p, 0.5 * p, 2.0, true});
    const CField tooth = Layer(s, 2, {1.0 * p, 2.0 * p, 2.0, true});
    const CField swell = Layer(s, 3, {8.0 * p, 16.0 * p, 2.0, true});
    return Mix({{1.0, &grit}, {0.3, &tooth}, {0.4, &swell}}, grit.size());
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
    // The grain range of each pattern: moderate, since the default relief
    // lights twice the grain.
    double low = 0, high = 0;
    CField h;
    switch (s.pattern) {
    case EPaperPattern::kColdPress:
        low = 40, high = 216, h = ColdPress(s);
        break;
    case EPaperPattern::kLaid:
        low = 72, high = 196, h = Laid(s);
        break;
    case EPaperPattern::kWeave:
        low = 48, high = 208, h = Weave(s);
        break;
    case EPaperPattern::kHotPress:
        low = 112, high = 152, h = HotPress(s);
        break;
    }
    Standardise(h);
    // Standard deviations to the range: softly limited, so the highest
    // mounds round off instead of flattening at the ends.
    const double middle = 0.5 * (low + high), half = 0.5 * (high - low);
    std::vector<uint8_t> grain(h.size());
    for (size_t i = 0; i < h.size(); ++i) {
        const double z = h[i] / 2.2;
        const double g = std::floor(middle + half * z / std::sqrt(1.0 + z * z) + 0.5);
        grain[i] = uint8_t(std::clamp(g, double(kPaperLowestGrain), double(kPaperHighestGrain)));
    }
    return grain;
}
