#include "platform/detail/AudioDevice.h"

#include <SDL.h>

#include "platform/detail/SampleConverter.h"

namespace {

// The default output's own format, or a common one when the driver does
// not say.
SDL_AudioSpec PreferredSpec() {
    SDL_AudioSpec wanted;
    SDL_zero(wanted);
    char* name = nullptr;
    if (SDL_GetDefaultAudioInfo(&name, &wanted, 0) == 0) {
        SDL_free(name);
    } else {
        wanted.freq = 44100;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = 2;
    }
    if (wanted.freq <= 0 || wanted.channels == 0 || wanted.format == 0) {
        wanted.freq = 44100;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = 2;
    }
    // About 20 ms a period at 48,000 frames per second.
    wanted.samples = 1024;
    return wanted;
}

} // namespace

CAudioDevice::~CAudioDevice() {
    Close();
}

bool CAudioDevice::Open(MixProc mix, void* user, std::string& why) {
    if (IsOpen()) {
        return true;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        why = SDL_GetError();
        return false;
    }
    m_fSubsystem = true;
    m_pMix = mix;
    m_pUser = user;
    SDL_AudioSpec want = PreferredSpec();
    want.callback = Callback;
    want.userdata = this;
    SDL_AudioSpec have;
    SDL_zero(have);
    m_nDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_ANY_CHANGE);
    if (m_nDevice != 0) {
        m_Format = SAudioFormat{have.format, have.channels, have.freq};
        if (!CSampleConverter::CanWrite(m_Format)) {
            // A format the mixer does not write: SDL converts from 16 bits.
            SDL_CloseAudioDevice(m_nDevice);
            want.format = AUDIO_S16SYS;
            m_nDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
            m_Format = SAudioFormat{want.format, want.channels, want.freq};
        }
    }
    if (m_nDevice == 0 || !CSampleConverter::CanWrite(m_Format)) {
        why = SDL_GetError();
        Close();
        return false;
    }
    return true;
}

void CAudioDevice::Start() {
    SDL_PauseAudioDevice(m_nDevice, 0);
}

void CAudioDevice::Close() {
    if (m_nDevice != 0) {
        SDL_CloseAudioDevice(m_nDevice);
        m_nDevice = 0;
    }
    if (m_fSubsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_fSubsystem = false;
    }
}

void CAudioDevice::Lock() {
    SDL_LockAudioDevice(m_nDevice);
}

void CAudioDevice::Unlock() {
    SDL_UnlockAudioDevice(m_nDevice);
}

void CAudioDevice::Callback(void* self, uint8_t* stream, int len) {
    auto* device = static_cast<CAudioDevice*>(self);
    device->m_pMix(device->m_pUser, device->m_Format, stream, int32_t(len));
}
