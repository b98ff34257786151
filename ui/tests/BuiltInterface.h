#pragma once
// The built interface resources for the ui tests: the resource file (also
// the font file) with its index, the string table, the text widgets
// registered and the font manager running, all through fake application
// services. The panels load their trees and texts from these as the
// program does.

#include <gtest/gtest.h>

#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "FileIO/gCStringTable.h"
#include "testsupport/FileIO/FakeResourceServices.h"
#include "testsupport/FileIO/IndexedFile.h"
#include "text/Font.h"
#include "text/TextRenderer.h"
#include "text/TxWidget.h"

class CBuiltInterface {
public:
    // Call from the fixture's SetUp (it asserts).
    void Open() {
        ASSERT_TRUE(OpenIndexed(DAUBLIN_RESOURCE_DIR "/system.vrf", m_File, m_Index));
        m_Services.m_pResFile = &m_File;
        m_Services.m_pResIndex = &m_Index;
        m_Services.m_pFontFile = &m_File;
        m_Services.m_pFontIndex = &m_Index;
        ASSERT_EQ(RegisterTextWidgets(), eNoError);
        ASSERT_EQ(gCFont::InitializeManager(), eNoError);
        m_fFonts = true;
        CTextRenderer::BuildGammaLUT(1.0f); // as the program starts the fonts
        gCFile strings;
        ASSERT_TRUE(OpenByPosixPath(DAUBLIN_RESOURCE_DIR "/system.vsf", strings));
        ASSERT_EQ(m_Strings.GetFromRes(&strings), eNoError);
        m_Services.m_pStringTable = &m_Strings;
    }
    ~CBuiltInterface() {
        // Every font goes before the manager closes.
        for (CResourcePool& pool : m_Services.m_aResourcePools) {
            pool.Empty();
        }
        if (m_fFonts) {
            gCFont::ShutDownManager();
        }
    }

    CFakeResourceServices m_Services;
    gCFile m_File;
    gCResourceIndex m_Index;
    gCStringTable m_Strings;

private:
    bool m_fFonts = false;
};
