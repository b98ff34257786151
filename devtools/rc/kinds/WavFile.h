#pragma once
// Sounds enter the resource file as WAV data in one canonical form.

#include <string>

// A WAV file of 8- or 16-bit PCM, mono or stereo, in the canonical form:
// the 44-byte header (fmt size 16, PCM) and the whole frames of its
// samples, other chunks dropped. False with the reason for anything else,
// canonical then left as it was.
bool NormaliseWav(const std::string& wav, std::string& canonical, std::string& why);
