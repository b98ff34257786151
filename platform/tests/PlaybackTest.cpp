// Playback without a device: the buffers LoadBuffer fills at a note and
// through loops, and the mixing of playbacks into an output format.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "FileIO/gCMemFile.h"
#include "platform/Mixer.h"
#include "platform/Music.h"
#include "platform/PlaybackInstance.h"
#include "platform/SoundIO.h"
#include "platform/tests/SoundFixtures.h"

namespace {

using CInstance = CPlatformAudioManager::CPlaybackInstance;

constexpr uint16_t kS16 = 0x8010; // AUDIO_S16LSB
constexpr uint16_t kF32 = 0x8120; // AUDIO_F32LSB
constexpr uint16_t kU8 = 0x0008;  // AUDIO_U8

const SAudioFormat kMono16{kS16, 1, 22050};

std::vector<int16_t> Values(const unsigned char* bytes, int32_t count) {
    std::vector<int16_t> out(size_t(count / 2));
    std::memcpy(out.data(), bytes, out.size() * 2);
    return out;
}

std::vector<int16_t> BufferValues(const CInstance& instance, int32_t which) {
    return Values(instance.Buffer(which), instance.BufferBytes(which));
}

// Frames 0 .. n-1 of the samples, `times` times over.
std::vector<int16_t> Repeated(const std::vector<int16_t>& samples, size_t n, int times) {
    std::vector<int16_t> out;
    for (int t = 0; t < times; ++t) {
        out.insert(out.end(), samples.begin(), samples.begin() + long(n));
    }
    return out;
}

// Mixes the playbacks into `frames` frames of 16-bit mono.
std::vector<int16_t> Mix(std::vector<CInstance*> instances, int32_t frames,
                         const SAudioFormat& format = kMono16) {
    std::vector<unsigned char> out(size_t(frames * format.FrameBytes()), 0xAB);
    MixPlaybacks(instances.data(), int32_t(instances.size()), format, out.data(), frames);
    return Values(out.data(), int32_t(out.size()));
}

TEST(Music, NotesAreEqualTemperedSemitones) {
    EXPECT_EQ(CMusic::FrequencyMultiplier(0), 1.0f);
    EXPECT_EQ(CMusic::FrequencyMultiplier(12), 2.0f);
    EXPECT_EQ(CMusic::FrequencyMultiplier(-12), 0.5f);
    EXPECT_EQ(CMusic::FrequencyMultiplier(24), 4.0f);
    EXPECT_NEAR(CMusic::FrequencyMultiplier(7), 1.4983071f, 1e-6f);
}

class LoadBuffer : public SoundTest {
protected:
    // Ten frames: the last with a successor is frame 8.
    const std::vector<int16_t> ten{10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
};

// At pitch 1 the frames up to the last one that has a successor, less
// that one, are copied unchanged: the last frame is never played.
TEST_F(LoadBuffer, NoteZeroCopiesTheSamplesButTheLast) {
    std::unique_ptr<CSound> sound = Sound16(ten);
    CInstance instance(sound.get(), 1, 0, kMono16);
    EXPECT_EQ(BufferValues(instance, 0), Repeated(ten, 8, 1));
    // A sound shorter than a buffer plays from buffer 0 alone.
    EXPECT_EQ(instance.BufferBytes(1), 0);
    EXPECT_EQ(instance.QueuedBuffers(), 1);
    EXPECT_EQ(instance.Position(), 1.0f);
}

// Octaves up and down, interpolated with 8 fraction bits: worked out by
// hand from a + (((b - a) x w) >> 8), w = (x & 0xFF) + 1.
TEST_F(LoadBuffer, OctavesInterpolateWithEightFractionBits) {
    const std::vector<int16_t> six{1000, -1000, 3000, 500, -2000, 0};
    std::unique_ptr<CSound> sound = Sound16(six);
    CInstance up(sound.get(), 1, 12, kMono16);
    EXPECT_EQ(BufferValues(up, 0), (std::vector<int16_t>{992, 2990}));
    CInstance down(sound.get(), 1, -12, kMono16);
    EXPECT_EQ(BufferValues(down, 0),
              (std::vector<int16_t>{992, -8, -985, 1015, 2990, 1740, 490, -760}));

    std::unique_ptr<CSound> stereo =
        Sound16({1000, -1000, -1000, 1000, 3000, -3000, 500, -500, -2000, 2000, 0, 0}, 1);
    CInstance both(stereo.get(), 1, 12, kMono16);
    EXPECT_EQ(BufferValues(both, 0), (std::vector<int16_t>{992, -993, 2990, -2991}));

    std::unique_ptr<CSound> bytes = Sound8({10, 250, 100, 0, 50, 60});
    CInstance eight(bytes.get(), 1, 12, kMono16);
    ASSERT_EQ(eight.BufferBytes(0), 2);
    EXPECT_EQ(eight.Buffer(0)[0], 10);
    EXPECT_EQ(eight.Buffer(0)[1], 99);
}

TEST_F(LoadBuffer, LoopsPlayBackToBackWithoutAGap) {
    std::unique_ptr<CSound> sound = Sound16(ten);
    CInstance three(sound.get(), 3, 0, kMono16);
    EXPECT_EQ(BufferValues(three, 0), Repeated(ten, 8, 3));
    EXPECT_EQ(three.LoopsLeft(), 0);
    EXPECT_EQ(three.LoadBuffer(nullptr), 0);

    // Forever: both buffers fill, up to the last room of fewer than 256
    // frames, and every refill fills again.
    CInstance forever(sound.get(), -1, 0, kMono16);
    EXPECT_EQ(BufferValues(forever, 0), Repeated(ten, 8, 993));
    EXPECT_EQ(forever.BufferBytes(1), 993 * 16);
    std::vector<unsigned char> again(CInstance::kBufferBytes);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(forever.LoadBuffer(again.data()), 993 * 16);
    }

