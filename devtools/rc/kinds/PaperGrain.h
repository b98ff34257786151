#pragma once
// Paper grains drawn from a few numbers: a pattern, the side of the square
// picture, the pattern's period and a seed. The result tiles seamlessly
// (every feature wraps across the edges) and is the same on every build:
// integer hashes for randomness and only +, -, ×, / and sqrt in doubles, no
// clock and nothing from the machine.
//
// The surfaces are built from random bumps: rounded mounds of random size
// and height, scattered anywhere in the picture (not on a lattice), summed
// with wrap-around. A few layers of them at different sizes make a tooth
// with no grid and no repeat inside the picture.
//
//   cold-press  an irregular tooth about a period across, over finer grit
//               and broader hills and hollows
//   laid        ribs a period apart across the sheet, wavering and uneven,
//               crossed by chain lines about twenty ribs apart, over a
//               light fibre
//   weave       canvas: threads over and under, the period one repeat of
//               two, each thread of its own thickness and lumpy along it
//   hot-press   nearly smooth: a faint fine grit over slow swells

#include <cstdint>
#include <string_view>
#include <vector>

enum class EPaperPattern { kColdPress, kLaid, kWeave, kHotPress };

struct PaperRecipe {
    EPaperPattern pattern = EPaperPattern::kColdPress;
    int32_t size = 512;
    int32_t period = 8;
    uint32_t seed = 0;
};

inline constexpr int32_t kPaperSmallestSize = 64;
inline constexpr int32_t kPaperLargestSize = 1024;
// Every grain value lies within these, as chalk and the relief need.
inline constexpr uint8_t kPaperLowestGrain = 16;
inline constexpr uint8_t kPaperHighestGrain = 240;

// The pattern of a source name; false for a name that is none.
bool PaperPatternByName(std::string_view name, EPaperPattern& pattern);

// The grain, size × size bytes row after row. The recipe must be valid: a
// size within the range and a period from 1 up that divides it.
std::vector<uint8_t> DrawPaper(const PaperRecipe& recipe);
