#pragma once
// What the sound tests share: WAV files written out by hand, sounds made
// from sample values, and the test application with a real audio manager.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/PlatformAudioManager.h"
#include "platform/Sound.h"
#include "testsupport/platform/TestApp.h"

inline std::string Le16(uint32_t v) {
    return std::string{char(v & 0xFF), char((v >> 8) & 0xFF)};
}

inline std::string Le32Bytes(uint32_t v) {
    return Le16(v & 0xFFFF) + Le16(v >> 16);
}

// A WAV file's parts; the defaults make a canonical 16-bit mono file.
struct SWav {
    uint32_t channels = 1;
    uint32_t rate = 22050;
    uint32_t bits = 16;
    int64_t align = -1;    // -1: channels x bits / 8
    std::string fmtExtra;  // bytes after the 16 of the format chunk
    std::string between;   // whole chunks between "fmt " and "data"
    std::string data;      // the sample bytes
    int64_t dataSize = -1; // -1: the size of data
    int64_t riffSize = -1; // -1: what follows the RIFF size field
};

inline std::string WavBytes(const SWav& w) {
    const uint32_t align = w.align >= 0 ? uint32_t(w.align) : w.channels * w.bits / 8;
    std::string fmt = Le16(1) + Le16(w.channels) + Le32Bytes(w.rate) + Le32Bytes(w.rate * align) +
                      Le16(align) + Le16(w.bits) + w.fmtExtra;
    std::string body = "WAVEfmt " + Le32Bytes(uint32_t(fmt.size())) + fmt + w.between + "data" +
                       Le32Bytes(uint32_t(w.dataSize >= 0 ? w.dataSize : int64_t(w.data.size()))) +
                       w.data;
    const uint32_t riff = uint32_t(w.riffSize >= 0 ? w.riffSize : int64_t(body.size()));
    return "RIFF" + Le32Bytes(riff) + body;
}

// 16-bit samples as little-endian bytes.
inline std::string Samples16(const std::vector<int16_t>& samples) {
    std::string out;
    for (int16_t s : samples) {
        out += Le16(uint16_t(s));
    }
    return out;
}

// The test application with the real audio manager in place of the
// recording one. Sounds made in a test go before the application.
class SoundTest : public ::testing::Test {
protected:
    SoundTest() { app.SetAudioManager(std::make_unique<CPlatformAudioManager>()); }

    CPlatformAudioManager& Manager() { return app.AudioManager(); }

    // A sound holding exactly these samples (interleaved when stereo), its
    // block no bigger than they are.
    static std::unique_ptr<CSound> Sound16(const std::vector<int16_t>& samples, int32_t stereo = 0,
                                           int32_t rate = 22050) {
        auto sound = std::make_unique<CSound>();
        EXPECT_EQ(sound->Create(16, stereo, rate, 0), eNoError);
        EXPECT_EQ(sound->SetSampleCount(int32_t(samples.size()) / (stereo ? 2 : 1)), eNoError);
        CSoundLock lock(sound.get());
        std::memcpy(lock.Samples(), samples.data(), samples.size() * 2);
        return sound;
    }
    static std::unique_ptr<CSound> Sound8(const std::vector<uint8_t>& samples,
                                          int32_t rate = 22050) {
        auto sound = std::make_unique<CSound>();
        EXPECT_EQ(sound->Create(8, 0, rate, 0), eNoError);
        EXPECT_EQ(sound->SetSampleCount(int32_t(samples.size())), eNoError);
        CSoundLock lock(sound.get());
        std::memcpy(lock.Samples(), samples.data(), samples.size());
        return sound;
    }
    // The sound's samples as 16-bit values.
    static std::vector<int16_t> Values16(CSound& sound) {
        std::vector<int16_t> out(sound.DataSize() / 2);
        CSoundLock lock(&sound);
        std::memcpy(out.data(), lock.Samples(), out.size() * 2);
        return out;
    }

    CTestApp app;
};
