// Sounds on SDL's dummy audio driver: the interface sounds of the built
// resource file, playbacks that finish and are collected, a device that
// cannot be had, and the event loop working on playbacks while the device
// thread mixes them.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "FileIO/VolumeTable.h"
#include "platform/Mixer.h"
#include "platform/PlaybackInstance.h"
#include "platform/tests/SoundFixtures.h"

namespace {

using namespace std::chrono_literals;
using CInstance = CPlatformAudioManager::CPlaybackInstance;

const SAudioFormat kMono16{0x8010, 1, 22050};

class DummyAudio : public SoundTest {
protected:
    void SetUp() override { ASSERT_EQ(setenv("SDL_AUDIODRIVER", "dummy", 1), 0); }
    void TearDown() override { unsetenv("SDL_AUDIODRIVER"); }

    // Waits until nothing of the playback is left to play; only the test's
    // timeout bounds the wait.
    void WaitUntilPlayed(int32_t id) {
        while (Manager().Busy(id)) {
            std::this_thread::sleep_for(2ms);
        }
    }
};

// The application opens the resource file built beside the tests.
class InterfaceSounds : public DummyAudio {
protected:
    void SetUp() override {
        DummyAudio::SetUp();
        std::string bin = DAUBLIN_RESOURCE_DIR;
        bin.resize(bin.rfind('/'));
        std::u16string colon;
        ASSERT_EQ(gCVolumeTable::PosixToColon(bin, colon), eNoError);
        colon.push_back(u':');
        gCString root;
        ASSERT_EQ(root.CopyStringFromBuffer(colon.data(), int32_t(colon.size())), eNoError);
        app.SetAppRoot(root);
        app.SetResFolder(u"Resources");
        ASSERT_EQ(app.InitResFile(), eNoError);
        for (int32_t i = 0; i < 5; ++i) {
            sounds[i].reset(CSound::CreateFromRes(90000 + i, nullptr, nullptr));
            ASSERT_NE(sounds[i], nullptr) << "sound " << 90000 + i;
        }
    }

    std::unique_ptr<CSound> sounds[5];
};

// 16-bit mono at 22,050 frames per second, at most 0.3 s, peaks at most
// -12 dBFS, faded in and out, centred on 0.
TEST_F(InterfaceSounds, AreShortQuietAndFaded) {
    const uint32_t lengths[5] = {25, 60, 180, 180, 300};
    for (int32_t i = 0; i < 5; ++i) {
        CSound& sound = *sounds[i];
        SCOPED_TRACE(testing::Message() << "sound " << 90000 + i);
        EXPECT_EQ(sound.Is16Bit(), 1);
        EXPECT_EQ(sound.IsStereo(), 0);
        EXPECT_EQ(sound.Rate(), 22050);
        EXPECT_EQ(sound.SampleTime(), lengths[i]);
        const std::vector<int16_t> v = Values16(sound);
        int32_t peak = 0;
        int64_t sum = 0;
        for (int16_t s : v) {
            peak = std::max(peak, std::abs(int32_t(s)));
            sum += s;
        }
        EXPECT_LE(peak, 8231); // 32768 x 10^(-12/20)
        EXPECT_GT(peak, 1000);
        EXPECT_LT(std::abs(double(sum) / double(v.size())), 40.0);
        EXPECT_LE(std::abs(int32_t(v.front())), 64);
        EXPECT_LE(std::abs(int32_t(v.back())), 64);
    }
}

// Two requests started together sound together: the mix is the sum of
// both, frame by frame, saturated.
TEST_F(InterfaceSounds, TwoRequestsStartedTogetherAreMixedTogether) {
    const std::vector<int16_t> a = Values16(*sounds[0]);
    const std::vector<int16_t> b = Values16(*sounds[1]);
    CInstance first(sounds[0].get(), 1, 0, kMono16);
    CInstance second(sounds[1].get(), 1, 0, kMono16);
    const size_t frames = std::max(a.size(), b.size());
    std::vector<int16_t> out(frames);
    CInstance* both[] = {&first, &second};
    MixPlaybacks(both, 2, kMono16, reinterpret_cast<unsigned char*>(out.data()), int32_t(frames));
    for (size_t i = 0; i < frames; ++i) {
        // Each plays up to its last frame that has a successor, less one.
        const int32_t sum = (i + 2 < a.size() ? a[i] : 0) + (i + 2 < b.size() ? b[i] : 0);
        ASSERT_EQ(out[i], std::clamp(sum, -32768, 32767)) << "frame " << i;
    }
    EXPECT_EQ(first.IsFinished(), 1);
    EXPECT_EQ(second.IsFinished(), 1);
}

TEST_F(InterfaceSounds, EachFinishesAndIsCollected) {
    SAudioFormat format;
    EXPECT_FALSE(Manager().OutputFormat(format)); // nothing played yet
    const int32_t first = sounds[2]->Play(0);
    const int32_t second = sounds[3]->Play(0);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, first);
    EXPECT_TRUE(Manager().OutputFormat(format));
    WaitUntilPlayed(first);
    WaitUntilPlayed(second);
    // Finished, not yet collected.
    EXPECT_EQ(sounds[2]->Busy(), 0);
    EXPECT_EQ(Manager().InstanceCount(), 2);
    Manager().GarbageCollection();
    EXPECT_EQ(Manager().InstanceCount(), 0);
}

