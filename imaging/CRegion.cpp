#include "imaging/CRegion.h"

#include <algorithm>

namespace {

// Below this many rectangles a plain walk is cheaper than the index.
constexpr int32_t kIndexFrom = 64;

bool Contains(const gCRect& outer, const gCRect& inner) {
    return outer.left <= inner.left && inner.right <= outer.right && outer.top <= inner.top &&
           inner.bottom <= outer.bottom;
}

// Empties a scratch list; a size of 0 is never refused.
template <typename T> void Empty(gCArray<T>& list) {
    (void)list.SetSize(0);
}

} // namespace

CRegion::CRegion() {
    Reset();
}

CRegion::~CRegion() = default;

void CRegion::Reset() {
    m_rBounds = gCRect(0, 0, 0, 0);
    m_aRects.RemoveAll();
    m_aKeys.RemoveAll();
    m_nNextKey = 0;
    DropIndex();
    m_fBoundsExact = true;
    m_aHits.RemoveAll();
    m_aDoomed.RemoveAll();
    m_aPieces.RemoveAll();
}

void CRegion::DropIndex() {
    m_index.Clear();
    m_fIndexed = false;
}

void CRegion::UseIndexIfLarge() {
    if (m_fIndexed || m_aRects.GetSize() < kIndexFrom) {
        return;
    }
    for (int32_t i = 0; i < m_aRects.GetSize(); ++i) {
        if (!m_index.Insert(m_aKeys[i], m_aRects[i])) {
            // Out of memory: carry on with plain walks.
            m_index.Clear();
            return;
        }
    }
    m_fIndexed = true;
}

error CRegion::Append(const gCRect& r) {
    if (AddDoubling(m_aRects, r) != eNoError) {
        return eOutOfMemory;
    }
    if (AddDoubling(m_aKeys, m_nNextKey) != eNoError) {
        m_aRects.RemoveAt(m_aRects.GetSize() - 1);
        return eOutOfMemory;
    }
    const int64_t key = m_nNextKey++;
    if (!m_fIndexed) {
        UseIndexIfLarge();
    } else if (!m_index.Insert(key, r)) {
        DropIndex();
    }
    return eNoError;
}

int32_t CRegion::PositionOf(int64_t key) const {
    const int64_t* first = m_aKeys.begin();
    return int32_t(std::lower_bound(first, m_aKeys.end(), key) - first);
}

void CRegion::Replace(int64_t key, const gCRect& r) {
    const int32_t i = PositionOf(key);
    if (m_fIndexed) {
        m_index.Remove(key, m_aRects[i]);
        if (!m_index.Insert(key, r)) {
            DropIndex();
        }
    }
    m_aRects[i] = r;
}

void CRegion::DeleteDoomed() {
    const int32_t doomed = m_aDoomed.GetSize();
    if (doomed == 0) {
        return;
    }
    // One pass from the first doomed rectangle closes all the gaps.
    const int32_t n = m_aRects.GetSize();
    int32_t d = 0;
    int32_t w = PositionOf(m_aDoomed[0]);
    for (int32_t i = w; i < n; ++i) {
        if (d < doomed && m_aKeys[i] == m_aDoomed[d]) {
            if (m_fIndexed) {
                m_index.Remove(m_aKeys[i], m_aRects[i]);
            }
            ++d;
            continue;
        }
        m_aRects[w] = m_aRects[i];
        m_aKeys[w] = m_aKeys[i];
        ++w;
    }
    // Dropping from the end keeps the capacity, as single deletions would.
    while (m_aRects.GetSize() > w) {
        m_aRects.RemoveAt(m_aRects.GetSize() - 1);
        m_aKeys.RemoveAt(m_aKeys.GetSize() - 1);
    }
    Empty(m_aDoomed);
}

error CRegion::Overlapping(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    Empty(m_aHits);
    if (m_fIndexed) {
        if (!m_index.Query(left, top, right, bottom, m_aHits)) {
            return eOutOfMemory;
        }
        std::sort(m_aHits.begin(), m_aHits.end(),
                  [](const Hit& a, const Hit& b) { return a.key < b.key; });
        return eNoError;
    }
    for (int32_t i = 0; i < m_aRects.GetSize(); ++i) {
        const gCRect& s = m_aRects[i];
        if (s.left < right && s.right > left && s.top < bottom && s.bottom > top &&
            m_aHits.Add(Hit{m_aKeys[i], s}) != eNoError) {
            return eOutOfMemory;
        }
    }
    return eNoError;
}

