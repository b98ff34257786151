#pragma once
// The toolkit's font: one FreeType face, opened from an installed font by
// its full name, from a font file, or from a 'font' block of the font file
// (the application's second resource file), with its size, its glyph cache
// and its own kerning pairs.
//
// Every font shares one FreeType library, the font manager, which the
// application starts before any widget exists and closes after its pools
// are emptied; without it every font operation answers 23. Fonts are shared
// by name through the application's font pool (pool 5), which owns them.
//
// The glyph cache: 688 records, one per character code below 688, hung on
// the face, so that every renderer using this font shares it. It holds
// advances and coverage (after the gamma table), never colour, and is
// emptied whenever the size changes.

#include <cstdint>
#include <memory>

#include "FileIO/gCResourceObject.h"
#include "foundation/CMemBlock.h"
#include "foundation/Error.h"
#include "foundation/gCArray.h"
#include "foundation/gCDictionary.h"
#include "imaging/Image8.h"

// FreeType's handles, declared as FreeType declares them.
struct FT_LibraryRec_;
typedef struct FT_LibraryRec_* FT_Library;
struct FT_FaceRec_;
typedef struct FT_FaceRec_* FT_Face;

class gCFont : public gCResourceObject {
public:
    // A kerning pair of the font's own: font units added to the distance
    // between the two characters (negative brings them closer).
    class CKerning {
    public:
        virtual ~CKerning() = default;
        int32_t m_nFirst = 0;
        int32_t m_nSecond = 0;
        int32_t m_nKerning = 0;
    };

    // One cached character: its coverage image (owned), the rows from the
    // baseline up to the image's top, the columns from the pen to its left
    // edge, and its advance in 1/64 pixel (-1 while unknown).
    struct CCharInfo {
        std::unique_ptr<CImage8> m_pImage;
        int32_t m_nTop = 0;
        int32_t m_nLeft = 0;
        int32_t m_nAdvance = -1;

        // Its coverage is there to be copied.
        bool IsDrawn() const { return m_pImage && m_pImage->IsValid(); }
    };
    using CGlyphCache = gCArray<CCharInfo>;
    // Character codes from this one up are never cached.
    static constexpr int32_t kCachedChars = 688;

    gCFont();
    ~gCFont() override;
    gCFont(const gCFont&) = delete;
    gCFont& operator=(const gCFont&) = delete;

    // The manager: 0 also when it runs already; 23 when FreeType cannot
    // start. Shutting down closes the library; every font must be gone.
    static error InitializeManager();
    static void ShutDownManager();
    static FT_Library Manager() { return m_pFontManager; }

    // The pooled font of that name, else one loaded from a font block of
    // that name, else the installed font of that full name (or the
    // "Helvetica" face pooled under that name). `font` takes each look-up's
    // result; 23 without a manager, and `font` is then untouched.
    static error UseFont(gCFont*& font, const gCString& name);
    // Opens the installed font of that full name, or else the face the
    // system gives for "Helvetica", and pools it under that name and id.
    static error LoadSystemFont(const gCString& name, uint32_t id);
    // Opens the font file at a colon path and pools it under name and id.
    static error LoadFromFile(const gCString& path, const gCString& name, uint32_t id);
    // The POSIX path of the installed font of that full name (else of the
    // "Helvetica" face); empty when neither is found or without a manager.
    static gCString GetFontPath(const gCString& name);
    // Loads a font block into a new font and pools it; the load's or the
    // pool's error otherwise.
    static error LoadFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    static error LoadFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);

    // Replaces the face by the font block with that id or name. A null
    // file, or the application's font file, means the font file with its
    // index. 6 without a file, FindBlock's error (21) unreported; the size
    // read, memory, read and open failures are reported (22, 5, 22, 23).
    // A failure leaves the font empty.
    error GetFromRes(int32_t id, gCFile* file, gCResourceIndex* index);
    error GetFromRes(const gCString& name, gCFile* file, gCResourceIndex* index);

    // Sizes at 72 dpi or in pixels, with the glyphs' width-to-height ratio.
    // The same size again keeps the glyph cache; another empties it. 23
    // without a face or when FreeType refuses the size.
    error SetFontPointHeight(float points, float aspect);
    error SetFontPixelHeight(int32_t pixels, float aspect);

    // Adds or replaces a pair (nothing when it cannot be stored).
    void SetKerning(int32_t first, int32_t second, int32_t kerning);
    // 0 and the pair's kerning at the face's current size, in 1/64 pixel
    // rounded to a whole pixel; 1 when there is no such pair.
    error GetCustomKerning(int32_t first, int32_t second, int32_t& kerning);
    error GetCustomKerning(FT_Face face, int32_t first, int32_t second, int32_t& kerning);
    // The pairs' order: ascending by first, then second character.
    static int32_t CompareKerning(CKerning* a, CKerning* b, void* user);
    int32_t GetKerningCount() const { return m_aKerning.GetSize(); }

    // Closes the face and forgets the size and the kerning pairs.
    void ResetFontData();
    // Destroys the glyph cache.
    void ResetBitmapCache();

    FT_Face GetFace() const { return m_pFace; }
    int32_t GetPixelHeight() const { return m_nPixelHeight; }
    float GetPointHeight() const { return m_rPointHeight; }
    float GetAspect() const { return m_rAspect; }

    // The face's glyph cache, or null; Create makes it when missing (null
    // when memory runs out).
    static CGlyphCache* GlyphCache(FT_Face face);
    static CGlyphCache* CreateGlyphCache(FT_Face face);

private:
    template <class Key> error LoadBlock(const Key& key, gCFile* file, gCResourceIndex* index);
    error ReadFontData(gCFile* file);
    // Pools a new font holding the face under the name and id; 23 (and the
    // face closed) when it cannot.
    static error PoolFace(FT_Face face, const gCString& name, uint32_t id);
    template <class Key> static error LoadFromResAndPool(const Key& key, gCFile*, gCResourceIndex*);

    FT_Face m_pFace = nullptr;
    CMemBlockT<unsigned char> m_FontData;
    int32_t m_nPixelHeight = -1;
    float m_rPointHeight = -1.0f;
    float m_rAspect = 1.0f;
    gCDictionary<CKerning*> m_aKerning;

    static inline FT_Library m_pFontManager = nullptr;
};

// The font pool's index among the application's resource pools.
inline constexpr int32_t kFontPool = 5;
