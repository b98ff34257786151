// A font's face from a 'font' block, and emptying a font: its face, its
// glyph cache, its size and its kerning pairs.

#include <new>

#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "foundation/AppServices.h"
#include "foundation/ErrorReport.h"
#include "text/Font.h"
#include "text/TextTags.h"
#include "text/detail/FreeType.h"

namespace {

// A loader's failure for the user to see. ReportError's own result only
// says the alert was dismissed; the loader returns the failure it showed.
void ShowFailure(error code, const char* detail) {
    (void)ReportError(code, detail);
}

// FreeType calls this when it closes a face that still holds its cache.
void FreeGlyphCache(void* object) {
    FT_Face face = static_cast<FT_Face>(object);
    delete static_cast<gCFont::CGlyphCache*>(face->generic.data);
    face->generic.data = nullptr;
}

} // namespace

gCFont::gCFont() : gCResourceObject(kResFontTag) {
    m_aKerning.SetCompareCallback(&gCFont::CompareKerning, this);
}

gCFont::~gCFont() {
    ResetFontData();
}

gCFont::CGlyphCache* gCFont::GlyphCache(FT_Face face) {
    return face ? static_cast<CGlyphCache*>(face->generic.data) : nullptr;
}

gCFont::CGlyphCache* gCFont::CreateGlyphCache(FT_Face face) {
    if (!face) {
        return nullptr;
    }
    if (CGlyphCache* cache = GlyphCache(face)) {
        return cache;
    }
    std::unique_ptr<CGlyphCache> cache(new (std::nothrow) CGlyphCache());
    if (!cache || cache->SetSize(kCachedChars, -1) != eNoError) {
        return nullptr;
    }
    face->generic.data = cache.get();
    face->generic.finalizer = FreeGlyphCache;
    return cache.release();
}

void gCFont::ResetBitmapCache() {
    if (m_pFace && m_pFace->generic.data) {
        FreeGlyphCache(m_pFace);
    }
}

void gCFont::ResetFontData() {
    ResetBitmapCache();
    if (m_pFace) {
        (void)FT_Done_Face(m_pFace); // the face is gone either way
        m_pFace = nullptr;
    }
    (void)m_FontData.Resize(0, 0); // freeing always succeeds
    m_nPixelHeight = -1;
    m_rPointHeight = -1.0f;
    m_rAspect = 1.0f;
    for (CKerning* pair : m_aKerning) {
        delete pair;
    }
    m_aKerning.RemoveAll();
}

error gCFont::ReadFontData(gCFile* file) {
    int32_t size = 0;
    // The size is checked against what is left of the block before
    // anything is allocated.
    if (error e = ReadPayloadCount(file, size, 1)) {
        ShowFailure(eResourceReadError, "Font load size failed.");
        return e;
    }
    if (!m_FontData.Resize(uint32_t(size), 0)) {
        ShowFailure(eOutOfMemory, "Not enough memory to load font");
        return eOutOfMemory;
    }
    if (size > 0) {
        if (error e = file->ReadBlock(m_FontData.GetData(), size)) {
            ShowFailure(eResourceReadError, "Font failed to load from resources.");
            return e;
        }
    }
    FT_Face face = nullptr;
    if (!m_pFontManager || size == 0 ||
        FT_New_Memory_Face(m_pFontManager, m_FontData.GetData(), FT_Long(size), 0, &face) != 0) {
        ShowFailure(eCreateFailed, "Font failed to create from loaded resources.");
        return eCreateFailed;
    }
    FacePtr owned(face);
    if (!UsableFace(face)) {
        ShowFailure(eCreateFailed, "Font failed to create from loaded resources.");
        return eCreateFailed;
    }
    m_pFace = owned.release();
    return eNoError;
}

template <class Key> error gCFont::LoadBlock(const Key& key, gCFile* file, gCResourceIndex* index) {
    ResetFontData();
    // Font blocks live in the font file, which has an index of its own.
    CAppServices* app = CAppServices::Get();
    if (app && (!file || file == app->GetFontFile())) {
        file = app->GetFontFile();
        index = app->GetFontIndex();
        if (index && index->GetCount() == 0) {
            index = nullptr;
        }
    }
    if (!file) {
        return eBadParameter;
    }
    if (error e = LocateFromRes(key, file, index)) {
        return e;
    }
    const error e = ReadFontData(file);
    if (e != eNoError) {
        ResetFontData();
    }
    return e;
}

error gCFont::GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index) {
    return LoadBlock(id, file, index);
}

error gCFont::GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index) {
    return LoadBlock(name, file, index);
}
