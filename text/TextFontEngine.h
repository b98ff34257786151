#pragma once
// The text subsystem's font engine, for the application object to register
// (gRegisterFontEngine): the font manager's start and close and the gamma
// tables.

#include "platform/FontEngine.h"

SFontEngine gTextFontEngine();
