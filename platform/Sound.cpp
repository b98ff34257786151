#include "platform/Sound.h"

#include <cstring>
#include <limits>

#include "FileIO/gCStream.h"
#include "platform/AppBase.h"
#include "platform/PlatformAudioManager.h"

namespace {

CPlatformAudioManager* Manager() {
    return CAppBase::m_pApp ? &CAppBase::m_pApp->AudioManager() : nullptr;
}

} // namespace

CSound::CSound() : gCResourceObject(kResSoundTag), m_nSoundID(++m_nIDGen) {}

CSound::~CSound() {
    Stop();
}

void CSound::Stop() {
    if (CPlatformAudioManager* manager = Manager()) {
        manager->Abort(this);
    }
}

void CSound::SetFormat(int32_t bits, int32_t stereo) {
    m_f16Bit = bits == 16 ? 1 : 0;
    m_fStereo = stereo ? 1 : 0;
    m_nBytesPerFrame = (m_f16Bit ? 2 : 1) * (m_fStereo ? 2 : 1);
}

error CSound::ResizeCleared(int64_t bytes) {
    // The data size is only ever what the block holds: a size it cannot
    // take leaves both as they were.
    if (bytes < 0 || bytes > int64_t(std::numeric_limits<uint32_t>::max()) ||
        !m_SampleData.Resize(uint32_t(bytes), 1)) {
        return eOutOfMemory;
    }
    m_nDataSize = uint32_t(bytes);
    return eNoError;
}

// The operations that change the format or the samples stop the sound
// before they change anything: a playback never sees them half changed.
error CSound::Create(int32_t bits, int32_t stereo, int32_t rate, int32_t frames) {
    Stop();
    SetFormat(bits, stereo);
    m_nRate = rate;
    m_nDataSize = uint32_t(int64_t(frames) * m_nBytesPerFrame);
    return eNoError;
}

error CSound::SetBitDepth(int32_t bits) {
    Stop();
    const uint32_t frames = m_nDataSize / uint32_t(m_nBytesPerFrame);
    SetFormat(bits, m_fStereo);
    return ResizeCleared(int64_t(frames) * m_nBytesPerFrame);
}

error CSound::SetStereo(int32_t stereo) {
    Stop();
    SetFormat(m_f16Bit ? 16 : 8, stereo);
    return ResizeCleared(m_nDataSize);
}

error CSound::SetRate(int32_t rate) {
    m_nRate = rate;
    return eNoError;
}

error CSound::SetSampleCount(int32_t frames) {
    if (!CAppBase::m_pApp) {
        return eGenericFailure;
    }
    Stop();
    return ResizeCleared(int64_t(frames) * m_nBytesPerFrame);
}

error CSound::SetSampleTime(int32_t ms) {
    if (!CAppBase::m_pApp) {
        return eGenericFailure;
    }
    const int64_t frames = int64_t(ms) * m_nRate / 1000;
    if (frames < std::numeric_limits<int32_t>::min() ||
        frames > std::numeric_limits<int32_t>::max()) {
        return eOutOfMemory;
    }
    return SetSampleCount(int32_t(frames));
}

uint32_t CSound::SampleTime() {
    Stop();
    const uint64_t perSecond = uint64_t(uint32_t(m_nBytesPerFrame)) * uint32_t(m_nRate);
    if (perSecond == 0) {
        return 0;
    }
    return uint32_t(uint64_t(m_nDataSize) * 1000 / perSecond);
}

int32_t CSound::Play(CMusic::ENote note) {
    CPlatformAudioManager* manager = Manager();
    return manager ? manager->Play(this, note) : -1;
}

int32_t CSound::Loop(int32_t count, CMusic::ENote note) {
    CPlatformAudioManager* manager = Manager();
    return manager ? manager->Loop(this, count, note) : -1;
}

void CSound::Abort() {
    Stop();
}

void CSound::Abort(int32_t id) {
    if (CPlatformAudioManager* manager = Manager()) {
        manager->Abort(id);
    }
}

int32_t CSound::Busy() {
    CPlatformAudioManager* manager = Manager();
    return manager ? manager->Busy(this) : 0;
}

void CSound::Zero() {
    Stop();
    if (m_SampleData.GetCount()) {
        std::memset(m_SampleData.GetData(), 0, m_SampleData.GetCount());
    }
}

void CSound::BindSoundFile(gCStream* stream, int64_t offset, uint32_t size) {
    Stop();
    m_pSoundFile = stream;
    m_nDataOffset = offset;
    m_nDataSize = size;
}

void CSound::UnbindSoundFile() {
    Stop();
    m_pSoundFile = nullptr;
    m_nDataOffset = 0;
}

CSoundLock::CSoundLock(CSound* sound) : m_pSound(sound) {
    if (sound &&
        !(sound->m_pSoundFile && sound->m_pSoundFile->StreamKind() == gCStream::eFileStream)) {
        m_pSamples = sound->m_SampleData.GetData();
    }
}