// The five sounds in turn through SDL's "disk" driver, which writes what
// the device plays to a file: the recording holds them, no louder than
// they are, and is kept as a WAV file in the build folder for a person to
// listen to.
TEST_F(InterfaceSounds, PlayInTurnIntoARecording) {
    const std::string folder = std::string(DAUBLIN_RESOURCE_DIR) + "/../../recordings";
    std::filesystem::create_directories(folder);
    const std::string raw = folder + "/interface-sounds.raw";
    ASSERT_EQ(setenv("SDL_AUDIODRIVER", "disk", 1), 0);
    ASSERT_EQ(setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1), 0);
    SAudioFormat format;
    {
        CPlatformAudioManager& manager = Manager();
        for (int32_t i = 0; i < 5; ++i) {
            const int32_t id = sounds[i]->Play(0);
            ASSERT_GT(id, 0);
            WaitUntilPlayed(id);
            std::this_thread::sleep_for(150ms);
        }
        ASSERT_TRUE(manager.OutputFormat(format));
    }
    // The device closes with the manager: the file is complete.
    app.SetAudioManager(std::make_unique<CPlatformAudioManager>());
    unsetenv("SDL_DISKAUDIOFILE");

    std::ifstream in(raw, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(format.format, 0x8010) << "a 16-bit recording is checked here";
    const size_t samples = bytes.size() / 2;
    ASSERT_GT(samples, size_t(format.rate) * size_t(format.channels) / 2);
    int32_t peak = 0;
    for (size_t i = 0; i < samples; ++i) {
        const int16_t v =
            int16_t(uint16_t(uint8_t(bytes[2 * i]) | (uint8_t(bytes[2 * i + 1]) << 8)));
        peak = std::max(peak, std::abs(int32_t(v)));
    }
    EXPECT_GT(peak, 1000);
    EXPECT_LE(peak, 8300);

    SWav wav;
    wav.channels = uint32_t(format.channels);
    wav.rate = uint32_t(format.rate);
    wav.data = bytes.substr(0, samples * 2 - samples * 2 % size_t(format.FrameBytes()));
    std::ofstream(folder + "/interface-sounds.wav", std::ios::binary) << WavBytes(wav);
}

TEST_F(InterfaceSounds, TheIdleTickCollectsEvery256thCall) {
    const int32_t id = sounds[0]->Play(0);
    ASSERT_GT(id, 0);
    WaitUntilPlayed(id);
    for (int32_t i = 0; i < 256 && Manager().InstanceCount() > 0; ++i) {
        (void)app.OnIdle(0); // the heartbeat is not running: 2
    }
    EXPECT_EQ(Manager().InstanceCount(), 0);
}

TEST_F(DummyAudio, LoopingForeverPlaysUntilAborted) {
    std::unique_ptr<CSound> sound = Sound16(std::vector<int16_t>(300, 1000));
    const int32_t id = sound->Loop(-1, 0);
    ASSERT_GT(id, 0);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(sound->Busy(), 1);
    sound->Abort(id);
    EXPECT_EQ(Manager().Busy(id), 0);
    EXPECT_EQ(Manager().InstanceCount(), 0);
}

