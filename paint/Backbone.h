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
#include "paint/MAPIManager.h"
#include "paint/PrintManager.h"
#include "paint/ToolId.h"
#include "paint/project/ProjectInfo.h"
#include "paint/undo/UndoManager.h"

class CCanvas;
struct CCanvasLayers;
class CImNav;
class gCFile;
namespace ptgfile {
struct SContents;
}
class CPaintTool;
class CRenderer;
class CTabletSource;

// Makes one tool class; null when it cannot be made.
using CPaintToolCreator = CPaintTool* (*)();

class CSMKBackbone : public gCCmdTarget {
public:
    CSMKBackbone();
    ~CSMKBackbone() override;
    CSMKBackbone(const CSMKBackbone&) = delete;
    CSMKBackbone& operator=(const CSMKBackbone&) = delete;

    // The registered backbone module when it is a backbone, else null.
    static CSMKBackbone* Registered();

    // The creator of a tool id (EToolId; the tools' own library fills
    // them); an id outside the table is ignored, and null removes the
    // creator.
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
    // id outside the table, without a creator, or when its set-up fails
    // (shown).
    virtual CPaintTool* CreateTool(int32_t id);
    // Makes the renderer of the id current: 0, eBadParameter for -1, eCreateFailed when it cannot
    // be made, else the result of redrawing the canvas.
    virtual error SelectRenderer(int32_t id);
    // A set-up renderer of the id (only 0 exists); null otherwise.
    virtual CRenderer* CreateRenderer(int32_t id);
    // Makes the tool SelectableTool(id) current, made on first use: 0, or
    // eCreateFailed when there is none.
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
    // Writes the composite to an image file the user picks (BMP, JPEG or
    // PNG): 0 also when the user cancels or there is nothing to export.
    // The file is whole and in place only when everything was written; a
    // failure leaves the file it was to replace as it was.
    error ExportImage();

    // --- The project file (ProjectWrite.cpp, ProjectRead.cpp,
    // ProjectLoad.cpp; the format is in ProjectFile.h).
    // Takes info's name and file as the project's, then writes the project
    // to that file as a whole new file: the previous file is replaced only
    // when everything was written (the rename is the last step), and stays
    // as it was on any failure. 0, eBadParameter without a valid file (no dialog is
    // shown), the open, encoding, write or close error.
    virtual error SaveProject(CProjectInfo* info);
    // Reads the file info names whole, checks it and decodes its images
    // aside; only then does the painting become the file's, with info's
    // name and file. On any failure before that the open painting, its
    // name, file, settings, tracing image, undo history and modified flag
    // stay as they were. 0, the open error, 1 when a header line cannot be
    // read, eInvalidFile for a file that is not a whole project, eOutOfMemory without memory, a
    // decoder's or a stream's error, or the first error of the chain while
    // the blocks are applied.
    virtual error LoadProject(CProjectInfo* info);
    // Reads one block whose id and length have been read, the file at its
    // payload, into contents: values are kept in file order, images
    // decoded. Nothing reaches the painting. Unknown ids are skipped (0).
    error ParseBlock(gCFile& file, uint32_t id, uint64_t length, ptgfile::SContents& contents);

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
    // Printing, page set-up and mail (BackbonePrint.cpp).
    int32_t PrintAndMail(uint32_t id, const void* sender, int64_t value, int32_t set);
    int32_t SendByMail(const void* sender, int64_t value, int32_t set);
    void MarkModified();
    void ClearModified();
    // The project file: the whole file read and checked into contents; the
    // blocks written; the checked contents applied.
    error ReadProject(gCFile& file, ptgfile::SContents& contents);
    error WriteProject(gCFile& file);
    error ApplyProject(ptgfile::SContents& contents, CProjectInfo& info);
    // The steps of ApplyProject: what can fail, made before anything
    // changes; one entry of the file applied (0 or the first failure); a
    // canvas setting or light of the file.
    struct SLoadedParts;
    error PrepareLoad(ptgfile::SContents& contents, CProjectInfo& info, SLoadedParts& parts);
    int32_t ApplyEntry(ptgfile::SContents& contents, int32_t index, SLoadedParts& parts);
    static void ApplyCanvasEntry(CCanvas& canvas, uint32_t id, uint32_t value);
    // The project block of a load: a new project of that size around the
    // file's layers (missing: bit i for a layer the file did not hold).
    int32_t StartLoadedProject(std::unique_ptr<CCanvasLayers> layers, uint32_t missing,
                               int32_t width, int32_t height);

    CPixel m_CurrentColour = 0xFF000000u;
    CProjectInfo m_ProjectInfo;
    int32_t m_fAutoClean = 0;
    std::unique_ptr<CRenderer> m_pRenderer;
    std::unique_ptr<CCanvas> m_pCanvas;
    CPaintTool* m_pCurrentTool = nullptr;
    gCArray<CPaintTool*> m_aTools;
    // Destroyed mail first, then undo, then print.
    CSMKPrintManager m_PrintManager;
    CSMKUndoManager m_UndoManager;
    CSMKMAPIManager m_MailManager;
};
