#pragma once
// The font engine as the application object starts and stops it. The text
// subsystem registers its engine; the application object asks for it to run
// from its construction to its destruction. An engine registered after the
// application object exists (the application object is built before the
// program can register anything) starts at its registration.

#include <cstdint>

#include "foundation/Error.h"

struct SFontEngine {
    // Starts the shared engine; 0 also when it runs already.
    error (*initializeManager)() = nullptr;
    void (*shutDownManager)() = nullptr;
    // Builds the text renderer's gamma tables for a gamma.
    void (*buildGammaLUT)(float gamma) = nullptr;
};

// Registers the text subsystem's engine; null entries are skipped. Starts
// it at once when it is wanted already. An engine whose entries are all null
// is none: it takes the registered one away (shut down if it ran), and
// nothing runs until another is registered.
void gRegisterFontEngine(const SFontEngine& engine);
// The engine is wanted: starts it (initialise, then gamma 1.0) when one is
// registered, or at its registration. The initialisation's result is not
// reported: without fonts the program still runs.
void gStartFontEngine();
// Shuts the engine down if it runs, and no longer wants it.
void gStopFontEngine();
// Whether the registered engine has been started and not shut down.
int32_t gFontEngineRunning();
