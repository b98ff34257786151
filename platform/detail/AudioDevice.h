#pragma once
// The one SDL audio device on the default output, owned: SDL's audio
// subsystem is started for it and stopped with it. It opens in the
// device's own format; once started, the mixing procedure fills every
// period on SDL's audio thread, under the device lock.

#include <cstdint>
#include <string>

#include "platform/PlaybackInstance.h"

class CAudioDevice {
public:
    using MixProc = void (*)(void* user, const SAudioFormat& format, unsigned char* out,
                             int32_t bytes);

    CAudioDevice() = default;
    ~CAudioDevice();
    CAudioDevice(const CAudioDevice&) = delete;
    CAudioDevice& operator=(const CAudioDevice&) = delete;

    // Starts the audio subsystem and opens the default output, paused;
    // false with the reason when either fails (everything is then let go
    // again).
    bool Open(MixProc mix, void* user, std::string& why);
    // Lets the device play: the mixing procedure runs from now on.
    void Start();
    bool IsOpen() const { return m_nDevice != 0; }
    const SAudioFormat& Format() const { return m_Format; }

    void Lock();
    void Unlock();

private:
    static void Callback(void* self, uint8_t* stream, int len);
    void Close();

    uint32_t m_nDevice = 0;
    bool m_fSubsystem = false;
    SAudioFormat m_Format;
    MixProc m_pMix = nullptr;
    void* m_pUser = nullptr;
};

// Holds the device lock for its scope; nothing without an open device.
class CAudioDeviceLock {
public:
    explicit CAudioDeviceLock(CAudioDevice* device)
        : m_pDevice(device && device->IsOpen() ? device : nullptr) {
        if (m_pDevice) {
            m_pDevice->Lock();
        }
    }
    ~CAudioDeviceLock() {
        if (m_pDevice) {
            m_pDevice->Unlock();
        }
    }
    CAudioDeviceLock(const CAudioDeviceLock&) = delete;
    CAudioDeviceLock& operator=(const CAudioDeviceLock&) = delete;

private:
    CAudioDevice* m_pDevice;
};
