// The interface sounds are synthesised from parameters: the same samples on
// every run, as long as asked, at their peak level, faded at both ends and
// centred on 0; parameters outside what the interface allows are refused.

#include <gtest/gtest.h>

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "devtools/rc/SourceFile.h"
#include "devtools/rc/kinds/SoundSynth.h"

namespace {

// The synth map's parameters read from YAML text; false when refused.
bool Read(const std::string& yaml, SSynthSound& sound) {
    Diagnostics diagnostics;
    std::vector<BlockReference> references;
    CSourceFile source("sounds.yaml", diagnostics, references);
    return ReadSynth(source, YAML::Load(yaml), sound) && !diagnostics.Failed();
}

const char* const kSwoosh =
    "{length: 180, peak: -15, seed: 7, voices: ["
    "{wave: noise, from: 500, to: 3800, q: 1.6, attack: 110, release: 68},"
    "{wave: sine, from: 300, to: 200, start: 20, length: 100, decay: 30, level: 0.5}]}";

TEST(SoundSynth, GivesTheSameSamplesAtTheirLevelFadedAndCentred) {
    SSynthSound sound;
    ASSERT_TRUE(Read(kSwoosh, sound));
    const std::vector<int16_t> samples = SynthesiseSamples(sound);
    EXPECT_EQ(samples, SynthesiseSamples(sound));
    // ceil(180 x 22.05) frames.
    ASSERT_EQ(samples.size(), 3969u);
    int32_t peak = 0;
    for (int16_t s : samples) {
        peak = std::max(peak, std::abs(int32_t(s)));
    }
    EXPECT_EQ(peak, int32_t(std::lround(32768.0 * std::pow(10.0, -15.0 / 20.0))));
    EXPECT_EQ(samples.front(), 0);
    EXPECT_EQ(samples.back(), 0);
    const double mean =
        std::accumulate(samples.begin(), samples.end(), 0.0) / double(samples.size());
    EXPECT_LT(std::abs(mean), 1.0);

    // Another seed is other noise.
    sound.seed = 8;
    EXPECT_NE(SynthesiseSamples(sound), samples);
}

TEST(SoundSynth, MakesACanonicalWav) {
    const std::string wav = WavOfSamples({1, -2});
    EXPECT_EQ(wav.size(), 48u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(wav.substr(44), std::string("\x01\x00\xFE\xFF", 4));
}

TEST(SoundSynth, RefusesWhatTheInterfaceDoesNotAllow) {
    const char* const refused[] = {
        // Louder than -12 dBFS, longer than 0.3 s.
        "{length: 100, peak: -11, seed: 1, voices: [{wave: sine, from: 400, to: 400}]}",
        "{length: 301, peak: -14, seed: 1, voices: [{wave: sine, from: 400, to: 400}]}",
        "{length: 100, peak: -14, seed: 1, voices: []}",
        "{length: 100, peak: -14, seed: 1, voices: [{wave: square, from: 400, to: 400}]}",
        "{length: 100, peak: -14, seed: 1, voices: [{wave: sine, from: 400, to: 20000}]}",
        "{length: 100, peak: -14, seed: 1, voices: [{wave: sine, from: 4, to: 400}]}",
        // A voice beyond the sound's end, an envelope beyond the voice.
        "{length: 100, peak: -14, seed: 1, voices: [{wave: sine, from: 400, to: 400, start: 50, "
        "length: 60}]}",
        "{length: 100, peak: -14, seed: 1, voices: [{wave: sine, from: 400, to: 400, attack: 60, "
        "release: 60}]}",
        "{length: 100, peak: -14, seed: 1, loud: 1, voices: [{wave: sine, from: 400, to: 400}]}",
        "{length: 100, peak: x, seed: 1, voices: [{wave: sine, from: 400, to: 400}]}",
    };
    for (const char* yaml : refused) {
        SSynthSound sound;
        EXPECT_FALSE(Read(yaml, sound)) << yaml;
    }
}

} // namespace
