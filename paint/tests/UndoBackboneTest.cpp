// Undo and redo through the backbone: the ring sized for every project,
// the canvas's protect calls, clearing as one step, and the relight of the
// restored tiles.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <type_traits>
#include <vector>

#include "foundation/MessageIds.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"
#include "paint/relight/Renderer.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/foundation/RecordingModule.h"
#include "testsupport/paint/SpyBackbone.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/ImWidget.h"

namespace {

constexpr int32_t kW = 150, kH = 110; // not multiples of 16

using Words = std::vector<uint32_t>;

Words Copy(const CImage* image) {
    CImNav v(const_cast<CImage*>(image));
    const uint32_t* d = reinterpret_cast<const uint32_t*>(v.GetData());
    return Words(d, d + size_t(v.GetWidth()) * size_t(v.GetHeight()));
}

// A backbone with a real canvas and renderer, registered, with a project.
template <class Backbone> class UndoBackbone : public ::testing::Test {
protected:
    void SetUp() override {
        gCCmdTarget::SetBackboneModule(&backbone);
        gCCmdTarget::SetUIModule(&ui);
        if constexpr (std::is_same_v<Backbone, CSpyBackbone>) {
            backbone.m_fCanvasPassesOn = 1; // the real canvas makes the projects
        }
        ASSERT_EQ(backbone.ProcessData(eCmdInitBackbone, &ui, 0, 1), 0);
        ASSERT_EQ(NewProject(kW, kH), 0);
        canvas = backbone.Canvas();
        ASSERT_NE(canvas, nullptr);
        // Undo shows what it restored through the canvas widget.
        CWidget* widget = AddPlaced<CImWidget>(root, gCRect(0, 0, kW, kH));
        ASSERT_NE(widget, nullptr);
        ASSERT_EQ(canvas->AttachCanvasWidget(widget), eNoError);
    }
    void TearDown() override {
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
    }
    int32_t NewProject(int32_t w, int32_t h) {
        CProjectInfo info;
        info.m_nWidth = w;
        info.m_nHeight = h;
        info.m_nCanvasSetting = 0xFFFFFFFAu;
        return backbone.ProcessData(eCmdNewProject, &ui, ChannelValueOf(&info), 1);
    }
    int32_t Send(uint32_t id) { return backbone.ProcessData(id, &ui, 0, 1); }

    uint32_t* Layer(int32_t i) {
        return reinterpret_cast<uint32_t*>(canvas->LayerView(i)->GetData());
    }
    void Scribble(uint32_t seed) {
        std::mt19937 rng(seed);
        for (int32_t i = 0; i < 4; ++i) {
            for (size_t k = 0; k < size_t(kW) * kH; ++k) {
                Layer(i)[k] = rng();
            }
        }
    }
    Words Layers() {
        Words all;
        for (int32_t i = 0; i < 4; ++i) {
            const Words w = Copy(canvas->Layer(i));
            all.insert(all.end(), w.begin(), w.end());
        }
        return all;
    }
    // The composite a whole relight of the layers gives.
    Words WholeRelight() {
        CImage target(kW, kH);
        EXPECT_EQ(backbone.CurrentRenderer()->Render(&target, *canvas, 1), eNoError);
        return Copy(&target);
    }

    CFakeAppServices app;
    CRecordingModule ui;
    CRecordingRoot root{200, 100};
    Backbone backbone;
    CCanvas* canvas = nullptr;
};

using UndoThroughBackbone = UndoBackbone<CSMKBackbone>;
using UndoThroughSpyCanvas = UndoBackbone<CSpyBackbone>;

TEST_F(UndoThroughBackbone, ClearCanvasIsUndoneAndRedoneInOneStep) {
    Scribble(1);
    const Words painted = Layers();
    ASSERT_EQ(Send(eCmdClearCanvas), 0);
    const Words cleared = Layers();
    ASSERT_NE(cleared, painted);
    ASSERT_EQ(Send(eCmdUndo), 0);
    EXPECT_EQ(Layers(), painted);
    EXPECT_EQ(Copy(canvas->Composite()), WholeRelight());
    EXPECT_FALSE(backbone.UndoManager().CanUndo()); // one step
    ASSERT_EQ(Send(eCmdRedo), 0);
    EXPECT_EQ(Layers(), cleared);
    EXPECT_EQ(Copy(canvas->Composite()), WholeRelight());
    EXPECT_EQ(canvas->FirstInvalidRow(), 0x7FFFFFFF); // the spans are left clean
}

TEST_F(UndoThroughBackbone, UndoRelightsExactlyTheRestoredTiles) {
    Scribble(2);
    const Words painted = Layers();
    const gCRect rects[] = {gCRect(20, 30, 45, 50), gCRect(140, 100, 170, 130)};
    canvas->StartProtect();
    std::mt19937 rng(3);
    for (gCRect r : rects) {
        ASSERT_EQ(canvas->ProtectArea(r), eNoError);
        for (int32_t y = r.top; y < std::min(kH, r.bottom); ++y) {
            for (int32_t x = r.left; x < std::min(kW, r.right); ++x) {
                Layer(int32_t(rng() % 4))[size_t(y) * kW + size_t(x)] = rng();
            }
        }
    }
    canvas->EndProtect();
    // A marker everywhere shows which composite pixels the undo relit.
    constexpr uint32_t kMarker = 0x12345678u;
    CImNav(canvas->Composite()).Fill(kMarker);
    ASSERT_EQ(Send(eCmdUndo), 0);
    ASSERT_EQ(Layers(), painted);
    const Words relit = WholeRelight();
    const Words composite = Copy(canvas->Composite());
    int32_t mismatches = 0;
    for (int32_t y = 0; y < kH; ++y) {
        for (int32_t x = 0; x < kW; ++x) {
            bool restored = false;
            for (const gCRect& r : rects) {
                restored |= x >= (r.left & ~15) && x < ((r.right + 15) & ~15) &&
                            y >= (r.top & ~15) && y < ((r.bottom + 15) & ~15);
            }
            const size_t i = size_t(y) * kW + size_t(x);
            mismatches += composite[i] != (restored ? relit[i] : kMarker);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(UndoThroughBackbone, UndoAndRedoMarkModifiedWithNothingToDo) {
    ASSERT_EQ(backbone.Modified(), 0);
    ASSERT_EQ(Send(eCmdUndo), 0);
    EXPECT_EQ(backbone.Modified(), 1);
    int32_t zero = 0;
    ASSERT_EQ(backbone.ProcessData(eCmdModified, &ui, ChannelValueOf(&zero), 1), 0);
    ASSERT_EQ(Send(eCmdRedo), 0);
    EXPECT_EQ(backbone.Modified(), 1);
}

TEST_F(UndoThroughBackbone, NewProjectSizesTheRingAndEmptiesTheHistory) {
    EXPECT_EQ(backbone.UndoManager().RingSize(), kW * kH * 24);
    ASSERT_EQ(Send(eCmdClearCanvas), 0);
    ASSERT_TRUE(backbone.UndoManager().CanUndo());
    ASSERT_EQ(NewProject(200, 120), 0);
    EXPECT_EQ(backbone.UndoManager().RingSize(), 200 * 120 * 24);
    EXPECT_EQ(backbone.UndoManager().TileColumns(), 13);
    EXPECT_FALSE(backbone.UndoManager().CanUndo());
}

// Refuses every block above 64 MB.
void* SmallAlloc(size_t size) {
    return size > (size_t(64) << 20) ? nullptr : gCMemory::MallocProc(size);
}
void* SmallRealloc(void* p, size_t size) {
    return size > (size_t(64) << 20) ? nullptr : gCMemory::ReallocProc(p, size);
}

TEST_F(UndoThroughBackbone, RingRefusedKeepsHistoryAndProject) {
    Scribble(4);
    const Words painted = Layers();
    ASSERT_EQ(Send(eCmdClearCanvas), 0);
    gCMemory::m_pAllocProc = &SmallAlloc;
    gCMemory::m_pReallocProc = &SmallRealloc;
    const int32_t r = NewProject(5000, 5000);
    gCMemory::ResetProcs();
    EXPECT_EQ(r, eOutOfMemory);
    EXPECT_EQ(backbone.ProjectInfo().m_nWidth, kW);
    EXPECT_EQ(canvas->Width(), kW);
    EXPECT_EQ(backbone.UndoManager().RingSize(), kW * kH * 24);
    ASSERT_EQ(Send(eCmdUndo), 0);
    EXPECT_EQ(Layers(), painted);
}

TEST_F(UndoThroughSpyCanvas, CanvasRefusingTheProjectGetsItsRingBack) {
    ASSERT_EQ(Send(eCmdClearCanvas), 0);
    backbone.m_pSpyCanvas->m_Log.m_Answers[eCmdNewProject] = eCreateFailed;
    EXPECT_EQ(NewProject(300, 200), eCreateFailed);
    EXPECT_EQ(backbone.UndoManager().RingSize(), kW * kH * 24);
    EXPECT_EQ(backbone.UndoManager().TileColumns(), (kW + 15) / 16);
    EXPECT_FALSE(backbone.UndoManager().CanUndo());
}

TEST_F(UndoThroughSpyCanvas, UndoShowsTheRestoredTilesOnce) {
    canvas->StartProtect();
    gCRect r(40, 20, 50, 40);
    ASSERT_EQ(canvas->ProtectArea(r), eNoError);
    canvas->EndProtect();
    ASSERT_EQ(Send(eCmdUndo), 0);
    EXPECT_EQ(backbone.m_pSpyCanvas->m_nShowUndoCalls, 1);
    EXPECT_EQ(backbone.m_pSpyCanvas->m_ShownUndoBounds, gCRect(32, 16, 64, 48));
    ASSERT_EQ(Send(eCmdUndo), 0); // nothing left: nothing shown
    EXPECT_EQ(backbone.m_pSpyCanvas->m_nShowUndoCalls, 1);
}

} // namespace