// Asking for a sound's length stops it; the length is worked out in 64
// bits.
TEST_F(DummyAudio, SampleTimeStopsTheSound) {
    std::unique_ptr<CSound> sound = Sound8(std::vector<uint8_t>(22000, 128), 22000);
    ASSERT_GT(sound->Loop(-1, 0), 0);
    EXPECT_EQ(sound->SampleTime(), 1000u);
    EXPECT_EQ(sound->Busy(), 0);
    EXPECT_EQ(Manager().InstanceCount(), 0);

    ASSERT_EQ(sound->SetRate(48000), eNoError);
    ASSERT_EQ(sound->SetSampleTime(100000), eNoError);
    EXPECT_EQ(sound->DataSize(), 4800000u);
    EXPECT_EQ(sound->SampleTime(), 100000u);
    ASSERT_EQ(sound->SetRate(0), eNoError);
    EXPECT_EQ(sound->SampleTime(), 0u);
}

// Stereo keeps the byte size (fewer frames), a new bit depth keeps the
// frame count (more bytes); either stops the sound and clears every byte.
TEST_F(DummyAudio, FormatChangesResizeAndClear) {
    std::unique_ptr<CSound> sound = Sound8(std::vector<uint8_t>(1000, 77));
    ASSERT_GT(sound->Loop(-1, 0), 0);
    ASSERT_EQ(sound->SetStereo(1), eNoError);
    EXPECT_EQ(sound->Busy(), 0);
    EXPECT_EQ(sound->DataSize(), 1000u);
    EXPECT_EQ(sound->BytesPerFrame(), 2);
    const char* bytes = sound->SampleData().GetData();
    EXPECT_TRUE(std::all_of(bytes, bytes + 1000, [](char c) { return c == 0; }));

    std::unique_ptr<CSound> mono = Sound8(std::vector<uint8_t>(1000, 77));
    ASSERT_EQ(mono->SetBitDepth(16), eNoError);
    EXPECT_EQ(mono->DataSize(), 2000u);
    EXPECT_EQ(mono->SampleCapacity(), 2000u);
    bytes = mono->SampleData().GetData();
    EXPECT_TRUE(std::all_of(bytes, bytes + 2000, [](char c) { return c == 0; }));
    // A size that cannot be had leaves the data size with the block.
    EXPECT_EQ(mono->SetSampleCount(-1), eOutOfMemory);
    EXPECT_EQ(mono->DataSize(), 2000u);
}

TEST(NoAudioDevice, PlaysNothingAndSaysSoOnce) {
    ASSERT_EQ(setenv("SDL_AUDIODRIVER", "no-such-driver", 1), 0);
    CTestApp app;
    app.SetAudioManager(std::make_unique<CPlatformAudioManager>());
    {
        auto sound = std::make_unique<CSound>();
        ASSERT_EQ(sound->Create(16, 0, 22050, 0), eNoError);
        ASSERT_EQ(sound->SetSampleCount(100), eNoError);
        testing::internal::CaptureStderr();
        EXPECT_EQ(sound->Play(0), -1);
        EXPECT_EQ(sound->Loop(3, 0), -1);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_EQ(sound->Busy(), 0);
        EXPECT_EQ(app.AudioManager().InstanceCount(), 0);
    }
    unsetenv("SDL_AUDIODRIVER");
}

// The event loop plays, aborts, edits and collects while the device thread
// mixes: run under ThreadSanitizer by the test command.
TEST_F(DummyAudio, EventLoopAndDeviceThreadShareNothingUnguarded) {
    std::vector<int16_t> samples(6000);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = int16_t((i * 37) % 4000 - 2000);
    }
    std::unique_ptr<CSound> sounds[3] = {Sound16(samples), Sound16(samples, 1), Sound16(samples)};
    for (int32_t round = 0; round < 300; ++round) {
        CSound& sound = *sounds[round % 3];
        const int32_t id = sound.Loop(1 + round % 3, CMusic::ENote(round % 25 - 12));
        EXPECT_NE(id, -1);
        switch (round % 7) {
        case 0:
            sound.Abort(id);
            break;
        case 1:
            EXPECT_EQ(sound.SetBitDepth(round % 2 ? 16 : 8), eNoError);
            break;
        case 2:
            sound.Zero();
            break;
        case 3:
            EXPECT_EQ(sound.SetSampleCount(3000 + round), eNoError);
            break;
        case 4:
            Manager().GarbageCollection();
            break;
        default:
            (void)sound.Busy();
            (void)Manager().Busy(id);
            break;
        }
        Manager().Idle();
        std::this_thread::sleep_for(1ms);
    }
    Manager().AbortAll();
    EXPECT_EQ(Manager().InstanceCount(), 0);
}

} // namespace
