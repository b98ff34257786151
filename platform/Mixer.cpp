#include "platform/Mixer.h"

#include <SDL.h>

#include <cstring>

#include "platform/detail/SampleConverter.h"

void FillSilence(const SAudioFormat& format, unsigned char* out, int32_t frames) {
    const int32_t sampleBytes = format.SampleBytes();
    const int32_t samples = frames * format.channels;
    if (samples <= 0 || sampleBytes <= 0) {
        return;
    }
    StoreSample(0.0f, format.format, out);
    for (int32_t i = 1; i < samples; ++i) {
        std::memcpy(out + i * sampleBytes, out, size_t(sampleBytes));
    }
}

void MixPlaybacks(CPlatformAudioManager::CPlaybackInstance* const* instances, int32_t count,
                  const SAudioFormat& format, unsigned char* out, int32_t frames) {
    FillSilence(format, out, frames);
    const int32_t frameBytes = format.FrameBytes();
    if (frameBytes <= 0) {
        return;
    }
    // Each playback is converted a piece at a time, then added.
    alignas(8) unsigned char piece[8192];
    const int32_t pieceFrames = int32_t(sizeof piece) / frameBytes;
    for (int32_t i = 0; i < count; ++i) {
        CPlatformAudioManager::CPlaybackInstance* instance = instances[i];
        if (!instance || instance->IsAborting() || instance->IsFinished()) {
            continue;
        }
        for (int32_t done = 0; done < frames;) {
            const int32_t want = frames - done < pieceFrames ? frames - done : pieceFrames;
            const int32_t made = instance->Render(piece, want);
            if (made > 0) {
                SDL_MixAudioFormat(out + done * frameBytes, piece, format.format,
                                   uint32_t(made * frameBytes), SDL_MIX_MAXVOLUME);
            }
            done += made;
            if (made < want) {
                break;
            }
        }
    }
}
