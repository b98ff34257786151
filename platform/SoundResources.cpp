// Sounds from 'audi' resource blocks and from WAV streams.

#include <memory>
#include <new>

#include "FileIO/gCFile.h"
#include "foundation/ErrorReport.h"
#include "platform/AppBase.h"
#include "platform/Sound.h"
#include "platform/SoundIO.h"
#include "platform/detail/WavStream.h"

template <typename Key>
error CSound::LoadFromRes(const Key& key, gCFile* file, gCResourceIndex* index) {
    if (!CAppBase::m_pApp) {
        return eGenericFailure;
    }
    error e = LocateFromRes(key, file, index);
    if (e != eNoError) {
        return e;
    }
    // The block's WAV data: its length must lie within the block.
    int32_t length = 0;
    if ((e = ReadPayloadCount(file, length, 1)) != eNoError) {
        // The alert is what the user sees; the load's error is the result.
        (void)ReportError(eResourceReadError, "Sound load size failed.");
        return e;
    }
    Stop();
    return wavstream::ReadSound(*file, file->GetFilePos() + length, *this);
}

error CSound::GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return LoadFromRes(id, file, index);
}

error CSound::GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return LoadFromRes(name, file, index);
}

namespace {

template <typename Key>
CSound* NewSoundFromRes(const Key& key, gCFile* file, gCResourceIndex* index) {
    std::unique_ptr<CSound> sound(new (std::nothrow) CSound);
    if (!sound || sound->GetFromRes(key, file, index) != eNoError) {
        return nullptr;
    }
    return sound.release();
}

} // namespace

CSound* CSound::CreateFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    if (!CAppBase::m_pApp) {
        return nullptr;
    }
    return NewSoundFromRes(id, file, index);
}

CSound* CSound::CreateFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return NewSoundFromRes(name, file, index);
}

error CSound::ReadSound(gCFile* file) {
    if (!CAppBase::m_pApp) {
        return eGenericFailure;
    }
    Stop();
    return file ? CSoundIO::ReadSound(*file, *this) : eBadParameter;
}

error CSound::SetSoundFile(gCFile* file) {
    if (!CAppBase::m_pApp) {
        return eGenericFailure;
    }
    Stop();
    return file ? CSoundIO::SetSoundFile(*file, *this) : eBadParameter;
}
