#include "text/TextFontEngine.h"

#include "text/Font.h"
#include "text/TextRenderer.h"

SFontEngine gTextFontEngine() {
    SFontEngine engine;
    engine.initializeManager = &gCFont::InitializeManager;
    engine.shutDownManager = &gCFont::ShutDownManager;
    engine.buildGammaLUT = &CTextRenderer::BuildGammaLUT;
    return engine;
}
