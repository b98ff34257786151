#include "ui/tests/BuiltResourcesTest.h"

#include "testsupport/FileIO/IndexedFile.h"
#include "testsupport/FileIO/TempVolume.h"
#include "text/Font.h"
#include "text/TextRenderer.h"
#include "text/TxWidget.h"
#include "ui/SMKBackdrop.h"

BuiltResourcesTest::~BuiltResourcesTest() {
    // Every pooled font goes before the manager closes.
    for (CResourcePool& pool : m_Services.m_aResourcePools) {
        pool.Empty();
    }
    gCFont::ShutDownManager();
}

void BuiltResourcesTest::SetUp() {
    ASSERT_EQ(gCFont::InitializeManager(), eNoError);
    CTextRenderer::BuildGammaLUT(1.0f);
    ASSERT_EQ(RegisterTextWidgets(), eNoError);
    ASSERT_TRUE(OpenIndexed(DAUBLIN_RESOURCE_DIR "/system.vrf", m_File, m_Index));
    m_Services.m_pResFile = &m_File;
    m_Services.m_pResIndex = &m_Index;
    m_Services.m_pFontFile = &m_File;
    m_Services.m_pFontIndex = &m_Index;
}

void BuiltResourcesTest::StartBackdrop(CSMKBackdrop& backdrop, gCCmdTarget& backbone) {
    ASSERT_EQ(backdrop.GetFromRes(S("Daublin"), &m_File, nullptr), eNoError);
    ASSERT_EQ(backdrop.SetSize(1024, 768, 0), eNoError);
    gCCmdTarget::SetBackboneModule(&backbone);
    ASSERT_EQ(backdrop.SetupInterface(), eNoError);
}
