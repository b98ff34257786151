// The installed fonts through fontconfig: a full name is looked for in the
// list of fonts (a match would always answer and hide a missing style);
// only the family substitution asks for a match.

#include <fontconfig/fontconfig.h>

#include <memory>
#include <string>
#include <tuple>

#include "text/FontLookup.h"

namespace {

struct PatternFree {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct ObjectSetFree {
    void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
struct FontSetFree {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
struct ConfigFree {
    void operator()(FcConfig* c) const { FcConfigDestroy(c); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternFree>;
using ObjectSetPtr = std::unique_ptr<FcObjectSet, ObjectSetFree>;
using FontSetPtr = std::unique_ptr<FcFontSet, FontSetFree>;
using ConfigPtr = std::unique_ptr<FcConfig, ConfigFree>;

const FcChar8* Chars(const std::string& s) {
    return reinterpret_cast<const FcChar8*>(s.c_str());
}

// The file and index a listed or matched font names; false without a file.
bool LocationOf(FcPattern* font, SFontLocation& where) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch || !file) {
        return false;
    }
    int index = 0;
    if (FcPatternGetInteger(font, FC_INDEX, 0, &index) != FcResultMatch) {
        index = 0;
    }
    where.path = reinterpret_cast<const char*>(file);
    where.index = int32_t(index);
    return true;
}

// Whether one of the font's full names (a font may carry several, one per
// language) is exactly the name: fontconfig's own comparison ignores case.
bool HasFullName(FcPattern* font, const std::string& fullName) {
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(font, FC_FULLNAME, i, &name) == FcResultMatch; ++i) {
        if (name && fullName == reinterpret_cast<const char*>(name)) {
            return true;
        }
    }
    return false;
}

class CFontconfigLookup final : public CFontLookup {
public:
    bool FindFullName(const std::string& fullName, SFontLocation& where) override {
        FcConfig* config = Config();
        PatternPtr pattern(FcPatternCreate());
        ObjectSetPtr objects(FcObjectSetBuild(FC_FILE, FC_INDEX, FC_FULLNAME, nullptr));
        if (!config || !pattern || !objects ||
            !FcPatternAddString(pattern.get(), FC_FULLNAME, Chars(fullName))) {
            return false;
        }
        FontSetPtr fonts(FcFontList(config, pattern.get(), objects.get()));
        if (!fonts) {
            return false;
        }
        bool found = false;
        for (int i = 0; i < fonts->nfont; ++i) {
            SFontLocation candidate;
            if (!HasFullName(fonts->fonts[i], fullName) ||
                !LocationOf(fonts->fonts[i], candidate)) {
                continue;
            }
            // The list's order is the cache's; the first by path and index
            // is the same on every run.
            if (!found ||
                std::tie(candidate.path, candidate.index) < std::tie(where.path, where.index)) {
                where = candidate;
                found = true;
            }
        }
        return found;
    }

    bool MatchFamily(const std::string& family, SFontLocation& where) override {
        FcConfig* config = Config();
        PatternPtr pattern(FcPatternCreate());
        if (!config || !pattern || !FcPatternAddString(pattern.get(), FC_FAMILY, Chars(family)) ||
            !FcConfigSubstitute(config, pattern.get(), FcMatchPattern)) {
            return false;
        }
        FcDefaultSubstitute(pattern.get());
        FcResult result = FcResultNoMatch;
        PatternPtr font(FcFontMatch(config, pattern.get(), &result));
        return font && result == FcResultMatch && LocationOf(font.get(), where);
    }

private:
    // The configuration and font list of our own, read at the first look-up
    // and freed with the lookup (fontconfig's implicit default is never
    // freed); null when it cannot be read.
    FcConfig* Config() {
        if (!m_pConfig && !m_fTried) {
            m_fTried = true;
            m_pConfig.reset(FcInitLoadConfigAndFonts());
        }
        return m_pConfig.get();
    }

    ConfigPtr m_pConfig;
    bool m_fTried = false;
};

} // namespace

CFontLookup& FontconfigLookup() {
    static CFontconfigLookup lookup;
    return lookup;
}
