// The tracing image: loaded from each picture format round the chain, kept
// when a file gives no picture, owned exactly once when the chain fails,
// and never deleted when it belongs to a resource pool.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FileIO/gCFRef.h"
#include "foundation/MessageIds.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/ImageIO.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/foundation/RecordingModule.h"
#include "testsupport/paint/SpyBackbone.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/ImWidget.h"

namespace {

using Words = std::vector<uint32_t>;
using Log = std::vector<std::string>;

Words WordsOf(const CImage* image) {
    CImNav v(const_cast<CImage*>(image));
    Words out;
    for (int32_t y = 0; y < v.GetHeight(); ++y) {
        out.insert(out.end(), v.Row(y), v.Row(y) + v.GetWidth());
    }
    return out;
}

// An opaque picture of distinct pixels.
void Picture(CImage& image, int32_t w, int32_t h, uint32_t seed) {
    ASSERT_EQ(image.Create(w, h), eNoError);
    CImNav v(&image);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            v.Row(y)[x] =
                0xFF000000u | (seed * 0x10101u + uint32_t(x) * 0x050301u + uint32_t(y) * 0x030907u);
        }
    }
}

// The whole client area as the 200 x 100 root logs it, with and without
// the redraw.
const std::string kDirty = "dirty 0,0,150,100";

// A registered backbone whose 150 x 110 project shows through an image
// widget, and the volume "HD" for picture files.
class CanvasTracing : public TempVolume {
protected:
    void SetUp() override {
        TempVolume::SetUp();
        gCCmdTarget::SetBackboneModule(&backbone);
        gCCmdTarget::SetUIModule(&ui);
        ASSERT_EQ(backbone.ProcessData(eCmdInitBackbone, &ui, 0, 1), 0);
        canvas = backbone.Canvas();
        ASSERT_NE(canvas, nullptr);
        widget = AddPlaced<CImWidget>(root, gCRect(0, 0, 150, 110));
        ASSERT_NE(widget, nullptr);
        ASSERT_NO_FATAL_FAILURE(NewProject(""));
        ASSERT_EQ(backbone.ProcessData(eCmdSetupCanvasWidget, &ui, ChannelValueOf(widget), 1), 0);
    }
    void TearDown() override {
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
        TempVolume::TearDown();
    }

    void NewProject(const char* tracingPath) {
        CProjectInfo info;
        info.m_nWidth = 150;
        info.m_nHeight = 110;
        info.m_TracingPath = S(tracingPath);
        ASSERT_EQ(backbone.ProcessData(eCmdNewProject, &ui, ChannelValueOf(&info), 1), 0);
    }
    void Write(const std::string& name, CImage& picture, uint32_t type) {
        gCFRef ref(S(("HD:" + name).c_str()));
        ASSERT_EQ(gCImageIO::WriteImage(ref, picture, type), eNoError);
    }
    int32_t LoadTracing(const std::string& name) {
        gCFRef ref(S(("HD:" + name).c_str()));
        return backbone.ProcessData(eCmdLoadTracing, &ui, ChannelValueOf(&ref), 1);
    }
    int32_t Modified() {
        int32_t modified = -1;
        EXPECT_EQ(backbone.ProcessData(eCmdModified, &ui, ChannelValueOf(&modified), 0), 0);
        return modified;
    }
    void ClearModified() {
        int32_t zero = 0;
        ASSERT_EQ(backbone.ProcessData(eCmdModified, &ui, ChannelValueOf(&zero), 1), 0);
    }
    // The tracing images the interface was told of.
    std::vector<int64_t> ToldTracing() const {
        std::vector<int64_t> values;
        for (const auto& c : ui.m_Calls) {
            if (c.id == eCmdTracingImage) {
                values.push_back(c.value);
            }
        }
        return values;
    }

    CFakeAppServices app;
    CRecordingModule ui;
    CRecordingRoot root{200, 100};
    CSMKBackbone backbone;
    CCanvas* canvas = nullptr;
    CImWidget* widget = nullptr;
};

TEST_F(CanvasTracing, EachPictureFormatBecomesTheTracingImage) {
    CImage picture;
    Picture(picture, 12, 9, 3);
    struct SFormat {
        const char* name;
        uint32_t type;
        bool exact; // JPEG is lossy: only its size is known
    };
    for (const SFormat& f :
         {SFormat{"trace.png", gCImageIO::kPNG, true}, SFormat{"trace.bmp", gCImageIO::kBMP, true},
          SFormat{"trace.jpg", gCImageIO::kJPEG, false}}) {
        SCOPED_TRACE(f.name);
        Write(f.name, picture, f.type);
        canvas->SetTracingDisplay(0);
        ClearModified();
        ui.m_Calls.clear();
        root.m_aLog.clear();

        ASSERT_EQ(LoadTracing(f.name), 0);
        const CImage* tracing = canvas->TracingImage();
        ASSERT_NE(tracing, nullptr);
        EXPECT_EQ(tracing->GetWidth(), 12);
        EXPECT_EQ(tracing->GetHeight(), 9);
        if (f.exact) {
            EXPECT_EQ(WordsOf(tracing), WordsOf(&picture));
        }
        EXPECT_EQ(canvas->TracingDisplay(), 1);
        EXPECT_EQ(Modified(), 1);
        EXPECT_EQ(ToldTracing(), std::vector<int64_t>{ChannelValueOf(tracing)});
        // The hand-over redraws; the load then marks the widget once more.
        EXPECT_EQ(root.m_aLog, (Log{kDirty, "redraw", kDirty}));
    }
}

