#pragma once
// The application's sound playback: every playback of a sound is an
// instance that the manager owns, all mixed into one audio device on the
// default output. The device is opened at the first playback, in its own
// format; without one (no audio server, a failing driver) nothing plays,
// playbacks answer -1 and one line on standard error says so.
//
// The device's thread mixes the instances; the event loop creates, aborts,
// collects and asks about them. They share the instance list and the
// instances only under the device's lock, or through the instances' atomic
// flags.

#include <cstdint>
#include <memory>

#include "foundation/gCArray.h"
#include "platform/Music.h"

class CSound;
class CAudioDevice;
struct SAudioFormat;

class CPlatformAudioManager {
public:
    class CPlaybackInstance;

    CPlatformAudioManager();
    virtual ~CPlatformAudioManager();
    CPlatformAudioManager(const CPlatformAudioManager&) = delete;
    CPlatformAudioManager& operator=(const CPlatformAudioManager&) = delete;

    // Loop with a count of 1.
    int32_t Play(CSound* sound, CMusic::ENote note);
    // Starts a playback of the sound, `loops` times back to back (-1 until
    // aborted) at the note: its id, or -1 without a device or memory, or
    // when it could not start (kept until the next collection).
    int32_t Loop(CSound* sound, int32_t loops, CMusic::ENote note);
    // Deletes every playback of the sound / the playback with that id.
    void Abort(CSound* sound);
    void Abort(int32_t id);
    // Deletes every playback.
    virtual void AbortAll();
    // 1 while a playback of the sound / with that id has something left to
    // play: a playback is finished once every buffer it queued was played.
    int32_t Busy(CSound* sound);
    int32_t Busy(int32_t id);
    // Deletes every finished playback.
    virtual void GarbageCollection();
    // The idle tick: refills the played buffers of sounds bound to a file
    // on the event loop, which owns their streams.
    void Idle();

    // How many playbacks exist, finished or not.
    int32_t InstanceCount();
    // The device's format, once it is open; false before or without one.
    bool OutputFormat(SAudioFormat& format) const;

    // The device thread's work: mixes every playback into `bytes` bytes of
    // the device's format.
    static void MixDevice(void* manager, const SAudioFormat& format, unsigned char* out,
                          int32_t bytes);

private:
    // Opens the device at the first playback; false without one.
    bool OpenDevice();
    // Deletes and removes the instances the test picks, last to first.
    template <typename Pick> void Remove(Pick pick);

    gCArray<CPlaybackInstance*> m_aInstances;
    std::unique_ptr<CAudioDevice> m_pDevice;
    int32_t m_fDeviceTried = 0;
};
