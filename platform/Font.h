#pragma once
// The font engine's start and end, as the application object calls them.
// The smallest form of the text subsystem's font class; the text subsystem
// replaces it.

#include "foundation/Error.h"

class gCFont {
public:
    // Starts the shared font engine; 0 also when it runs already.
    static error InitializeManager() { return eNoError; }
    static void ShutDownManager() {}
};
