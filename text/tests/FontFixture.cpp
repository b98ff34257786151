#include "text/tests/FontFixture.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "FileIO/gCFRef.h"
#include "testsupport/FileIO/IndexedFile.h"
#include "text/TextTags.h"

bool CScriptedFontLookup::FindFullName(const std::string& fullName, SFontLocation& where) {
    ++m_nFindCalls;
    const auto found = m_Installed.find(fullName);
    if (found == m_Installed.end()) {
        return false;
    }
    where = found->second;
    return true;
}

bool CScriptedFontLookup::MatchFamily(const std::string& family, SFontLocation& where) {
    ++m_nMatchCalls;
    const auto found = m_Substitutes.find(family);
    if (found == m_Substitutes.end()) {
        return false;
    }
    where = found->second;
    return true;
}

void FontFixture::SetUp() {
    TempVolume::SetUp();
    ASSERT_EQ(gCFont::InitializeManager(), eNoError);
    CTextRenderer::BuildGammaLUT(1.0f);
    ASSERT_TRUE(OpenIndexed(DAUBLIN_RESOURCE_DIR "/system.vrf", m_FontFile, m_FontIndex));
    m_Services.m_pFontFile = &m_FontFile;
    m_Services.m_pFontIndex = &m_FontIndex;
    (void)CFontLookup::Install(&m_Lookup); // fontconfig's was in use
    m_Lookup.m_Substitutes["Helvetica"] = {WriteFontFile(kHelveticaStandIn, "Helvetica.ttf"), 0};
    m_Lookup.m_nMatchCalls = 0;
}

void FontFixture::TearDown() {
    // Every font goes before the manager closes.
    for (CResourcePool& pool : m_Services.m_aResourcePools) {
        pool.Empty();
    }
    (void)CFontLookup::Install(nullptr); // this fixture's own
    gCFont::ShutDownManager();
    TempVolume::TearDown();
}

std::string FontFixture::WriteFontFile(const std::string& blockName, const std::string& relative) {
    gCResourceObject finder(kResFontTag);
    int32_t size = 0;
    EXPECT_EQ(m_FontFile.Rewind(), eNoError);
    EXPECT_EQ(finder.FindBlock(kResFontTag, S(blockName.c_str()), &m_FontFile), eNoError);
    EXPECT_EQ(finder.ReadPayloadCount(&m_FontFile, size, 1), eNoError);
    std::vector<char> bytes(size_t(size > 0 ? size : 0));
    EXPECT_EQ(m_FontFile.ReadBlock(bytes.data(), size), eNoError);
    MakeFile(relative, std::string(bytes.begin(), bytes.end()));
    return Posix(relative);
}

CTextRenderer FontFixture::Renderer(const char* family, int32_t pixels) {
    CTextRenderer renderer;
    renderer.m_sFontName = S(family);
    renderer.m_nPixelHeight = pixels;
    return renderer;
}
