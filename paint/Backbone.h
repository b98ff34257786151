#pragma once
// The document module: owns the canvas, the renderer and the paint tools and
// the current project's description, holds the state the interface shares
// (paint colour, modified flag, auto-clean, current tool) and answers the
// data channel. Every id it is given goes, after its own handling, to the
// canvas, the renderer, the current tool and, for a set, the UI module; the
// first non-zero result ends the chain.

#include <cstdint>
#include <memory>

#include "foundation/Error.h"
#include "foundation/gCArray.h"
#include "foundation/gCCmdTarget.h"
#include "imaging/Pixel.h"
#include "paint/ProjectInfo.h"
#include "paint/UndoManager.h"

class CCanvas;
class CImNav;
class CPaintTool;
class CRenderer;
class CTabletSource;

// Makes one tool class; null when it cannot be made.
using CPaintToolCreator = CPaintTool* (*)();

class CSMKBackbone : public gCCmdTarget {
public:
    // Tool ids 0..8; the tools' own library fills the creators.
    static constexpr int32_t kToolCount = 9;

    CSMKBackbone();
    ~CSMKBackbone() override;
    CSMKBackbone(const CSMKBackbone&) = delete;
    CSMKBackbone& operator=(const CSMKBackbone&) = delete;

    // The registered backbone module when it is a backbone, else null.
    static CSMKBackbone* Registered();

    // The creator of a tool id; an id outside 0..8 is ignored, and null
    // removes the creator.
    static void SetToolCreator(int32_t id, CPaintToolCreator creator);
    static CPaintToolCreator ToolCreator(int32_t id);

    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override;

    // Tablet, canvas, start-up tools and the standard renderer; 0 or the
    // error that was shown.
    virtual error InitBackbone();
    virtual CRenderer* CurrentRenderer() { return m_pRenderer.get(); }
    virtual CPaintTool* CurrentTool() { return m_pCurrentTool; }
    // The application's tablet service; null without one.
    virtual CTabletSource* TabletServices();
    virtual CPixel CurrentColour() { return m_CurrentColour; }
    // Stores the colour without any message (the brush preview's).
    virtual void SetColourForProxy(CPixel colour) { m_CurrentColour = colour; }
    // A tool of the id, set up and appended to the tool array; null for an
    // id outside 0..8, without a creator, or when its set-up fails (shown).
    virtual CPaintTool* CreateTool(int32_t id);
    // Makes the renderer of the id current: 0, 6 for -1, 23 when it cannot
    // be made, else the result of redrawing the canvas.
    virtual error SelectRenderer(int32_t id);
    // A set-up renderer of the id (only 0 exists); null otherwise.
    virtual CRenderer* CreateRenderer(int32_t id);
    // Makes the tool of the id current (ids outside 0..7 give 0), made on
    // first use: 0, or 23 when there is none.
    virtual error SelectTool(int32_t id);
    // The first tool of that type in the array, or null.
    virtual CPaintTool* GetTool(int32_t id);
    // The undo ring's record of a stroke, passed straight to the manager.
    virtual error ProtectArea(gCRect& rect, CImNav* l0, CImNav* l1, CImNav* l2, CImNav* l3);
    virtual void StartProtect(int32_t id) { m_UndoManager.StartProtect(id); }
    virtual void EndProtect() { m_UndoManager.EndProtect(); }
    // Undoes (1) or redoes (0) one step, relights the tiles it restored and
    // has the canvas show them; 0 when there is nothing to do.
    virtual error DoUndoRedo(int32_t undo);

    CCanvas* Canvas() const { return m_pCanvas.get(); }
    const CProjectInfo& ProjectInfo() const { return m_ProjectInfo; }
    int32_t Modified() const { return m_ProjectInfo.m_nModified; }
    int32_t AutoClean() const { return m_fAutoClean; }
    const gCArray<CPaintTool*>& Tools() const { return m_aTools; }
    CSMKUndoManager& UndoManager() { return m_UndoManager; }

protected:
    // The canvas InitBackbone makes; null when it cannot be made.
    virtual CCanvas* MakeCanvas();

private:
    // The chain: canvas, then the rest (renderer, current tool, the UI for
    // a set).
    int32_t PassDown(uint32_t id, const void* sender, int64_t value, int32_t set);
    int32_t PassBeyondCanvas(uint32_t id, const void* sender, int64_t value, int32_t set);
    int32_t NewProject(const void* sender, int64_t value, int32_t set);
    // The undo ring for a painting of that size: 24 bytes a pixel.
    error SizeUndoRing(int32_t width, int32_t height);
    int32_t LinearSize(uint32_t id, const void* sender, int64_t value, int32_t set);
    void MarkModified();
    void ClearModified();

    CPixel m_CurrentColour = 0xFF000000u;
    CProjectInfo m_ProjectInfo;
    int32_t m_fAutoClean = 0;
    std::unique_ptr<CRenderer> m_pRenderer;
    std::unique_ptr<CCanvas> m_pCanvas;
    CPaintTool* m_pCurrentTool = nullptr;
    gCArray<CPaintTool*> m_aTools;
    CSMKUndoManager m_UndoManager;
};