// A stored rectangle that no piece of r overlaps leaves every piece as it is,
// so only the stored rectangles overlapping r take part, in stored order; the
// result is the same as walking the whole list.
error CRegion::AddRect(const gCRect& r) {
    if (r.IsEmpty()) {
        return eNoError;
    }
    if (IsEmpty()) {
        m_rBounds = r;
        const error e = Append(r);
        m_fBoundsExact = e == eNoError;
        return e;
    }
    m_rBounds.left = std::min(m_rBounds.left, r.left);
    m_rBounds.top = std::min(m_rBounds.top, r.top);
    m_rBounds.right = std::max(m_rBounds.right, r.right);
    m_rBounds.bottom = std::max(m_rBounds.bottom, r.bottom);

    // Whatever fails from here on leaves less stored than the bounds hold.
    const bool wasExact = m_fBoundsExact;
    m_fBoundsExact = false;
    if (Overlapping(r.left, r.top, r.right, r.bottom) != eNoError) {
        return eOutOfMemory;
    }
    Empty(m_aDoomed);
    int32_t kept = 0;
    for (const Hit& h : m_aHits) {
        if (Contains(h.rect, r)) {
            m_fBoundsExact = wasExact;
            return eNoError;
        }
        if (Contains(r, h.rect)) {
            if (m_aDoomed.Add(h.key) != eNoError) {
                return eOutOfMemory;
            }
        } else {
            m_aHits[kept++] = h;
        }
    }
    DeleteDoomed();
    if (kept == 0) {
        const error e = Append(r);
        m_fBoundsExact = wasExact && e == eNoError;
        return e;
    }

    Empty(m_aPieces);
    if (m_aPieces.Add(r) != eNoError) {
        return eOutOfMemory;
    }
    for (int32_t h = 0; h < kept && m_aPieces.GetSize() > 0; ++h) {
        const gCRect s = m_aHits[h].rect;
        int32_t n = m_aPieces.GetSize();
        for (int32_t j = 0; j < n; ++j) {
            const gCRect p = m_aPieces[j];
            if (Contains(s, p)) {
                m_aPieces.RemoveAt(j);
                --j;
                --n;
                continue;
            }
            gCRect out[4];
            const int32_t k = gCRect::Difference(p, s, out);
            m_aPieces[j] = out[0];
            for (int32_t m = 1; m < k; ++m) {
                if (m_aPieces.Add(out[m]) != eNoError) {
                    m_aPieces.RemoveAll();
                    return eOutOfMemory;
                }
            }
        }
    }
    for (const gCRect& p : m_aPieces) {
        if (Append(p) != eNoError) {
            m_aPieces.RemoveAll();
            return eOutOfMemory;
        }
    }
    Empty(m_aPieces);
    m_fBoundsExact = wasExact;
    return eNoError;
}

error CRegion::RemoveRect(const gCRect& r) {
    if (r.IsEmpty() || IsEmpty()) {
        return eNoError;
    }
    // One pixel wider on every side: rectangles sharing only an edge with r
    // meet it too.
    if (Overlapping(int64_t(r.left) - 1, int64_t(r.top) - 1, int64_t(r.right) + 1,
                    int64_t(r.bottom) + 1) != eNoError) {
        return eOutOfMemory;
    }
    Empty(m_aDoomed);
    int32_t kept = 0;
    for (const Hit& h : m_aHits) {
        if (Contains(r, h.rect)) {
            if (m_aDoomed.Add(h.key) != eNoError) {
                return eOutOfMemory;
            }
        } else {
            m_aHits[kept++] = h;
        }
    }
    const bool deleted = m_aDoomed.GetSize() > 0;
    DeleteDoomed();
    if (kept == 0 && !deleted) {
        return eNoError;
    }
    for (int32_t h = 0; h < kept; ++h) {
        const Hit hit = m_aHits[h];
        gCRect out[4];
        const int32_t k = gCRect::Difference(hit.rect, r, out);
        if (k == 1 && out[0] == hit.rect) {
            continue; // shares only an edge with r
        }
        Replace(hit.key, out[0]);
        for (int32_t m = 1; m < k; ++m) {
            if (Append(out[m]) != eNoError) {
                m_fBoundsExact = false;
                return eOutOfMemory;
            }
        }
    }
    // What is left of the area still reaches every side of the old bounds
    // that r stays clear of.
    const gCRect& b = m_rBounds;
    if (!m_fBoundsExact || r.left <= b.left || r.right >= b.right || r.top <= b.top ||
        r.bottom >= b.bottom) {
        RecalcBounds();
    }
    return eNoError;
}

void CRegion::RecalcBounds() {
    m_fBoundsExact = true;
    const int32_t n = m_aRects.GetSize();
    if (n == 0) {
        m_rBounds = gCRect(0, 0, 0, 0);
        return;
    }
    gCRect b = m_aRects[0];
    for (int32_t i = 1; i < n; ++i) {
        const gCRect& s = m_aRects[i];
        b.left = std::min(b.left, s.left);
        b.top = std::min(b.top, s.top);
        b.right = std::max(b.right, s.right);
        b.bottom = std::max(b.bottom, s.bottom);
    }
    m_rBounds = b;
}
