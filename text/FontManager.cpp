// The font manager and the fonts it shares by name through the font pool:
// from font blocks, installed fonts and font files.

#include <new>
#include <string>

#include "FileIO/CResourcePool.h"
#include "FileIO/VolumeTable.h"
#include "foundation/AppServices.h"
#include "foundation/Utf8.h"
#include "text/Font.h"
#include "text/FontLookup.h"
#include "text/detail/FreeType.h"

namespace {

// The family asked for when a full name is not installed; the system's
// substitution always finds a face for it.
constexpr const char* kFallbackFamily = "Helvetica";

CResourcePool* FontPool() {
    CAppServices* app = CAppServices::Get();
    return app ? app->GetResourcePool(kFontPool) : nullptr;
}

gCFont* PooledFont(const gCString& name) {
    CAppServices* app = CAppServices::Get();
    return app ? dynamic_cast<gCFont*>(app->FindResourceByName(kFontPool, name)) : nullptr;
}

// Opens a usable face at a location; null when FreeType cannot, or the face
// has no units per em.
FacePtr OpenFace(FT_Library library, const SFontLocation& where) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, where.path.c_str(), FT_Long(where.index), &face) != 0) {
        return nullptr;
    }
    FacePtr owned(face);
    return UsableFace(face) ? std::move(owned) : nullptr;
}

// The installed face of that full name, else the face substituted for the
// fallback family.
FacePtr OpenInstalledFace(FT_Library library, const std::string& fullName) {
    CFontLookup& lookup = CFontLookup::Get();
    SFontLocation where;
    if (lookup.FindFullName(fullName, where)) {
        if (FacePtr face = OpenFace(library, where)) {
            return face;
        }
    }
    if (lookup.MatchFamily(kFallbackFamily, where)) {
        return OpenFace(library, where);
    }
    return nullptr;
}

} // namespace

error gCFont::InitializeManager() {
    if (m_pFontManager) {
        return eNoError;
    }
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        return eCreateFailed;
    }
    m_pFontManager = library;
    return eNoError;
}

void gCFont::ShutDownManager() {
    if (m_pFontManager) {
        (void)FT_Done_FreeType(m_pFontManager); // the library is gone either way
        m_pFontManager = nullptr;
    }
}

error gCFont::UseFont(gCFont*& font, const gCString& name) {
    if (!m_pFontManager) {
        return eCreateFailed;
    }
    if ((font = PooledFont(name)) != nullptr) {
        return eNoError;
    }
    if (LoadFromRes(name, nullptr, nullptr) == eNoError) {
        font = PooledFont(name);
        return font ? eNoError : eResourceNotFound;
    }
    if (error e = LoadSystemFont(name, 0)) {
        return e;
    }
    font = PooledFont(name);
    return font ? eNoError : eCreateFailed;
}

error gCFont::PoolFace(FT_Face face, const gCString& name, uint32_t id) {
    FacePtr owned(face);
    CResourcePool* pool = FontPool();
    gCFont* font = new (std::nothrow) gCFont();
    if (!font) {
        return eOutOfMemory;
    }
    font->SetResID(int32_t(id));
    font->SetResName(name);
    font->m_pFace = owned.release();
    if (!pool || pool->Add(font) != eNoError) {
        delete font; // closes the face
        return eCreateFailed;
    }
    return eNoError;
}

error gCFont::LoadSystemFont(const gCString& name, uint32_t id) {
    if (!m_pFontManager) {
        return eCreateFailed;
    }
    FacePtr face = OpenInstalledFace(m_pFontManager, gStringToUtf8(name));
    if (!face) {
        return eCreateFailed;
    }
    // Pooled under the name asked for, also when the fallback face stands
    // in for it, so that later look-ups of that name find this face.
    return PoolFace(face.release(), name, id);
}

error gCFont::LoadFromFile(const gCString& path, const gCString& name, uint32_t id) {
    if (!m_pFontManager) {
        return eCreateFailed;
    }
    std::string posix;
    if (gCVolumeTable::ColonToPosix(path, posix) != eNoError) {
        return eCreateFailed;
    }
    FacePtr face = OpenFace(m_pFontManager, {posix, 0});
    if (!face) {
        return eCreateFailed;
    }
    return PoolFace(face.release(), name, id);
}

gCString gCFont::GetFontPath(const gCString& name) {
    gCString path;
    if (!m_pFontManager) {
        return path;
    }
    CFontLookup& lookup = CFontLookup::Get();
    SFontLocation where;
    if (lookup.FindFullName(gStringToUtf8(name), where) ||
        lookup.MatchFamily(kFallbackFamily, where)) {
        // A path that cannot be held is no path.
        if (gStringFromUtf8(path, where.path) != eNoError) {
            (void)path.Destroy(); // always 0
        }
    }
    return path;
}

template <class Key>
error gCFont::LoadFromResAndPool(const Key& key, gCFile* file, gCResourceIndex* index) {
    std::unique_ptr<gCFont> font(new (std::nothrow) gCFont());
    if (!font) {
        return eOutOfMemory;
    }
    if (error e = font->GetFromRes(key, file, index)) {
        return e;
    }
    CResourcePool* pool = FontPool();
    if (!pool) {
        return eCreateFailed;
    }
    if (error e = pool->Add(font.get())) {
        return e;
    }
    (void)font.release(); // the pool owns it now
    return eNoError;
}

error gCFont::LoadFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return LoadFromResAndPool(id, file, index);
}

error gCFont::LoadFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return LoadFromResAndPool(name, file, index);
}
