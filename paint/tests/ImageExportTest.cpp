// Export: the composite written in the format the user picks, nothing
// written when the user cancels, the modified flag left alone, and the file
// that was there kept whole whenever the export fails.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCStringTable.h"
#include "foundation/ErrorReport.h"
#include "foundation/Input.h"
#include "foundation/gCMemory.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/ImageIO.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"
#include "testsupport/FileIO/ScriptedDialog.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/ChildProcess.h"
#include "testsupport/foundation/FailingMemory.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/foundation/RecordingModule.h"
#include "testsupport/paint/StartedDocument.h"

namespace {

using Words = std::vector<uint32_t>;

Words WordsOf(CImage* image) {
    CImNav v(image);
    Words out;
    for (int32_t y = 0; y < v.GetHeight(); ++y) {
        out.insert(out.end(), v.Row(y), v.Row(y) + v.GetWidth());
    }
    return out;
}

// Counts how often the tablet is set up again.
class CCountingTablet : public CTabletSource {
public:
    int32_t GetPoint(CTabletPoint&) override { return 1; }
    int32_t ButtonDown() override { return 0; }
    void FlushQueue() override {}
    error SetupServices(int32_t) override {
        ++m_nSetups;
        return eNoError;
    }
    int32_t m_nSetups = 0;
};

constexpr uint32_t kExportTypeText = 0xB2D05E41;
const char* const kOldFile = "the painting exported before";

// A registered backbone with a 150 x 110 project whose composite holds
// seeded noise, a scripted save dialog and the volume "HD".
class ImageExport : public TempVolume {
protected:
    void SetUp() override {
        TempVolume::SetUp();
        ASSERT_EQ(table.AddEntry(kExportTypeText, S("BMP, JPEG or PNG only."), gCString()),
                  eNoError);
        app.m_pStringTable = &table;
        app.m_pTablet = &tablet;
        StartDocument(backbone, ui, 150, 110);
        if (HasFatalFailure()) {
            return;
        }
        std::mt19937 rng(11);
        CImNav v(backbone.Canvas()->Composite());
        for (int32_t y = 0; y < v.GetHeight(); ++y) {
            for (int32_t x = 0; x < v.GetWidth(); ++x) {
                v.Row(y)[x] = 0xFF000000u | (rng() & 0xFFFFFFu);
            }
        }
        tablet.m_nSetups = 0;
    }
    void TearDown() override {
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
        TempVolume::TearDown();
    }

    int32_t Export() { return backbone.ProcessData(eCmdExportImage, &ui, 0, 1); }
    void Choose(const std::string& name) { dialog.answers.push_back({eNoError, Posix(name)}); }
    void SetModified(int32_t modified) {
        ASSERT_EQ(backbone.ProcessData(eCmdModified, &ui, ChannelValueOf(&modified), 1), 0);
    }
    std::string Contents(const std::string& name) {
        std::ifstream in(Posix(name), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    // An earlier export the next one must replace, or keep when it fails.
    void OldFile(const std::string& name) {
        MakeFile(name, kOldFile);
        dialog.confirmations.push_back(eNoError); // replace it
    }

    gCStringTable table;
    CCountingTablet tablet;
    CFakeAppServices app;
    CRecordingModule ui;
    CSMKBackbone backbone;
    CScriptedDialog dialog;
};

TEST_F(ImageExport, EachFormatHoldsTheComposite) {
    struct SFormat {
        const char* name;
        uint32_t type;
        bool exact; // JPEG is lossy: its size is what is known
        int32_t modified;
    };
    for (const SFormat& f : {SFormat{"out.png", gCImageIO::kPNG, true, 0},
                             SFormat{"out.bmp", gCImageIO::kBMP, true, 1},
                             SFormat{"out.jpg", gCImageIO::kJPEG, false, 0}}) {
        SCOPED_TRACE(f.name);
        SetModified(f.modified);
        tablet.m_nSetups = 0;
        dialog.requests.clear();
        Choose(f.name);
        ASSERT_EQ(Export(), 0);

        // The save dialog offered the three image formats.
        ASSERT_EQ(dialog.requests.size(), 1u);
        const auto& filters = dialog.requests[0].filters;
        ASSERT_GE(filters.size(), 3u);
        EXPECT_EQ(filters[0].name, "BMP Image (*.bmp)");
        EXPECT_EQ(filters[1].name, "JPEG Image (*.jpg)");
        EXPECT_EQ(filters[2].name, "PNG Image (*.png)");

        gCFRef ref(S(("HD:" + std::string(f.name)).c_str()));
        gCFile file;
        ASSERT_EQ(file.Open(&ref, eAccessReadOnly), eNoError);
        EXPECT_EQ(gCImageIO::GetImageType(file), f.type);
        CImage read;
        ASSERT_EQ(gCImageIO::ReadImage(ref, read), eNoError);
        CImage* composite = backbone.Canvas()->Composite();
        EXPECT_EQ(read.GetWidth(), 150);
        EXPECT_EQ(read.GetHeight(), 110);
        if (f.exact) {
            EXPECT_EQ(WordsOf(&read), WordsOf(composite));
        }
        EXPECT_EQ(backbone.Modified(), f.modified);
        EXPECT_EQ(tablet.m_nSetups, 1) << "the tablet is set up again after the dialog";
    }
    EXPECT_EQ(FolderEntries(), 3) << "no temporary file left";
}

TEST_F(ImageExport, CancelOrNoPictureWritesNothing) {
    SetModified(1);
    dialog.answers.push_back({eHandled, ""});
    EXPECT_EQ(Export(), 0);
    EXPECT_EQ(tablet.m_nSetups, 1);
    EXPECT_EQ(FolderEntries(), 0);
    EXPECT_EQ(backbone.Modified(), 1);

    // A dialog that cannot be shown is the export's failure.
    dialog.answers.push_back({eCreateFailed, ""});
    EXPECT_EQ(Export(), eCreateFailed);
    EXPECT_EQ(tablet.m_nSetups, 2);

    // A backbone without a project has nothing to export and asks nothing.
    dialog.requests.clear();
    CSMKBackbone bare;
    EXPECT_EQ(bare.ExportImage(), eNoError);
    EXPECT_TRUE(dialog.requests.empty());
    EXPECT_TRUE(app.m_Alerts.empty());
}

TEST_F(ImageExport, AFailedWriteKeepsTheOldFile) {
    // The disk fills up part-way through the PNG.
    OldFile("out.png");
    Choose("out.png");
    const SChildEnd end = RunInChild([this] { return Export(); }, SChildLimits().FileBytes(4096));
    EXPECT_EQ(end, ChildExited(eFileReadWriteError));
    EXPECT_EQ(Contents("out.png"), kOldFile);
    EXPECT_EQ(FolderEntries(), 1) << "no temporary file left";
}

TEST_F(ImageExport, AnEncoderWithoutMemoryKeepsTheOldFile) {
    // The encoder fails with nothing wrong in the file: what it wrote so far
    // must not take the old file's place.
    OldFile("out.png");
    Choose("out.png");
    SetModified(1);
    {
        CRefuseLargeBlocks refuse(16384);
        // The PNG writer reports every failure of the library as 15.
        EXPECT_EQ(Export(), eFileReadWriteError);
    }
    EXPECT_EQ(Contents("out.png"), kOldFile);
    EXPECT_EQ(FolderEntries(), 1) << "no temporary file left";
    EXPECT_EQ(backbone.Modified(), 1);
}

} // namespace
