#include "FileIO/gCResourceObject.h"

#include <utility>

#include "FileIO/ResourceTags.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "foundation/AppServices.h"

namespace {

gCFile* ApplicationResFile() {
    CAppServices* app = CAppServices::Get();
    return app ? app->GetResFile() : nullptr;
}

} // namespace

template <typename Match>
error gCResourceObject::ScanBlocks(uint32_t type, gCFile* file, Match match) {
    if (!file) {
        file = ApplicationResFile();
    }
    if (!file || !file->IsOpen()) {
        return eInvalidFile;
    }
    const int64_t start = file->GetFilePos();
    bool wrapped = false;
    // Back to the start of the file. A scan wraps once: a second time means
    // it began beyond every block and has seen them all.
    auto wrap = [&]() -> error {
        if (wrapped) {
            return eResourceNotFound;
        }
        wrapped = true;
        return file->Rewind();
    };
    error e = eNoError;
    for (;;) {
        if (wrapped && file->GetFilePos() >= start) {
            return eResourceNotFound;
        }
        if (file->FileEnd()) {
            if ((e = wrap()) != eNoError) {
                return e;
            }
            continue;
        }
        uint32_t tag = 0;
        if ((e = file->ReadUint32(tag)) != eNoError) {
            return e;
        }
        if (file->FileEnd()) {
            // A lone tag at the end: read the first block's tag instead.
            if ((e = wrap()) != eNoError || (e = file->ReadUint32(tag)) != eNoError) {
                return e;
            }
        }
        int32_t size = 0;
        int64_t data = 0;
        if ((e = ReadResBlockSize(*file, size, data)) != eNoError) {
            return e;
        }
        if (tag == kResVersionTag && size != 4) {
            return eResourceReadError;
        }
        if (tag == type) {
            if (size < kResHeaderMinimum) {
                return eResourceReadError;
            }
            int32_t id = 0;
            gCString name;
            if ((e = file->ReadInt32(id)) != eNoError ||
                (e = ReadResBlockName(*file, data + size, name)) != eNoError) {
                return e;
            }
            if (match(id, name)) {
                m_nResID = id;
                m_ResName = std::move(name); // moved: nothing to allocate
                m_nBlockEnd = data + size;
                return eNoError;
            }
        }
        if ((e = file->SetFilePos(data + size)) != eNoError) {
            return e;
        }
    }
}

error gCResourceObject::FindBlock(uint32_t type, int32_t id, gCFile* file) {
    return ScanBlocks(type, file, [id](int32_t blockID, const gCString&) { return blockID == id; });
}

error gCResourceObject::FindBlock(uint32_t type, const gCString& name, gCFile* file) {
    return ScanBlocks(type, file, [&name](int32_t, const gCString& blockName) {
        return SameText(blockName, name);
    });
}

error gCResourceObject::ReadPayloadCount(gCFile* file, int32_t& count, int32_t unitBytes) {
    if (!file) {
        file = ApplicationResFile();
    }
    if (!file || !file->IsOpen()) {
        return eInvalidFile;
    }
    int32_t n = 0;
    const error e = file->ReadInt32(n);
    if (e != eNoError) {
        return e;
    }
    const int64_t left = m_nBlockEnd - file->GetFilePos();
    if (n < 0 || left < 0 || int64_t(n) * (unitBytes > 0 ? unitBytes : 1) > left) {
        return eResourceReadError;
    }
    count = n;
    return eNoError;
}

template <typename Key>
error gCResourceObject::Locate(const Key& key, gCFile*& file, gCResourceIndex* index) {
    CAppServices* app = CAppServices::Get();
    if (app && (!file || file == app->GetResFile())) {
        file = app->GetResFile();
        index = app->GetResIndex();
        if (index && index->GetCount() == 0) {
            index = nullptr;
        }
    }
    if (!file) {
        return eBadParameter;
    }
    if (index && file->IsOpen()) {
        const int32_t location = index->GetLocation(key);
        if (location >= 0 && file->GetFilePos() != location) {
            const error e = file->SetFilePos(location);
            if (e != eNoError) {
                return e;
            }
        }
    }
    return FindBlock(m_nResType, key, file);
}

error gCResourceObject::LocateFromRes(int32_t id, gCFile*& file, gCResourceIndex* index) {
    return Locate(id, file, index);
}

error gCResourceObject::LocateFromRes(const gCString& name, gCFile*& file, gCResourceIndex* index) {
    return Locate(name, file, index);
}
