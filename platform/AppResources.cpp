// The application object's resource file, font file, their indexes, the
// string table and the shared resource pools.
#include "platform/AppBase.h"

#include <memory>
#include <new>

#include "FileIO/gCFRelative.h"

namespace {

// The resource folder's file as a path relative to the application folder;
// 5 without memory for it (the path then unusable).
error ResourcePath(const gCString& folder, const gCString& name, gCString& path) {
    if (error e = path.CopyStringFromBuffer(folder.GetBuffer(), folder.GetLength())) {
        return e;
    }
    if (error e = path.AppendString(u":")) {
        return e;
    }
    return path.AppendString(name);
}

// Opens the file for reading; whether it opened. A file that does not open
// is not there for the application (any reason is the same to it).
bool OpenForReading(gCFile& file, const gCString& path) {
    gCFRelative relative(path);
    return file.Open(&relative, eAccessReadOnly) == eNoError && file.IsOpen();
}

} // namespace

void CAppBase::EmptyResources() {
    for (CResourcePool& pool : m_aResourcePools) {
        pool.Empty();
    }
}

void CAppBase::ClearResourceIndexes() {
    // Emptying frees and cannot fail.
    (void)m_pResources->strings.ClearContents();
    m_pResources->resIndex.ClearContents();
    m_pResources->fontIndex.ClearContents();
}

error CAppBase::InitResFile() {
    std::unique_ptr<SResourceFiles> loaded(new (std::nothrow) SResourceFiles());
    if (!loaded) {
        return eOutOfMemory;
    }
    gCString path;
    if (error e = ResourcePath(m_ResFolder, m_ResFileName, path)) {
        return e;
    }
    // Without the resource file start-up goes on without resources.
    if (OpenForReading(loaded->resFile, path)) {
        if (error e = loaded->resIndex.SetupIndex(&loaded->resFile)) {
            return e;
        }
        if (error e = ResourcePath(m_ResFolder, m_StringFileName, path)) {
            return e;
        }
        gCFile strings; // a missing string table is no error
        if (OpenForReading(strings, path)) {
            if (error e = loaded->strings.GetFromRes(&strings)) {
                return e;
            }
        }
        if (m_FontFileName.GetLength() == 0) {
            if (error e = m_FontFileName.CopyStringFromBuffer(m_ResFileName.GetBuffer(),
                                                              m_ResFileName.GetLength())) {
                return e;
            }
        }
        if (error e = ResourcePath(m_ResFolder, m_FontFileName, path)) {
            return e;
        }
        if (OpenForReading(loaded->fontFile, path)) {
            if (error e = loaded->fontIndex.SetupIndex(&loaded->fontFile)) {
                return e;
            }
        }
    }
    m_pResources = std::move(loaded);
    return eNoError;
}

gCFile* CAppBase::GetResFile() {
    return m_pResources->resFile.IsOpen() ? &m_pResources->resFile : nullptr;
}

gCResourceIndex* CAppBase::GetResIndex() {
    return m_pResources->resFile.IsOpen() ? &m_pResources->resIndex : nullptr;
}

gCFile* CAppBase::GetFontFile() {
    return m_pResources->fontFile.IsOpen() ? &m_pResources->fontFile : nullptr;
}

gCResourceIndex* CAppBase::GetFontIndex() {
    return m_pResources->fontFile.IsOpen() ? &m_pResources->fontIndex : nullptr;
}

gCStringTable* CAppBase::GetStringTable() {
    return &m_pResources->strings;
}

CResourcePool* CAppBase::GetResourcePool(int32_t type) {
    return type >= 0 && type < kResourcePoolCount ? &m_aResourcePools[type] : nullptr;
}

template <typename Find>
static gCResourceObject* SearchPools(CAppBase& app, int32_t type, Find find) {
    if (type != eResPoolSearch) {
        CResourcePool* pool = app.GetResourcePool(type);
        return pool ? find(*pool) : nullptr;
    }
    // The font pool is not searched.
    for (int32_t i = eResPoolGeneral; i < eResPoolFonts; ++i) {
        if (gCResourceObject* found = find(*app.GetResourcePool(i))) {
            return found;
        }
    }
    return nullptr;
}

gCResourceObject* CAppBase::FindResourceByID(int32_t type, int32_t id) {
    return SearchPools(*this, type,
                       [id](CResourcePool& pool) { return pool.FindByID(uint32_t(id)); });
}

gCResourceObject* CAppBase::FindResourceByName(int32_t type, const gCString& name) {
    return SearchPools(*this, type, [&name](CResourcePool& pool) { return pool.FindByName(name); });
}
