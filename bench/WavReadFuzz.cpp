// libFuzzer target for the WAV reader: each input is read through a memory
// block, a memory stream and a file, bound to a file stream, and whatever
// loads is mixed into 16-bit stereo and 8-bit mono output. Built only with
// clang; see the README.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCMemFile.h"
#include "bench/FuzzSupport.h"
#include "platform/Mixer.h"
#include "platform/PlaybackInstance.h"
#include "platform/Sound.h"
#include "platform/SoundIO.h"
#include "testsupport/foundation/FakeAppServices.h"

namespace {

constexpr int32_t kFrames = 512;
const SAudioFormat kStereo16{0x8010, 2, 22050};
const SAudioFormat kMono8{0x0008, 1, 11025};

// A few periods of the sound at a note, into each output format.
void Mix(CSound& sound, int32_t note) {
    for (const SAudioFormat* format : {&kStereo16, &kMono8}) {
        auto instance = std::make_unique<CPlatformAudioManager::CPlaybackInstance>(
            &sound, 1, CMusic::ENote(note), *format);
        CPlatformAudioManager::CPlaybackInstance* list[] = {instance.get()};
        std::vector<unsigned char> out(size_t(kFrames) * size_t(format->FrameBytes()));
        for (int period = 0; period < 4; ++period) {
            MixPlaybacks(list, 1, *format, out.data(), kFrames);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::UseHeadlessDrivers();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (size_t(1) << 24)) {
        return 0;
    }
    CFakeAppServices quiet;
    const int32_t note = size ? int32_t(data[size - 1] % 25) - 12 : 0;
    CMemBlock block;
    if (!block.Resize(uint32_t(size), 0)) {
        return 0;
    }
    if (size) {
        std::memcpy(block.GetData(), data, size);
    }
    {
        CSound sound;
        if (CSoundIO::ReadSound(block, sound) == eNoError) {
            Mix(sound, note);
        }
    }
    {
        gCMemFile stream(&block);
        CSound sound;
        if (CSoundIO::ReadSound(stream, sound) == eNoError) {
            Mix(sound, note);
        }
    }
    if (!fuzz::WriteScratch("in.wav", data, size)) {
        return 0;
    }
    gCFRef ref(fuzz::ScratchColon("in.wav"));
    {
        gCFile file;
        CSound sound;
        if (file.Open(&ref, eAccessReadOnly) == eNoError &&
            CSoundIO::ReadSound(file, sound) == eNoError) {
            Mix(sound, note);
        }
    }
    {
        // Bound: the samples are read from the file while the sound plays.
        gCFile file;
        CSound sound;
        if (file.Open(&ref, eAccessReadOnly) == eNoError &&
            CSoundIO::SetSoundFile(file, sound) == eNoError) {
            Mix(sound, note);
        }
    }
    return 0;
}
