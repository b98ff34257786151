#pragma once
// The font manager over the built resource file's font blocks, for the
// benchmarks that draw text.

#include "FileIO/VolumeTable.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "testsupport/FileIO/FakeResourceServices.h"
#include "text/Font.h"
#include "text/TextRenderer.h"

// The font manager over the built resource file while it lives.
class CFonts {
public:
    CFonts() {
        gCVolumeTable::Register(u"Built", DAUBLIN_RESOURCE_DIR);
        gCString path;
        (void)path.CopyString(u"Built:system.vrf"); // an empty path fails to open below
        gCFRef ref(path);
        m_fReady = m_File.Open(&ref, eAccessReadOnly) == eNoError &&
                   m_Index.SetupIndex(&m_File) == eNoError &&
                   gCFont::InitializeManager() == eNoError;
        m_Services.m_pFontFile = &m_File;
        m_Services.m_pFontIndex = &m_Index;
        CTextRenderer::BuildGammaLUT(1.0f);
    }
    ~CFonts() {
        for (CResourcePool& pool : m_Services.m_aResourcePools) {
            pool.Empty();
        }
        gCFont::ShutDownManager();
    }
    bool Ready() const { return m_fReady; }

private:
    CFakeResourceServices m_Services;
    gCFile m_File;
    gCResourceIndex m_Index;
    bool m_fReady = false;
};
