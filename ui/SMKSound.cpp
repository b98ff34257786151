#include "ui/SMKSound.h"

#include <memory>

#include "foundation/MessageIds.h"
#include "platform/Sound.h"

CSMKSound::~CSMKSound() {
    for (CSound* sound : m_aSounds) {
        delete sound;
    }
}

CSound* CSMKSound::LoadSound(int32_t id) {
    return CSound::CreateFromRes(id, nullptr, nullptr);
}

error CSMKSound::SetupObject() {
    for (int32_t i = 0; i < kSoundCount; ++i) {
        std::unique_ptr<CSound> sound(LoadSound(kFirstSoundID + i));
        // A sound with no slot to go in is dropped with its owner.
        if (m_aSounds.Add(sound.get()) == eNoError) {
            (void)sound.release();
        }
    }
    return eNoError;
}

int32_t CSMKSound::ProcessData(uint32_t id, const void*, int64_t value, int32_t) {
    if (!m_fSoundOn || id != eCmdPlaySound || value < 0 || value >= m_aSounds.GetSize()) {
        return 0;
    }
    if (CSound* sound = m_aSounds[int32_t(value)]) {
        // Without a device nothing plays; the sender is not told.
        (void)sound->Play(CMusic::ENote(0));
    }
    return 0;
}
