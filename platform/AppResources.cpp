// The application object's resource file, font file, their indexes, the
// string table and the shared resource pools.
#include "platform/AppBase.h"

#include "FileIO/gCFRelative.h"

namespace {

// The resource folder's file as a path relative to the application folder.
gCString ResourcePath(const gCString& folder, const gCString& name) {
    gCString path(folder);
    path.AppendString(u":");
    path.AppendString(name);
    return path;
}

// Opens the file for reading; whether it opened.
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
    m_StringTable.ClearContents();
    m_ResIndex.ClearContents();
    m_FontIndex.ClearContents();
}

error CAppBase::InitResFile() {
    // A second call starts from scratch rather than doubling the indexes.
    ClearResourceIndexes();
    if (!OpenForReading(m_ResFile, ResourcePath(m_ResFolder, m_ResFileName))) {
        return eNoError; // start-up goes on without resources
    }
    if (error e = m_ResIndex.SetupIndex(&m_ResFile)) {
        return e;
    }
    {
        gCFile strings;
        if (OpenForReading(strings, ResourcePath(m_ResFolder, m_StringFileName))) {
            if (error e = m_StringTable.GetFromRes(&strings)) {
                return e;
            }
        }
    }
    if (m_FontFileName.GetLength() == 0) {
        m_FontFileName = m_ResFileName;
    }
    if (OpenForReading(m_FontFile, ResourcePath(m_ResFolder, m_FontFileName))) {
        if (error e = m_FontIndex.SetupIndex(&m_FontFile)) {
            return e;
        }
    }
    return eNoError;
}

gCFile* CAppBase::GetResFile() {
    return m_ResFile.IsOpen() ? &m_ResFile : nullptr;
}

gCResourceIndex* CAppBase::GetResIndex() {
    return m_ResFile.IsOpen() ? &m_ResIndex : nullptr;
}

gCFile* CAppBase::GetFontFile() {
    return m_FontFile.IsOpen() ? &m_FontFile : nullptr;
}

gCResourceIndex* CAppBase::GetFontIndex() {
    return m_FontFile.IsOpen() ? &m_FontIndex : nullptr;
}

gCStringTable* CAppBase::GetStringTable() {
    return &m_StringTable;
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
