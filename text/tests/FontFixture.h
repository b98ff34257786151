#pragma once
// The text tests' world: a running font manager, identity gamma tables, the
// built resource file as the application's font file (its font blocks are
// the Debian DejaVu files), the font pool of a fake application, and a
// scripted lookup of installed fonts in place of fontconfig. The lookup's
// "Helvetica" is a copy of the "DejaVu Sans Mono" block, so no test sees
// the host's own fonts.

#include <map>
#include <string>

#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "testsupport/FileIO/FakeResourceServices.h"
#include "testsupport/FileIO/TempVolume.h"
#include "text/Font.h"
#include "text/FontLookup.h"
#include "text/TextRenderer.h"

class CScriptedFontLookup : public CFontLookup {
public:
    bool FindFullName(const std::string& fullName, SFontLocation& where) override;
    bool MatchFamily(const std::string& family, SFontLocation& where) override;

    std::map<std::string, SFontLocation> m_Installed;   // by full name
    std::map<std::string, SFontLocation> m_Substitutes; // by family
    int32_t m_nFindCalls = 0;
    int32_t m_nMatchCalls = 0;
};

class FontFixture : public TempVolume {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the bytes of the font block of that name as a file under the
    // temporary volume; its POSIX path.
    std::string WriteFontFile(const std::string& blockName, const std::string& relative);
    // The pooled fonts.
    CResourcePool& FontPool() { return m_Services.m_aResourcePools[kFontPool]; }
    // A renderer of that family at a pixel size.
    static CTextRenderer Renderer(const char* family, int32_t pixels);

    CFakeResourceServices m_Services;
    gCFile m_FontFile;
    gCResourceIndex m_FontIndex;
    CScriptedFontLookup m_Lookup;
};

// The family that stands in for "Helvetica" in these tests.
inline constexpr const char* kHelveticaStandIn = "DejaVu Sans Mono";
