#pragma once
// A sound: PCM samples held in memory, or read from a WAV stream while it
// plays. Playing asks the application's audio manager for a playback; every
// operation that changes the samples stops the sound's playbacks first, so
// that no playback reads samples while they change. Without an application
// object nothing plays.

#include <cstdint>

#include "FileIO/ResourceTags.h"
#include "FileIO/gCResourceObject.h"
#include "foundation/CMemBlock.h"
#include "foundation/Error.h"
#include "platform/Music.h"

class gCFile;
class gCResourceIndex;
class gCStream;

class CSound : public gCResourceObject {
public:
    CSound();
    ~CSound() override;
    CSound(const CSound&) = delete;
    CSound& operator=(const CSound&) = delete;

    // Stops, sets the format (16 bits or 8, stereo or mono, frames per
    // second) and sets the data size to frames x bytes per frame without
    // sizing the sample block. Always 0.
    error Create(int32_t bits, int32_t stereo, int32_t rate, int32_t frames);
    // Keeps the frame count, changes the sample width; the block is sized
    // to the new data size and cleared. 5 when it cannot be.
    error SetBitDepth(int32_t bits);
    // Keeps the byte size (so the frame count changes); the block is
    // cleared. 5 when it cannot be sized.
    error SetStereo(int32_t stereo);
    // Does not stop: playbacks keep the rate they started with.
    error SetRate(int32_t rate);
    // Sizes the block, cleared, to that many frames: 5 when it cannot be
    // (also for a negative count or one beyond 32 bits of bytes), 1
    // without an application object.
    error SetSampleCount(int32_t frames);
    // As SetSampleCount with ms x rate / 1000 frames.
    error SetSampleTime(int32_t ms);
    // Stops; the length in milliseconds (0 at a rate of 0).
    uint32_t SampleTime();

    // A playback's id, or -1 when nothing plays (no application object, no
    // audio device, no memory).
    int32_t Play(CMusic::ENote note);
    // Plays count times back to back, or until aborted with -1.
    int32_t Loop(int32_t count, CMusic::ENote note);
    // Stops every playback of this sound / the playback with that id.
    void Abort();
    void Abort(int32_t id);
    // 1 while a playback of this sound has something left to play.
    int32_t Busy();
    // Stops and clears every sample byte.
    void Zero();

    // Loads the WAV data of an 'audi' block found by id or name: 1 without
    // an application object, 6 without a file, the block search's error,
    // 22 (reported) when the block's length cannot be had, or the WAV
    // reader's. The WAV data is read within its block. A null file is the
    // application's resource file.
    error GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    error GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);
    // A new sound from a resource block, or null.
    static CSound* CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static CSound* CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);

    // Stops, then reads a WAV stream from its position into the sound; 1
    // without an application object.
    error ReadSound(gCFile* file);
    // Stops, then binds the sound to a WAV stream: the samples are read
    // from it while the sound plays. 1 without an application object.
    error SetSoundFile(gCFile* file);

    // The format.
    int32_t Is16Bit() const { return m_f16Bit; }
    int32_t IsStereo() const { return m_fStereo; }
    int32_t Rate() const { return m_nRate; }
    int32_t BytesPerFrame() const { return m_nBytesPerFrame; }
    // Sample bytes: frames x bytes per frame.
    uint32_t DataSize() const { return m_nDataSize; }
    // The sample block; its count is its capacity in bytes.
    const CMemBlockT<char>& SampleData() const { return m_SampleData; }
    uint32_t SampleCapacity() const { return m_SampleData.GetCount(); }
    int32_t SoundID() const { return m_nSoundID; }

    // The stream the sound is bound to (null when its samples are in
    // memory), and where its first sample byte is.
    gCStream* SoundFile() const { return m_pSoundFile; }
    int64_t DataOffset() const { return m_nDataOffset; }
    // Binding, for the WAV reader: both stop first.
    void BindSoundFile(gCStream* stream, int64_t offset, uint32_t size);
    void UnbindSoundFile();

    static inline int32_t m_nIDGen = 0;

private:
    friend class CSoundLock;

    // Stops every playback of the sound, when there is an application.
    void Stop();
    // Sizes the block, cleared, to bytes; 5 when it cannot be.
    error ResizeCleared(int64_t bytes);
    void SetFormat(int32_t bits, int32_t stereo);
    template <typename Key> error LoadFromRes(const Key& key, gCFile* file, gCResourceIndex* index);

    CMemBlockT<char> m_SampleData;
    int32_t m_f16Bit = 0;
    int32_t m_fStereo = 0;
    int32_t m_nRate = 22000;
    int32_t m_nBytesPerFrame = 1;
    gCStream* m_pSoundFile = nullptr;
    int64_t m_nDataOffset = 0;
    uint32_t m_nDataSize = 0;
    int32_t m_nSoundID = 0;
};

// Scoped access to a sound's samples in memory: null for a sound bound to
// a file stream, whose samples are not in memory.
class CSoundLock {
public:
    explicit CSoundLock(CSound* sound);
    ~CSoundLock() { Unlock(); }
    CSoundLock(const CSoundLock&) = delete;
    CSoundLock& operator=(const CSoundLock&) = delete;

    void Unlock() {
        m_pSamples = nullptr;
        m_pSound = nullptr;
    }
    char* Samples() const { return m_pSamples; }
    CSound* Sound() const { return m_pSound; }

private:
    char* m_pSamples = nullptr;
    CSound* m_pSound = nullptr;
};
