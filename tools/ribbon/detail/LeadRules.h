#pragma once
// The pencil's lead: its tip across the line by style, and how the paper
// grain and the ragged corners thin it.

#include <cstdint>

namespace lead {

// The style whose tip is a wide ramp, capped in density.
inline constexpr int32_t kWideStyle = 1;
inline constexpr float kWideDensityCap = 0.7f;

// Style 0 a tent: k / 48 up to 48, 1 over 48..51, then down to 0 at 99.
// Any other style a ramp: k x 0.01010101.
void BuildTipProfile(int32_t style, float (&profile)[100]);

// The grain's depth below the box's highest peak, 0 at the peaks and 1 in
// its deepest valley; 0 everywhere on a box whose grain is all one value.
struct SGrainRange {
    uint32_t lowest = 0xFFFFFFFFu;
    uint32_t highest = 0;

    void Take(uint32_t grain) {
        lowest = grain < lowest ? grain : lowest;
        highest = grain > highest ? grain : highest;
    }
    bool Flat() const { return !(lowest < highest); }
    float Depth(uint32_t grain) const {
        return Flat() ? 0.0f : float(int32_t(highest - grain)) / float(int32_t(highest - lowest));
    }
};

// An alpha weakened where the lead at density p is lighter than the grain's
// depth g: round(a x p / g) when p < g.
int32_t CatchOnGrain(int32_t alpha, float p, float g);

// The strength of a corner piece's ragged end at w along it (0 at its full
// end) and u_c across it: the bell plus the value noise read at the noise
// position.
float RaggedEnd(float w, float uc, uint32_t noisePosition);

} // namespace lead
