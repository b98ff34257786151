#pragma once
// Paper grains drawn from a few numbers: a pattern, the side of the square
// picture, the pattern's period and a seed. The result tiles seamlessly
// (every feature repeats across the wrap) and is the same on every build:
// integer hashes for randomness and only +, -, ×, / and sqrt in doubles, no
// clock and nothing from the machine.
//
//   cold-press  irregular rounded tooth, one tooth per period on average
//   laid        fine parallel lines a period apart, faint chain lines across
//   weave       canvas: threads over and under, the period one repeat of two
//   hot-press   smooth, a faint tooth a period across

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