TEST_F(CanvasTracing, FilesWithoutAPictureKeepThePreviousOne) {
    CImage picture;
    Picture(picture, 12, 9, 4);
    Write("trace.png", picture, gCImageIO::kPNG);
    ASSERT_EQ(LoadTracing("trace.png"), 0);
    const CImage* previous = canvas->TracingImage();
    const Words previousWords = WordsOf(previous);

    // A PNG cut after its header, and a text file.
    std::ifstream in(Posix("trace.png"), std::ios::binary);
    const std::string png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    MakeFile("cut.png", png.substr(0, 40));
    MakeFile("notes.txt", "not a picture");
    for (const char* name : {"cut.png", "notes.txt", "missing.png"}) {
        SCOPED_TRACE(name);
        ClearModified();
        ui.m_Calls.clear();
        EXPECT_EQ(LoadTracing(name), eFileReadWriteError);
        EXPECT_EQ(canvas->TracingImage(), previous);
        EXPECT_EQ(WordsOf(canvas->TracingImage()), previousWords);
        EXPECT_EQ(Modified(), 0);
        EXPECT_TRUE(ToldTracing().empty());
    }
}

TEST_F(CanvasTracing, AChainErrorAfterTheHandOverLeavesTheImageWithTheCanvas) {
    // The canvas takes the image, then the interface refuses: the canvas
    // keeps it (deleting it too would leave the canvas a freed image).
    CImage picture;
    Picture(picture, 7, 5, 5);
    Write("trace.png", picture, gCImageIO::kPNG);
    canvas->SetTracingDisplay(0);
    ui.m_nResult = eCreateFailed;
    EXPECT_EQ(LoadTracing("trace.png"), eCreateFailed);
    ui.m_nResult = 0;
    ASSERT_NE(canvas->TracingImage(), nullptr);
    EXPECT_EQ(WordsOf(canvas->TracingImage()), WordsOf(&picture));
    EXPECT_EQ(canvas->TracingDisplay(), 0) << "a failed load does not turn the display on";
    // Replacing it frees it once.
    ASSERT_EQ(backbone.ProcessData(eCmdClearTracing, &ui, 0, 1), 0);
    EXPECT_EQ(canvas->TracingImage(), nullptr);
}

TEST_F(CanvasTracing, AChainErrorBeforeTheHandOverDropsTheNewImage) {
    CImage picture;
    Picture(picture, 7, 5, 6);
    Write("trace.png", picture, gCImageIO::kPNG);
    gCFRef ref(S("HD:trace.png"));

    // The backbone's canvas refuses the image before it takes it.
    CSpyBackbone spy;
    gCCmdTarget::SetBackboneModule(&spy);
    ASSERT_EQ(spy.ProcessData(eCmdInitBackbone, &ui, 0, 1), 0);
    CSpyCanvas* spyCanvas = spy.m_pSpyCanvas;
    ASSERT_NE(spyCanvas, nullptr);
    auto previous = std::make_unique<CImage>(3, 3);
    const CImage* held = previous.get();
    spyCanvas->SetTracingImage(std::move(previous));
    spyCanvas->m_Log.m_Answers[eCmdTracingImage] = eFileCloseError;
    EXPECT_EQ(spyCanvas->LoadCloneSource(&ref), eFileCloseError);
    EXPECT_EQ(spyCanvas->TracingImage(), held);
    EXPECT_EQ(spyCanvas->m_Log.Count(eCmdTracingImage), 1);

    // A canvas that is not the backbone's takes the image itself.
    CCanvas other;
    EXPECT_EQ(other.LoadCloneSource(&ref), eNoError);
    ASSERT_NE(other.TracingImage(), nullptr);
    EXPECT_EQ(WordsOf(other.TracingImage()), WordsOf(&picture));
    EXPECT_EQ(spyCanvas->m_Log.Count(eCmdTracingImage), 1);
    gCCmdTarget::SetBackboneModule(&backbone);
}

TEST_F(CanvasTracing, APooledImageIsNeverDeleted) {
    // The pool's image outlives every canvas that shows it; ASan reports any
    // delete of it.
    CImage shared(8, 8);
    shared.SetPooled(1);
    auto show = [&] {
        ASSERT_EQ(backbone.ProcessData(eCmdTracingImage, &ui, ChannelValueOf(&shared), 1), 0);
        ASSERT_EQ(canvas->TracingImage(), &shared);
    };

    show();
    root.m_aLog.clear();
    ASSERT_EQ(backbone.ProcessData(eCmdClearTracing, &ui, 0, 1), 0);
    EXPECT_EQ(canvas->TracingImage(), nullptr);
    EXPECT_EQ(root.m_aLog, (Log{kDirty, "redraw"}));

    show();
    root.m_aLog.clear();
    canvas->RemoveCloneSource(0);
    EXPECT_EQ(canvas->TracingImage(), nullptr);
    EXPECT_EQ(root.m_aLog, Log{kDirty}) << "marked, not redrawn";

    show();
    ASSERT_NO_FATAL_FAILURE(NewProject("")); // a project without a tracing path
    EXPECT_EQ(canvas->TracingImage(), nullptr);

    {
        CCanvas other;
        ASSERT_EQ(other.CloneSourceChanged(&shared), eNoError);
    }
    EXPECT_TRUE(shared.IsValid());
}

TEST_F(CanvasTracing, ANewProjectLoadsItsTracingPath) {
    CImage picture;
    Picture(picture, 20, 10, 8);
    Write("trace.png", picture, gCImageIO::kPNG);
    canvas->SetTracingDisplay(0);
    ASSERT_NO_FATAL_FAILURE(NewProject("HD:trace.png"));
    ASSERT_NE(canvas->TracingImage(), nullptr);
    EXPECT_EQ(WordsOf(canvas->TracingImage()), WordsOf(&picture));
    EXPECT_EQ(canvas->TracingDisplay(), 1);
}

} // namespace
