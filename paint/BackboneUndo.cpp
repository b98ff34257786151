// The backbone's side of undo: the ring's protect calls, and one step undone
// or redone with the restored tiles relit and shown.

#include <cstdint>

#include "imaging/CRegion.h"
#include "imaging/ImNav.h"
#include "paint/Backbone.h"
#include "paint/canvas/Canvas.h"
#include "paint/relight/Renderer.h"

error CSMKBackbone::ProtectArea(gCRect& rect, CImNav* l0, CImNav* l1, CImNav* l2, CImNav* l3) {
    return m_UndoManager.ProtectArea(rect, l0, l1, l2, l3);
}

error CSMKBackbone::SizeUndoRing(int32_t width, int32_t height) {
    const int64_t pixels = width > 0 && height > 0 ? int64_t(width) * height : 0;
    if (pixels * 24 > INT32_MAX) {
        return eOutOfMemory;
    }
    return m_UndoManager.Initialise(int32_t(pixels * 24), width, height);
}

error CSMKBackbone::DoUndoRedo(int32_t undo) {
    if (undo ? !m_UndoManager.CanUndo() : !m_UndoManager.CanRedo()) {
        return eNoError;
    }
    if (!m_pCanvas || !m_pRenderer || !m_pCanvas->CanvasWidget() || !m_pCanvas->Composite()) {
        return eNoError;
    }
    CImNav* views[4];
    for (int32_t i = 0; i < 4; ++i) {
        views[i] = m_pCanvas->LayerView(i);
        if (!views[i] || !views[i]->IsLocked()) {
            return eNoError;
        }
    }
    CRegion region;
    const error step = undo ? m_UndoManager.DoUndo(region, views[0], views[1], views[2], views[3])
                            : m_UndoManager.DoRedo(region, views[0], views[1], views[2], views[3]);
    if (step == eOutOfMemory) {
        // The tiles moved but the region could not list them all: the
        // whole canvas is relit and shown.
        m_pCanvas->ResetInvLut();
        const error e = m_pRenderer->Render(m_pCanvas->Composite(), *m_pCanvas, 1);
        m_pCanvas->ShowUndoArea(nullptr);
        return e;
    }
    if (step != eNoError || region.IsEmpty()) {
        return step;
    }
    // The relight is a pure function of the layers, so every restored tile
    // is marked and relit in one pass.
    m_pCanvas->ResetInvLut();
    for (const gCRect& r : region.GetRects()) {
        m_pCanvas->InvalidateSpans(r);
    }
    const error e = m_pRenderer->Render(m_pCanvas->Composite(), *m_pCanvas, 0);
    m_pCanvas->ResetInvLut();
    m_pCanvas->ShowUndoArea(&region);
    return e;
}
