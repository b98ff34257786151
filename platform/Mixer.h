#pragma once
// The mixing of the audio device's callback, as a plain function: every
// playback that is neither aborting nor finished is converted to the output
// format and added with saturation; where none sounds the output is
// silence. Played buffers are refilled on the way. It allocates nothing.

#include <cstdint>

#include "platform/PlaybackInstance.h"

void MixPlaybacks(CPlatformAudioManager::CPlaybackInstance* const* instances, int32_t count,
                  const SAudioFormat& format, unsigned char* out, int32_t frames);

// Silence in the format: `frames` frames of the value 0.
void FillSilence(const SAudioFormat& format, unsigned char* out, int32_t frames);
