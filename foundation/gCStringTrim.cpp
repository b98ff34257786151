// Trimming the leading and trailing runs of a unit or of a set of units.
#include "foundation/StringUnits.h"
#include "foundation/gCString.h"

namespace {

// Trims s at the chosen ends of the units for which remove(unit) holds.
template <typename Remove> void TrimEnds(gCString& s, bool left, bool right, Remove remove) {
    const char16_t* p = s.GetBuffer();
    const int32_t length = s.GetLength();
    if (!p || length <= 0) {
        return;
    }
    int32_t n = 0; // leading units to remove
    if (left) {
        while (n < length && remove(p[n])) {
            ++n;
        }
    }
    int32_t k = length - 1; // the last unit kept
    if (right) {
        while (k >= n && remove(p[k])) {
            --k;
        }
    }
    s.Mid(n, k + 1 - n);
}

void TrimUnit(gCString& s, uint32_t unit, bool left, bool right) {
    TrimEnds(s, left, right, [unit](char16_t u) { return u == unit; });
}

void TrimSet(gCString& s, const gCString& set, bool left, bool right) {
    const std::u16string_view units = TextOf(set);
    if (units.empty()) {
        return;
    }
    if (&set == &s) {
        // The set must not change while the string is trimmed.
        const gCString copy(set);
        TrimSet(s, copy, left, right);
        return;
    }
    TrimEnds(s, left, right, [units](char16_t u) { return InSet(u, units); });
}

} // namespace

void gCString::Trim(uint32_t unit) {
    TrimUnit(*this, unit, true, true);
}
void gCString::TrimLeft(uint32_t unit) {
    TrimUnit(*this, unit, true, false);
}
void gCString::TrimRight(uint32_t unit) {
    TrimUnit(*this, unit, false, true);
}
void gCString::Trim(const gCString& set) {
    TrimSet(*this, set, true, true);
}
void gCString::TrimLeft(const gCString& set) {
    TrimSet(*this, set, true, false);
}
void gCString::TrimRight(const gCString& set) {
    TrimSet(*this, set, false, true);
}

gCString gCString::GetTrim(uint32_t unit) const {
    return EditedCopy(*this, [&](gCString& copy) { copy.Trim(unit); });
}
gCString gCString::GetTrimLeft(uint32_t unit) const {
    return EditedCopy(*this, [&](gCString& copy) { copy.TrimLeft(unit); });
}
gCString gCString::GetTrimRight(uint32_t unit) const {
    return EditedCopy(*this, [&](gCString& copy) { copy.TrimRight(unit); });
}
gCString gCString::GetTrim(const gCString& set) const {
    return EditedCopy(*this, [&](gCString& copy) { copy.Trim(set); });
}
gCString gCString::GetTrimLeft(const gCString& set) const {
    return EditedCopy(*this, [&](gCString& copy) { copy.TrimLeft(set); });
}
gCString gCString::GetTrimRight(const gCString& set) const {
    return EditedCopy(*this, [&](gCString& copy) { copy.TrimRight(set); });
}
