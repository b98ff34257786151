#include "platform/FontEngine.h"

namespace {

// Constant-initialised, so that the application object's static
// construction may use them before any other initialisation has run.
constinit SFontEngine s_Engine{};
constinit bool s_fRegistered = false;
constinit bool s_fWanted = false;
constinit bool s_fRunning = false;

void Run() {
    if (s_Engine.initializeManager) {
        (void)s_Engine.initializeManager();
    }
    if (s_Engine.buildGammaLUT) {
        s_Engine.buildGammaLUT(1.0f);
    }
    s_fRunning = true;
}

} // namespace

void gRegisterFontEngine(const SFontEngine& engine) {
    if (s_fRunning) {
        gStopFontEngine();
        s_fWanted = true;
    }
    s_Engine = engine;
    s_fRegistered = engine.initializeManager || engine.shutDownManager || engine.buildGammaLUT;
    if (s_fRegistered && s_fWanted) {
        Run();
    }
}

void gStartFontEngine() {
    s_fWanted = true;
    if (s_fRegistered && !s_fRunning) {
        Run();
    }
}

void gStopFontEngine() {
    s_fWanted = false;
    if (!s_fRunning) {
        return;
    }
    s_fRunning = false;
    if (s_Engine.shutDownManager) {
        s_Engine.shutDownManager();
    }
}

int32_t gFontEngineRunning() {
    return s_fRunning ? 1 : 0;
}
