#pragma once
// The interface's sounds are synthesised, never recorded: each is a few
// voices (a sine with a pitch sweep, or noise through a swept band-pass
// filter), shaped by an envelope and summed, then centred on 0, faded in and
// out over 2 ms and scaled to its peak level. The result is a WAV file of
// 16-bit mono at 22,050 frames per second, the same bytes on every build.
//
//   synth:
//     length: 180          # ms, 5..300
//     peak: -13            # dBFS of the loudest sample, -40..-12
//     seed: 90002          # of the noise
//     voices:
//       - wave: noise      # or sine
//         from: 600        # Hz at the voice's start (noise: the band's centre)
//         to: 4000         # Hz at its end, swept exponentially
//         q: 1.5           # noise only: the band's Q; 0 leaves it unfiltered
//         start: 0         # ms into the sound (default 0)
//         length: 180      # ms (default: to the end of the sound)
//         attack: 120      # ms of a smooth rise (default 0)
//         decay: 0         # ms, time constant of an exponential decay after it
//         release: 60      # ms of a smooth fall at the voice's end (default 0)
//         level: 1         # its share of the mix (default 1)
//         wobble: 0        # Hz of a slow swing of the frequency (default 0)
//         wobbleRate: 0    # swings per second

#include <cstdint>
#include <string>
#include <vector>

namespace YAML {
class Node;
}
class CSourceFile;

struct SSynthVoice {
    bool noise = false;
    double from = 0, to = 0, q = 0;
    double start = 0, length = -1;
    double attack = 0, decay = 0, release = 0;
    double level = 1;
    double wobble = 0, wobbleRate = 0;
};

struct SSynthSound {
    int32_t lengthMs = 0;
    double peakDb = -12;
    uint32_t seed = 1;
    std::vector<SSynthVoice> voices;
};

inline constexpr int32_t kSynthRate = 22050;

// Reads the "synth" map of an entry; false once the reason is reported.
bool ReadSynth(CSourceFile& source, const YAML::Node& synth, SSynthSound& sound);

// The samples of the sound: ceil(length x 22.05) frames.
std::vector<int16_t> SynthesiseSamples(const SSynthSound& sound);

// The samples as a canonical WAV file.
std::string WavOfSamples(const std::vector<int16_t>& samples);
