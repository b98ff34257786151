#pragma once
// Musical pitch for sound playback: notes are equal-tempered semitones away
// from the pitch a sound was recorded at.

#include <cstdint>

class CMusic {
public:
    // A signed number of semitones relative to the recorded pitch; 0 plays a
    // sound as recorded, 12 an octave higher, -12 an octave lower.
    using ENote = int32_t;

    // The factor a note multiplies the playback speed by: 2^(note / 12),
    // worked out in double precision and given as a float.
    static float FrequencyMultiplier(ENote note);
};
