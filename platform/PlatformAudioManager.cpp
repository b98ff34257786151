#include "platform/PlatformAudioManager.h"

#include <cstdio>
#include <new>
#include <string>

#include "platform/Mixer.h"
#include "platform/PlaybackInstance.h"
#include "platform/detail/AudioDevice.h"

CPlatformAudioManager::CPlatformAudioManager() = default;

CPlatformAudioManager::~CPlatformAudioManager() {
    // The device thread stops first; then nothing else sees the instances.
    m_pDevice.reset();
    for (CPlaybackInstance* instance : m_aInstances) {
        delete instance;
    }
    m_aInstances.RemoveAll();
}

bool CPlatformAudioManager::OpenDevice() {
    if (m_pDevice) {
        return true;
    }
    if (m_fDeviceTried) {
        return false;
    }
    m_fDeviceTried = 1;
    std::unique_ptr<CAudioDevice> device(new (std::nothrow) CAudioDevice);
    std::string why = "out of memory";
    if (!device || !device->Open(MixDevice, this, why)) {
        // Said once; the program goes on without sound.
        std::fprintf(stderr, "Daublin: no sound, the audio device could not be opened (%s).\n",
                     why.c_str());
        return false;
    }
    m_pDevice = std::move(device);
    m_pDevice->Start();
    return true;
}

bool CPlatformAudioManager::OutputFormat(SAudioFormat& format) const {
    if (!m_pDevice) {
        return false;
    }
    format = m_pDevice->Format();
    return true;
}

int32_t CPlatformAudioManager::Play(CSound* sound, CMusic::ENote note) {
    return Loop(sound, 1, note);
}

int32_t CPlatformAudioManager::Loop(CSound* sound, int32_t loops, CMusic::ENote note) {
    if (!OpenDevice()) {
        return -1;
    }
    // Started (its first buffers filled) before the device can see it.
    std::unique_ptr<CPlaybackInstance> instance(
        new (std::nothrow) CPlaybackInstance(sound, loops, note, m_pDevice->Format()));
    if (!instance) {
        return -1;
    }
    const int32_t id = instance->ID();
    CAudioDeviceLock lock(m_pDevice.get());
    const int32_t count = m_aInstances.GetSize();
    if (m_aInstances.SetSize(count + 1) != eNoError) {
        return -1;
    }
    m_aInstances[count] = instance.release(); // owned by the list
    return id;
}

template <typename Pick> void CPlatformAudioManager::Remove(Pick pick) {
    CAudioDeviceLock lock(m_pDevice.get());
    for (int32_t i = m_aInstances.GetSize() - 1; i >= 0; --i) {
        CPlaybackInstance* instance = m_aInstances[i];
        if (pick(*instance)) {
            m_aInstances.RemoveAt(i);
            delete instance;
        }
    }
}

void CPlatformAudioManager::Abort(CSound* sound) {
    Remove([sound](const CPlaybackInstance& i) { return i.Sound() == sound; });
}

void CPlatformAudioManager::Abort(int32_t id) {
    Remove([id](const CPlaybackInstance& i) { return i.ID() == id; });
}

void CPlatformAudioManager::AbortAll() {
    CAudioDeviceLock lock(m_pDevice.get());
    for (CPlaybackInstance* instance : m_aInstances) {
        delete instance;
    }
    m_aInstances.RemoveAll();
}

int32_t CPlatformAudioManager::Busy(CSound* sound) {
    CAudioDeviceLock lock(m_pDevice.get());
    for (const CPlaybackInstance* instance : m_aInstances) {
        if (instance->Sound() == sound && !instance->IsFinished()) {
            return 1;
        }
    }
    return 0;
}

int32_t CPlatformAudioManager::Busy(int32_t id) {
    CAudioDeviceLock lock(m_pDevice.get());
    for (int32_t i = m_aInstances.GetSize() - 1; i >= 0; --i) {
        if (m_aInstances[i]->ID() == id) {
            return m_aInstances[i]->IsFinished() ? 0 : 1;
        }
    }
    return 0;
}

void CPlatformAudioManager::GarbageCollection() {
    Remove([](const CPlaybackInstance& i) { return i.IsFinished() != 0; });
}

void CPlatformAudioManager::Idle() {
    if (!m_pDevice) {
        return;
    }
    CAudioDeviceLock lock(m_pDevice.get());
    for (CPlaybackInstance* instance : m_aInstances) {
        instance->RefillFromFile();
    }
}

int32_t CPlatformAudioManager::InstanceCount() {
    CAudioDeviceLock lock(m_pDevice.get());
    return m_aInstances.GetSize();
}

void CPlatformAudioManager::MixDevice(void* manager, const SAudioFormat& format, unsigned char* out,
                                      int32_t bytes) {
    auto* self = static_cast<CPlatformAudioManager*>(manager);
    MixPlaybacks(self->m_aInstances.GetData(), self->m_aInstances.GetSize(), format, out,
                 bytes / format.FrameBytes());
}
