#pragma once
// Clearing the per-stroke marks of a run of L3 words (the high half) while
// keeping the grain copy (the low half). Most words at a stroke's end carry
// no mark: the fast form only reads those, writing back just the groups
// that hold one. Both forms leave the same words.

#include <cstdint>

namespace tooldetail {

// Every word of words[0 .. n - 1] masked to its low half.
void ClearMarksPlain(uint32_t* words, int32_t n);
// The same, eight words a step, writing only the steps that hold a mark.
void ClearMarks(uint32_t* words, int32_t n);

} // namespace tooldetail
