#pragma once
// The effects part of the widgets demo comes with its widget blocks (see
// widgets-demo.yaml); only the texture, which no widget block takes, is
// added in code: a Screen texture of the sun's own picture on
// "DemoSunTextured", which then looks lighter than its plain twin
// "DemoSunPlain".

#include "foundation/Error.h"

class CWidget;

error AttachDemoEffects(CWidget& backdrop);