    CInstance none(sound.get(), 0, 0, kMono16);
    EXPECT_EQ(none.BufferBytes(0), 0);
    EXPECT_EQ(none.QueuedBuffers(), 0);
    EXPECT_EQ(Mix({&none}, 4), (std::vector<int16_t>{0, 0, 0, 0}));
    EXPECT_EQ(none.IsFinished(), 1);
}

// Sounds of 2 to 5 frames two octaves up and down: the bytes of
// nearest(F / p) frames, or none when F < p / 2; the sample block is
// exactly the sound, so a read beyond it is caught by the sanitizer.
TEST_F(LoadBuffer, ShortSoundsStayInBoundsAtAnyPitch) {
    struct SCase {
        int frames;
        CMusic::ENote note;
        int32_t bytes;
    };
    const SCase cases[] = {{2, 24, 0}, {2, -24, 0},  {3, 24, 0}, {3, -24, 8},
                           {4, 24, 2}, {4, -24, 16}, {5, 24, 2}, {5, -24, 24}};
    for (const SCase& c : cases) {
        std::vector<int16_t> samples;
        for (int i = 0; i < c.frames; ++i) {
            samples.push_back(int16_t(1000 * (i + 1)));
        }
        std::unique_ptr<CSound> sound = Sound16(samples);
        CInstance instance(sound.get(), -1, c.note, kMono16);
        SCOPED_TRACE(testing::Message() << c.frames << " frames at " << c.note);
        // Looping forever makes no difference: one play fits or none does.
        const int32_t first = instance.BufferBytes(0);
        EXPECT_EQ(first % 2, 0);
        if (c.bytes == 0) {
            EXPECT_EQ(first, 0);
            continue;
        }
        for (int16_t v : BufferValues(instance, 0)) {
            EXPECT_GE(v, 1000);
            EXPECT_LE(v, 1000 * c.frames);
        }
        EXPECT_EQ(first % c.bytes, 0);
    }
}

// A 16-bit stereo sound bound to a stream plays at pitch 1 only, its
// samples read little-endian, and the stream's position is left alone.
TEST_F(LoadBuffer, FileBoundSoundsPlayAtPitchOneOnly) {
    SWav w;
    w.data = Samples16({1, 2, 3, 4, 5, 6, 7, 8});
    const std::string bytes = WavBytes(w);
    CMemBlock block;
    ASSERT_EQ(block.Resize(uint32_t(bytes.size()), 0), 1);
    block.CopyFromBuffer(bytes.data(), uint32_t(bytes.size()));
    gCMemFile stream(&block);
    CSound sound;
    ASSERT_EQ(CSoundIO::SetSoundFile(stream, sound), eNoError);
    ASSERT_EQ(stream.SetFilePos(5), eNoError);

    CInstance same(&sound, 1, 0, kMono16);
    EXPECT_EQ(BufferValues(same, 0), (std::vector<int16_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(stream.GetFilePos(), 5);

    CInstance higher(&sound, 1, 12, kMono16);
    EXPECT_EQ(higher.BufferBytes(0), 0);
    EXPECT_EQ(Mix({&higher}, 2), (std::vector<int16_t>{0, 0}));
    EXPECT_EQ(higher.IsFinished(), 1);
}

class Mixing : public SoundTest {};

// Two playbacks add up, saturating at the ends of the 16-bit range.
TEST_F(Mixing, PlaybacksAddWithSaturation) {
    std::unique_ptr<CSound> a = Sound16({20000, -20000, 100, 7, 0, 0});
    std::unique_ptr<CSound> b = Sound16({20000, -20000, -50, 1, 9, 9, 9, 9});
    CInstance first(a.get(), 1, 0, kMono16);
    CInstance second(b.get(), 1, 0, kMono16);
    EXPECT_EQ(Mix({&first, &second}, 8), (std::vector<int16_t>{32767, -32768, 50, 8, 9, 9, 0, 0}));
    EXPECT_EQ(first.IsFinished(), 1);
    EXPECT_EQ(second.IsFinished(), 1);
}

// The sound's frames reach the device's format: floats in every channel,
// twice the rate by linear interpolation, 8-bit unsigned.
TEST_F(Mixing, ConvertsToTheDevicesFormat) {
    std::unique_ptr<CSound> sound = Sound16({16384, -8192, 0, 0});
    {
        const SAudioFormat stereoFloat{kF32, 2, 22050};
        CInstance toFloat(sound.get(), 1, 0, stereoFloat);
        float out[4] = {9, 9, 9, 9};
        CInstance* list[] = {&toFloat};
        MixPlaybacks(list, 1, stereoFloat, reinterpret_cast<unsigned char*>(out), 2);
        EXPECT_EQ(out[0], 0.5f);
        EXPECT_EQ(out[1], 0.5f);
        EXPECT_EQ(out[2], -0.25f);
        EXPECT_EQ(out[3], -0.25f);
    }
    const SAudioFormat twice{kS16, 1, 44100};
    CInstance doubled(sound.get(), 1, 0, twice);
    EXPECT_EQ(Mix({&doubled}, 5, twice), (std::vector<int16_t>{16384, 4096, -8192, -8192, 0}));

    const SAudioFormat unsigned8{kU8, 1, 22050};
    CInstance bytes(sound.get(), 1, 0, unsigned8);
    unsigned char out[2] = {0, 0};
    CInstance* list[] = {&bytes};
    MixPlaybacks(list, 1, unsigned8, out, 2);
    EXPECT_EQ(out[0], 192);
    EXPECT_EQ(out[1], 96);
}

// A playback is finished once the last frame it queued has been mixed,
// not when a refill first finds nothing more while the other buffer
// still plays.
TEST_F(Mixing, TheTailPlaysBeforeTheInstanceIsFinished) {
    std::vector<int16_t> samples(10000);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = int16_t(i % 3000);
    }
    std::unique_ptr<CSound> sound = Sound16(samples);
    CInstance instance(sound.get(), 1, 0, kMono16);
    ASSERT_EQ(instance.BufferBytes(0), CInstance::kBufferBytes);
    ASSERT_EQ(instance.BufferBytes(1), (9998 - 8192) * 2);

    EXPECT_EQ(Mix({&instance}, 8192), Repeated(samples, 8192, 1));
    // Buffer 0 was played and its refill found nothing; buffer 1 is due.
    EXPECT_EQ(instance.IsFinished(), 0);
    std::vector<int16_t> rest = Mix({&instance}, 2000);
    EXPECT_EQ(std::vector<int16_t>(rest.begin(), rest.begin() + 1806),
              std::vector<int16_t>(samples.begin() + 8192, samples.begin() + 9998));
    EXPECT_EQ(std::vector<int16_t>(rest.begin() + 1806, rest.end()),
              std::vector<int16_t>(2000 - 1806, 0));
    EXPECT_EQ(instance.IsFinished(), 1);
}

// A file-bound sound's played buffers wait for the event loop: the mix
// goes silent, unfinished, until they are refilled.
TEST_F(Mixing, FileBoundBuffersAreRefilledByTheEventLoop) {
    std::vector<int16_t> samples(10000);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = int16_t(i % 1000);
    }
    SWav w;
    w.data = Samples16(samples);
    const std::string bytes = WavBytes(w);
    CMemBlock block;
    ASSERT_EQ(block.Resize(uint32_t(bytes.size()), 0), 1);
    block.CopyFromBuffer(bytes.data(), uint32_t(bytes.size()));
    gCMemFile stream(&block);
    CSound sound;
    ASSERT_EQ(CSoundIO::SetSoundFile(stream, sound), eNoError);
    ASSERT_EQ(stream.SetFilePos(3), eNoError);

    // Buffer 0 holds frames 0 to 8191 of the first play, buffer 1 the
    // rest of it and frames 0 to 6385 of the second.
    CInstance instance(&sound, 2, 0, kMono16);
    std::vector<int16_t> both = Repeated(samples, 9998, 1);
    both.insert(both.end(), samples.begin(), samples.begin() + 6385);
    EXPECT_EQ(Mix({&instance}, 16383), both);
    // Frame 6385 waits for its successor, which waits for the event loop.
    EXPECT_EQ(Mix({&instance}, 10), std::vector<int16_t>(10, 0));
    EXPECT_EQ(instance.IsFinished(), 0);
    instance.RefillFromFile();
    EXPECT_EQ(stream.GetFilePos(), 3);
    std::vector<int16_t> rest = Mix({&instance}, 3620);
    EXPECT_EQ(std::vector<int16_t>(rest.begin(), rest.begin() + 3613),
              std::vector<int16_t>(samples.begin() + 6385, samples.begin() + 9998));
    EXPECT_EQ(std::vector<int16_t>(rest.begin() + 3613, rest.end()), std::vector<int16_t>(7, 0));
    EXPECT_EQ(instance.IsFinished(), 1);
}

} // namespace
