#pragma once
// The interface sounds: the one player of the five short sounds the
// interface answers with (0 a click, 1 a pop-up menu item chosen, 2 a box or
// dialog opens, 3 it closes, 4 the clean-brush control). The backdrop holds
// it, loads it while the interface is set up and hands it every sound
// request of the data channel; it plays only while the backdrop's
// sounds-on flag is set.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/gCArray.h"
#include "foundation/gCCmdTarget.h"

class CSound;

class CSMKSound : public gCCmdTarget {
public:
    // The five sounds are the resources from this id on.
    static constexpr int32_t kFirstSoundID = 90000;
    static constexpr int32_t kSoundCount = 5;

    // Plays while the flag is non-zero; the flag outlives the player.
    explicit CSMKSound(const int32_t& soundOn) : m_fSoundOn(soundOn) {}
    ~CSMKSound() override;
    CSMKSound(const CSMKSound&) = delete;
    CSMKSound& operator=(const CSMKSound&) = delete;

    // Loads the five sounds in order, each in a new last slot: null for a
    // missing resource; a sound with no slot to go in is dropped. Always 0.
    error SetupObject();
    // Plays the sound whose index is the value, at its own pitch and without
    // waiting, when sounds are on, the id asks for a sound, the index has a
    // slot and the slot holds a sound. 0 whatever happens.
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override;

    // How many slots there are, and the sound in one (null when missing).
    int32_t SoundCount() const { return m_aSounds.GetSize(); }
    CSound* Sound(int32_t index) const { return m_aSounds[index]; }

protected:
    // The sound of that resource id in the application's resource file, or
    // null.
    virtual CSound* LoadSound(int32_t id);

private:
    const int32_t& m_fSoundOn;
    gCArray<CSound*> m_aSounds;
};
