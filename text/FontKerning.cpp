// A font's own kerning pairs, kept sorted for binary search and scaled to
// the face's current size when asked for.

#include <new>

#include "text/Font.h"
#include "text/detail/FreeType.h"

int32_t gCFont::CompareKerning(CKerning* a, CKerning* b, void*) {
    if (a->m_nFirst != b->m_nFirst) {
        return a->m_nFirst > b->m_nFirst ? -1 : 1;
    }
    if (a->m_nSecond != b->m_nSecond) {
        return a->m_nSecond > b->m_nSecond ? -1 : 1;
    }
    return 0;
}

void gCFont::SetKerning(int32_t first, int32_t second, int32_t kerning) {
    CKerning key;
    key.m_nFirst = first;
    key.m_nSecond = second;
    const int32_t found = m_aKerning.GetIndexOfElement(&key);
    if (found >= 0) {
        m_aKerning[found]->m_nKerning = kerning;
        return;
    }
    std::unique_ptr<CKerning> pair(new (std::nothrow) CKerning(key));
    if (!pair) {
        return;
    }
    pair->m_nKerning = kerning;
    // A pair that cannot be stored is dropped: the font then spaces that
    // pair by the face's own kerning.
    if (m_aKerning.AddKey(pair.get()) == eNoError) {
        (void)pair.release(); // the dictionary holds it now
    }
}

error gCFont::GetCustomKerning(int32_t first, int32_t second, int32_t& kerning) {
    return GetCustomKerning(m_pFace, first, second, kerning);
}

error gCFont::GetCustomKerning(FT_Face face, int32_t first, int32_t second, int32_t& kerning) {
    if (m_aKerning.GetSize() == 0) {
        return eGenericFailure;
    }
    CKerning key;
    key.m_nFirst = first;
    key.m_nSecond = second;
    const int32_t found = m_aKerning.GetIndexOfElement(&key);
    if (found < 0 || !face || !face->size) {
        return eGenericFailure;
    }
    const FT_Long scaled = FT_MulFix(m_aKerning[found]->m_nKerning, face->size->metrics.x_scale);
    kerning = int32_t((scaled + 32) & ~FT_Long(63));
    return eNoError;
}
