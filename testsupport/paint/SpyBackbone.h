#pragma once
// A backbone whose canvas and renderer are spies: the canvas through the
// backbone's canvas factory, the renderer through CreateRenderer (id 0
// only, as the real one). Either can be refused, to test the start-up's
// failures.

#include "paint/Backbone.h"
#include "testsupport/paint/SpyCanvas.h"
#include "testsupport/paint/SpyRenderer.h"

class CSpyBackbone : public CSMKBackbone {
public:
    CRenderer* CreateRenderer(int32_t id) override;

    // The canvas and renderer made last (owned by the backbone).
    CSpyCanvas* m_pSpyCanvas = nullptr;
    CSpyRenderer* m_pSpyRenderer = nullptr;
    int32_t m_fRefuseCanvas = 0;
    int32_t m_fRefuseRenderer = 0;
    // Whether the canvas passes ids it answers 0 on to the real canvas.
    int32_t m_fCanvasPassesOn = 0;
    int32_t m_nRenderersMade = 0;

protected:
    CCanvas* MakeCanvas() override;
};
