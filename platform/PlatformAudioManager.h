#pragma once
// The application's sound playback, as far as the application object drives
// it: clean-up of finished playbacks and stopping them all. The smallest
// form of the audio manager; sound playback replaces it.

class CPlatformAudioManager {
public:
    CPlatformAudioManager() = default;
    virtual ~CPlatformAudioManager() = default;
    CPlatformAudioManager(const CPlatformAudioManager&) = delete;
    CPlatformAudioManager& operator=(const CPlatformAudioManager&) = delete;

    // Deletes every finished playback.
    virtual void GarbageCollection() {}
    // Deletes every playback.
    virtual void AbortAll() {}
};
