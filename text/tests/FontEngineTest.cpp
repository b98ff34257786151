// The text subsystem's font engine as the application object runs it: the
// manager and the gamma tables are ready once it starts, and closing it
// closes the manager.

#include <gtest/gtest.h>

#include "platform/FontEngine.h"
#include "text/Font.h"
#include "text/TextFontEngine.h"
#include "text/TextRenderer.h"

namespace {

TEST(TextFontEngine, StartsTheManagerAndTheGammaTablesAndClosesTheManager) {
    gCFont::ShutDownManager();
    CTextRenderer::BuildGammaLUT(2.0f);
    gRegisterFontEngine(gTextFontEngine());
    gStartFontEngine();
    EXPECT_NE(gCFont::Manager(), nullptr);
    EXPECT_EQ(CTextRenderer::m_nGammaLUT[128], 128) << "gamma 1.0";
    gStopFontEngine();
    EXPECT_EQ(gCFont::Manager(), nullptr);
    EXPECT_EQ(gFontEngineRunning(), 0);
}

} // namespace
