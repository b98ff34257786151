#pragma once
// A canvas that records what reaches it and answers as a test scripts:
// every ProcessData call, Initialise and the eraser it was handed. Ids it
// answers 0 go on to the real canvas when m_fPassOn is set.

#include "imaging/CRegion.h"
#include "paint/canvas/Canvas.h"
#include "testsupport/paint/SpyCall.h"

class CSpyCanvas : public CCanvas {
public:
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override {
        if (const int32_t r = m_Log.Record(id, sender, value, set)) {
            return r;
        }
        return m_fPassOn ? CCanvas::ProcessData(id, sender, value, set) : 0;
    }
    error Initialise() override {
        ++m_nInitialiseCalls;
        return m_eInitialise != eNoError ? m_eInitialise : CCanvas::Initialise();
    }
    void SetEraserPointer(CPaintTool* eraser) override {
        ++m_nEraserCalls;
        CCanvas::SetEraserPointer(eraser);
    }
    error ClearCanvas() override {
        ++m_nClearCalls;
        return CCanvas::ClearCanvas();
    }

    // What an undo or redo had shown: the region's bounds, or the whole
    // canvas for none.
    void ShowUndoArea(const CRegion* region) override {
        ++m_nShowUndoCalls;
        m_ShownUndoBounds = region ? region->GetBounds() : gCRect(0, 0, Width(), Height());
        CCanvas::ShowUndoArea(region);
    }

    CSpyLog m_Log;
    int32_t m_fPassOn = 0;
    error m_eInitialise = eNoError;
    int32_t m_nInitialiseCalls = 0;
    int32_t m_nEraserCalls = 0;
    int32_t m_nClearCalls = 0;
    int32_t m_nShowUndoCalls = 0;
    gCRect m_ShownUndoBounds;
};
