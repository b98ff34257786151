// The project file through the backbone: a painting saved and loaded back
// bit for bit, damaged files refused with the open painting untouched, and
// failed saves that leave the previous file as it was.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>
#include <zlib.h>

#include "FileIO/gCFRef.h"
#include "FileIO/gCMemFile.h"
#include "foundation/Error.h"
#include "foundation/MessageIds.h"
#include "foundation/gCMemory.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/PngIO.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/PaintTool.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectFile.h"
#include "paint/project/ProjectInfo.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/ChildProcess.h"
#include "testsupport/foundation/FailingMemory.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/foundation/RecordingModule.h"
#include "testsupport/paint/SpyTool.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/ImWidget.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Words = std::vector<uint32_t>;

// Odd sizes, so that no row or tile lines up.
constexpr int32_t kW = 131, kH = 107;

Words WordsOf(const CImage* image) {
    if (!image) {
        return {};
    }
    CImNav v(const_cast<CImage*>(image));
    const uint32_t* d = reinterpret_cast<const uint32_t*>(v.GetData());
    return Words(d, d + size_t(v.GetWidth()) * size_t(v.GetHeight()));
}

void Fill(CImage& image, uint32_t seed) {
    std::mt19937 rng(seed);
    CImNav v(&image);
    uint32_t* d = reinterpret_cast<uint32_t*>(v.GetData());
    const size_t n = size_t(v.GetWidth()) * size_t(v.GetHeight());
    for (size_t i = 0; i < n; ++i) {
        d[i] = rng();
        if (i % 7 == 0) {
            d[i] &= 0x00FFFFFFu; // transparent, colour bits kept
        }
    }
}

uint32_t Get32(const Bytes& b, size_t at) {
    return uint32_t(b[at]) | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) |
           (uint32_t(b[at + 3]) << 24);
}
void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
    }
}
void Put64(Bytes& b, size_t at, int64_t v) {
    for (int i = 0; i < 8; ++i) {
        b[at + size_t(i)] = uint8_t(uint64_t(v) >> (8 * i));
    }
}
void PutBE32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + size_t(i)] = uint8_t(v >> (24 - 8 * i));
    }
}

// A block of a file: where its header starts and how long its payload is.
struct SBlock {
    uint32_t id;
    size_t at;
    size_t length;
    size_t Payload() const { return at + 12; }
    size_t End() const { return at + 12 + length; }
};

// The size of the header lines and version of a file the backbone wrote.
size_t HeadBytes() {
    return (std::char_traits<char16_t>::length(ptgfile::kHeaderText) + 2 +
            std::char_traits<char16_t>::length(ptgfile::kAppName) + 2) *
               2 +
           4;
}

std::vector<SBlock> BlocksOf(const Bytes& file) {
    std::vector<SBlock> blocks;
    for (size_t at = HeadBytes(); at + 12 <= file.size();) {
        const uint64_t length =
            uint64_t(Get32(file, at + 4)) | (uint64_t(Get32(file, at + 8)) << 32);
        blocks.push_back({Get32(file, at), at, size_t(length)});
        at += 12 + size_t(length);
    }
    return blocks;
}

SBlock Find(const Bytes& file, uint32_t id) {
    for (const SBlock& b : BlocksOf(file)) {
        if (b.id == id) {
            return b;
        }
    }
    ADD_FAILURE() << "no block " << std::hex << id;
    return {0, 0, 0};
}

Bytes Block(uint32_t id, const Bytes& payload) {
    Bytes b(12 + payload.size());
    Put32(b, 0, id);
    Put64(b, 4, int64_t(payload.size()));
    std::copy(payload.begin(), payload.end(), b.begin() + 12);
    return b;
}

Bytes FourBytes(uint32_t value) {
    Bytes b(4);
    Put32(b, 0, value);
    return b;
}

// A project block's payload: name, zero unit, width, height.
Bytes ProjectPayload(const char* name, uint32_t width, uint32_t height) {
    Bytes b;
    for (const char* c = name; *c; ++c) {
        b.push_back(uint8_t(*c));
        b.push_back(0);
    }
    b.push_back(0);
    b.push_back(0);
    b.resize(b.size() + 8);
    Put32(b, b.size() - 8, width);
    Put32(b, b.size() - 4, height);
    return b;
}

// The header lines and version of a file, with line 2 as given.
Bytes Head(const char16_t* line2) {
    Bytes b;
    auto line = [&](const char16_t* text) {
        for (const char16_t* c = text; *c; ++c) {
            b.push_back(uint8_t(*c));
            b.push_back(uint8_t(*c >> 8));
        }
        for (char16_t c : {u'\n', u'\r'}) {
            b.push_back(uint8_t(c));
            b.push_back(0);
        }
    };
    line(ptgfile::kHeaderText);
    line(line2);
    b.resize(b.size() + 4);
    Put32(b, b.size() - 4, ptgfile::kVersion);
    return b;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

// A PNG of an image of that size, as the codec writes it.
Bytes Png(int32_t width, int32_t height, uint32_t seed) {
    CImage image(width, height);
    Fill(image, seed);
    gCMemFile out;
    EXPECT_EQ(gCPngIO().WriteImage(out, image), eNoError);
    const unsigned char* d = out.GetMemBlock()->GetData();
    return Bytes(d, d + out.GetSize());
}

// A PNG chunk: length, type, data and checksum.
Bytes Chunk(const char* type, const Bytes& data) {
    Bytes chunk(12 + data.size());
    PutBE32(chunk, 0, uint32_t(data.size()));
    std::memcpy(chunk.data() + 4, type, 4);
    std::copy(data.begin(), data.end(), chunk.begin() + 8);
    const uint32_t crc =
        uint32_t(crc32(crc32(0, nullptr, 0), chunk.data() + 4, uInt(4 + data.size())));
    PutBE32(chunk, 8 + data.size(), crc);
    return chunk;
}

// The signature and header chunk of a PNG.
constexpr size_t kPngHeadBytes = 33;

// A chunk inserted into a PNG right after its header chunk.
Bytes WithChunk(const Bytes& png, const char* type, const Bytes& data) {
    const Bytes head(png.begin(), png.begin() + long(kPngHeadBytes));
    const Bytes rest(png.begin() + long(kPngHeadBytes), png.end());
    return Cat({head, Chunk(type, data), rest});
}

// Everything a load replaces, and what a failed one must leave.
struct SState {
    Words layers[4];
    std::string name, file;
    Words tracing;
    int32_t tracingWidth = 0;
    int32_t modified = 0, width = 0, height = 0;
    uint32_t colour = 0;
    int32_t toolType = -1, toolSize = 0, strokeNum = 0;
    uint32_t paper = 0;
    float relief = 0, highlight = 0, environment = 0;
    int32_t display = 0, pick = 0, fit = 0;

    bool operator==(const SState&) const = default;
};

class ProjectFile : public TempVolume {
public:
    void SetUp() override {
        TempVolume::SetUp();
        RegisterSpyTools();
        gCCmdTarget::SetBackboneModule(&backbone);
        gCCmdTarget::SetUIModule(&ui);
        ASSERT_EQ(Set(eCmdInitBackbone, 0), 0);
        ASSERT_EQ(NewProject(kW, kH), 0);
        // Undo shows what it restored through the canvas widget.
        CWidget* widget = AddPlaced<CImWidget>(root, gCRect(0, 0, kW, kH));
        ASSERT_NE(widget, nullptr);
        ASSERT_EQ(Canvas()->AttachCanvasWidget(widget), eNoError);
    }
    void TearDown() override {
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
        ResetSpyTools();
        TempVolume::TearDown();
    }

    int32_t Set(uint32_t id, int64_t value) { return backbone.ProcessData(id, &ui, value, 1); }
    CCanvas* Canvas() { return backbone.Canvas(); }
    int32_t NewProject(int32_t w, int32_t h) {
        CProjectInfo info;
        info.m_nWidth = w;
        info.m_nHeight = h;
        (void)info.m_Name.CopyString(u"Fresh");
        return Set(eCmdNewProject, ChannelValueOf(&info));
    }
    // Saves or loads the file at the volume path under the name.
    int32_t Project(uint32_t id, const std::string& path, const char* name = "Still life") {
        CProjectInfo info;
        info.m_File = gCFRef(S(("HD:" + path).c_str()));
        info.m_Name = S(name);
        return Set(id, ChannelValueOf(&info));
    }
    int32_t Save(const std::string& path) { return Project(eCmdSaveProject, path); }
    int32_t Load(const std::string& path) { return Project(eCmdLoadProject, path); }

    Bytes Read(const std::string& path) {
        std::ifstream in(Posix(path), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    void Write(const std::string& path, const Bytes& bytes) {
        std::ofstream(Posix(path), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }

    // Every layer random, alpha 0 with colour bits in places; the settings
    // away from their defaults; a tool with a size and stroke number; a
    // tracing image when asked.
    void Paint(uint32_t seed, bool tracing, bool tool) {
        for (int32_t i = 0; i < 4; ++i) {
            Fill(*Canvas()->Layer(i), seed * 4 + uint32_t(i));
        }
        ASSERT_EQ(Set(eMsgPaintColour, 0x80C04020u + seed), 0);
        if (tool) {
            ASSERT_EQ(Set(eCmdSelectTool, eToolChalk), 0);
            ASSERT_EQ(backbone.CurrentTool()->SetToolSize(17 + int32_t(seed)), eNoError);
            backbone.CurrentTool()->SetStrokeNum(5 + int32_t(seed));
        } else {
            ASSERT_EQ(Set(eCmdNoTool, 0), 0);
        }
        Canvas()->SetPaperColour(0xFFE0D0C0u + seed);
        Canvas()->SetGrainRelief(0.75f);
        Canvas()->SetPaperHighlight(0.125f);
        Canvas()->SetPaperEnvironment(0.375f);
        ASSERT_EQ(Set(eCmdTracingMode, 0), 0);
        int32_t off = 0, fill = 2;
        ASSERT_EQ(Set(eCmdTracingSetting2, ChannelValueOf(&off)), 0);
        ASSERT_EQ(Set(eCmdTracingSetting3, ChannelValueOf(&fill)), 0);
        if (tracing) {
            auto image = std::make_unique<CImage>(37, 23);
            Fill(*image, seed + 99);
            ASSERT_EQ(Set(eCmdTracingImage, ChannelValueOf(image.get())), 0);
            ASSERT_EQ(Canvas()->TracingImage(), image.get());
            (void)image.release(); // the canvas owns it now
        } else {
            ASSERT_EQ(Set(eCmdClearTracing, 0), 0);
        }
    }

    SState State() {
        SState s;
        for (int32_t i = 0; i < 4; ++i) {
            s.layers[i] = WordsOf(Canvas()->Layer(i));
        }
        s.name = U(backbone.ProjectInfo().m_Name);
        s.file = U(backbone.ProjectInfo().m_File.FileReference());
        s.tracing = WordsOf(Canvas()->TracingImage());
        s.tracingWidth = Canvas()->TracingImage() ? Canvas()->TracingImage()->GetWidth() : 0;
        s.modified = backbone.Modified();
        s.width = backbone.ProjectInfo().m_nWidth;
        s.height = backbone.ProjectInfo().m_nHeight;
        s.colour = backbone.CurrentColour();
        if (CPaintTool* t = backbone.CurrentTool()) {
            s.toolType = t->Type();
            s.toolSize = t->ToolSize();
            s.strokeNum = t->StrokeNum();
        }
        s.paper = Canvas()->PaperColour();
        s.relief = Canvas()->GrainRelief();
        s.highlight = Canvas()->PaperHighlight();
        s.environment = Canvas()->PaperEnvironment();
        s.display = Canvas()->TracingDisplay();
        s.pick = Canvas()->TracingColourPick();
        s.fit = Canvas()->TracingFitMode();
        return s;
    }

    // Keeps a file for the checking tool's test (devtools/ptgtool), which
    // runs these tests with DAUBLIN_PTG_SAMPLES naming a folder: saved ones
    // must pass its check, damaged ones fail it with their reason.
    static void KeepSample(const std::string& name, const Bytes& bytes,
                           const std::string& reason = "") {
        const char* folder = std::getenv("DAUBLIN_PTG_SAMPLES");
        if (!folder || !*folder) {
            return;
        }
        const std::filesystem::path path(folder);
        std::filesystem::create_directories(path);
        std::ofstream(path / (name + ".ptg"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!reason.empty()) {
            std::ofstream(path / (name + ".reason")) << reason << "\n";
        }
    }

    CFakeAppServices app;
    CRecordingModule ui;
    CRecordingRoot root{200, 200};
    CSMKBackbone backbone;
};

struct SRoundTrip {
    bool tracing;
    bool tool;
};

class RoundTrip : public ProjectFile, public ::testing::WithParamInterface<SRoundTrip> {};

TEST_P(RoundTrip, LoadsBackBitForBitAndSavesTheSameBytes) {
    const SRoundTrip p = GetParam();
    Paint(1, p.tracing, p.tool);
    ASSERT_EQ(Set(eCmdMarkModified, 0), 0);
    ASSERT_EQ(Save("a.ptg"), 0);
    EXPECT_EQ(backbone.Modified(), 0);
    const SState saved = State();
    EXPECT_EQ(saved.name, "Still life");
    EXPECT_EQ(saved.file, "HD:a.ptg");

    // Another painting of another size, tool and settings in between.
    ASSERT_EQ(NewProject(150, 120), 0);
    Paint(2, !p.tracing, true);
    ASSERT_EQ(Set(eCmdSelectTool, eToolCrayon), 0);
    ASSERT_EQ(Set(eCmdMarkModified, 0), 0);
    ui.m_Calls.clear();

    ASSERT_EQ(Load("a.ptg"), 0);
    SState loaded = State();
    EXPECT_EQ(loaded.modified, 0);
    if (!p.tool) {
        // No tool blocks: the tool that was current stays, as it was.
        EXPECT_EQ(loaded.toolType, eToolCrayon);
        loaded.toolType = saved.toolType;
        loaded.toolSize = saved.toolSize;
        loaded.strokeNum = saved.strokeNum;
    }
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(loaded.layers[i] == saved.layers[i]) << "layer " << i;
    }
    EXPECT_TRUE(loaded == saved);
    EXPECT_EQ(backbone.UndoManager().CanUndo(), 0) << "a load starts a fresh history";
    // The interface heard of the new project and of the load.
    int32_t heard = 0;
    for (const auto& c : ui.m_Calls) {
        heard += c.id == eCmdNewProject || c.id == eCmdLoadProject ? 1 : 0;
    }
    EXPECT_EQ(heard, 2);

    if (!p.tool) {
        ASSERT_EQ(Set(eCmdNoTool, 0), 0);
    }
    ASSERT_EQ(Save("b.ptg"), 0);
    const Bytes a = Read("a.ptg"), b = Read("b.ptg");
    EXPECT_TRUE(a == b) << "save, load, save gives the same bytes";
    EXPECT_EQ(FolderEntries(), 2) << "no temporary stays";
    KeepSample(std::string("saved-") + (p.tracing ? "tracing" : "plain") +
                   (p.tool ? "-tool" : "-notool"),
               a);
}

INSTANTIATE_TEST_SUITE_P(ProjectFile, RoundTrip,
                         ::testing::Values(SRoundTrip{false, false}, SRoundTrip{false, true},
                                           SRoundTrip{true, false}, SRoundTrip{true, true}));

// The layers are decoded on worker threads: every count of them gives the
// same painting, and the first fault in file order is the one reported.
TEST_F(ProjectFile, AnyNumberOfDecodingThreadsGivesTheSameLoad) {
    Paint(6, true, true);
    ASSERT_EQ(Save("a.ptg"), 0);
    const SState saved = State();
    Bytes twoFaults = Read("a.ptg");
    const SBlock l1 = Find(twoFaults, eRecLayer1), l3 = Find(twoFaults, eRecLayer3);
    twoFaults[l1.End() - 20] ^= 0xFF; // image data of L1 and L3
    twoFaults[l3.End() - 20] ^= 0xFF;
    Put32(twoFaults, l3.Payload() + 16, 0); // L3's header width too: refused when read
    Write("faults.ptg", twoFaults);
    for (int32_t threads : {1, 2, 3, 8}) {
        SCOPED_TRACE(threads);
        ptgfile::ForceDecodeThreads(threads);
        ASSERT_EQ(NewProject(kW, kH), 0);
        {
            // The workers take libpng's blocks from the hooks at once.
            CLargestRequest watch;
            ASSERT_EQ(Load("a.ptg"), 0);
        }
        EXPECT_TRUE(State() == saved);
        // L1's data fault comes before L3's header, so it is the one given.
        EXPECT_EQ(Load("faults.ptg"), eFileReadWriteError);
        EXPECT_TRUE(State() == saved);
    }
    ptgfile::ForceDecodeThreads(0);
}

// The layers are encoded on worker threads: every count of them writes the
// same bytes, each layer block the one-thread encoder's PNG of the layer,
// at several sizes; a worker that runs out of memory fails the save and
// leaves the previous file.
TEST_F(ProjectFile, AnyNumberOfEncodingThreadsWritesTheSameBytes) {
    struct Size {
        int32_t w, h;
    };
    for (const Size size : {Size{kW, kH}, Size{1, 1}, Size{3, 211}, Size{301, 5}}) {
        SCOPED_TRACE(testing::Message() << size.w << "x" << size.h);
        ASSERT_EQ(NewProject(size.w, size.h), 0);
        Paint(uint32_t(size.w + size.h), true, true);
        Bytes first;
        for (int32_t threads : {1, 2, 3, 8}) {
            SCOPED_TRACE(threads);
            ptgfile::ForceEncodeThreads(threads);
            ASSERT_EQ(Save("a.ptg"), 0);
            const Bytes file = Read("a.ptg");
            if (first.empty()) {
                first = file;
                for (int32_t i = 0; i < 4; ++i) {
                    gCMemFile png;
                    ASSERT_EQ(
                        gCPngIO(ptgfile::LayerWriteOptions()).WriteImage(png, *Canvas()->Layer(i)),
                        eNoError);
                    const SBlock b = Find(file, eRecLayer0 + uint32_t(i));
                    const unsigned char* data = png.GetMemBlock()->GetData();
                    EXPECT_TRUE(
                        b.length == size_t(png.GetSize()) &&
                        std::equal(data, data + b.length, file.begin() + ptrdiff_t(b.Payload())))
                        << "layer " << i;
                }
            }
            EXPECT_TRUE(file == first);
        }
    }
    const Bytes previous = Read("a.ptg");
    ASSERT_EQ(NewProject(kW, kH), 0);
    Paint(3, false, true);
    for (int32_t threads : {1, 2, 3, 8}) {
        SCOPED_TRACE(threads);
        ptgfile::ForceEncodeThreads(threads);
        // Larger than the blocks written before the layers, smaller than a
        // layer's encoded stream.
        CRefuseLargeBlocks refuse(size_t(kW) * kH);
        EXPECT_NE(Save("a.ptg"), eNoError);
        EXPECT_TRUE(Read("a.ptg") == previous);
        EXPECT_EQ(FolderEntries(), 1);
    }
    ptgfile::ForceEncodeThreads(0);
}

TEST_F(ProjectFile, TheFileHoldsTheBlocksInTheirOrder) {
    Paint(3, true, true);
    ASSERT_EQ(Save("a.ptg"), 0);
    const Bytes file = Read("a.ptg");
    const Bytes head = Head(ptgfile::kAppName);
    ASSERT_GE(file.size(), head.size());
    EXPECT_TRUE(std::equal(head.begin(), head.end(), file.begin()));
    std::vector<uint32_t> ids;
    for (const SBlock& b : BlocksOf(file)) {
        ids.push_back(b.id);
    }
    EXPECT_EQ(ids, (std::vector<uint32_t>{eRecProject, eRecColour, eRecToolType, eRecToolSize,
                                          eRecStrokeNum, eRecCanvasSetting, eRecLight1, eRecLight2,
                                          eRecLight3, eRecLayer0, eRecLayer1, eRecLayer2,
                                          eRecLayer3, eRecTracingMode, eRecTracingSetting2,
                                          eRecTracingSetting3, eRecTracingImage}));
    const SBlock project = Find(file, eRecProject);
    EXPECT_TRUE(Bytes(file.begin() + long(project.Payload()), file.begin() + long(project.End())) ==
                ProjectPayload("Still life", kW, kH));
    EXPECT_EQ(Get32(file, Find(file, eRecColour).Payload()), 0x80C04023u);
    EXPECT_EQ(Get32(file, Find(file, eRecLight1).Payload()), std::bit_cast<uint32_t>(0.75f));
    EXPECT_EQ(Get32(file, Find(file, eRecTracingSetting3).Payload()), 2u);
}

// The cases of files that load, each with what it leaves.
TEST_F(ProjectFile, FilesTheFormatAllowsLoad) {
    const Bytes head = Head(ptgfile::kAppName);
    const Bytes project = Block(eRecProject, ProjectPayload("x", kW, kH));
    const Bytes layer = Block(eRecLayer0, Png(kW, kH, 5));
    const struct {
        const char* name;
        Bytes file;
        std::function<void(ProjectFile&)> check;
    } kCases[] = {
        {"an older application name",
         Cat({Head(ptgfile::kOlderAppName), project, layer}),
         [](ProjectFile& t) { EXPECT_EQ(t.Canvas()->Width(), kW); }},
        {"the smallest sides",
         Cat({head, Block(eRecProject, ProjectPayload("x", 100, 100))}),
         [](ProjectFile& t) { EXPECT_EQ(t.Canvas()->Width(), 100); }},
        {"the largest width",
         Cat({head, Block(eRecProject, ProjectPayload("x", 5000, 100))}),
         [](ProjectFile& t) { EXPECT_EQ(t.Canvas()->Width(), 5000); }},
        {"the largest height",
         Cat({head, Block(eRecProject, ProjectPayload("x", 100, 5000))}),
         [](ProjectFile& t) { EXPECT_EQ(t.Canvas()->Height(), 5000); }},
        {"tool type 8", Cat({head, project, Block(eRecToolType, FourBytes(eToolWatercolour))}),
         [](ProjectFile& t) { EXPECT_EQ(t.backbone.CurrentTool()->Type(), eToolOilPaint); }},
        {"relief 1.5", Cat({head, project, Block(eRecLight1, FourBytes(std::bit_cast<uint32_t>(1.5f)))}),
         [](ProjectFile& t) { EXPECT_EQ(t.Canvas()->GrainRelief(), 1.0f); }},
        {"relief -0.5",
         Cat({head, project, Block(eRecLight1, FourBytes(std::bit_cast<uint32_t>(-0.5f)))}),
         [](ProjectFile& t) { EXPECT_EQ(t.Canvas()->GrainRelief(), 0.0f); }},
        {"relief NaN, highlight +infinity, environment -infinity",
         Cat({head, project,
              Block(eRecLight1, FourBytes(std::bit_cast<uint32_t>(std::numeric_limits<float>::quiet_NaN()))),
              Block(eRecLight2, FourBytes(std::bit_cast<uint32_t>(std::numeric_limits<float>::infinity()))),
              Block(eRecLight3, FourBytes(std::bit_cast<uint32_t>(-std::numeric_limits<float>::infinity())))}),
         [](ProjectFile& t) {
             EXPECT_EQ(t.Canvas()->GrainRelief(), 0.5f);
             EXPECT_EQ(t.Canvas()->PaperHighlight(), 1.0f);
             EXPECT_EQ(t.Canvas()->PaperEnvironment(), 0.0f);
         }},
        {"an unknown block between two known ones",
         Cat({head, project, Block(0x12345678u, Bytes(9, 0xEE)), Block(eRecColour, FourBytes(0x11223344u))}),
         [](ProjectFile& t) { EXPECT_EQ(t.backbone.CurrentColour(), 0x11223344u); }},
        {"a fit mode of 7", Cat({head, project, Block(eRecTracingSetting3, FourBytes(7))}),
         [](ProjectFile& t) { EXPECT_EQ(t.Canvas()->TracingFitMode(), 7); }},
        {"no layer blocks",
         Cat({head, project}),
         [](ProjectFile& t) {
             // The layers a new project of that size has.
             EXPECT_EQ(WordsOf(t.Canvas()->Layer(0)), Words(size_t(kW) * kH, 0u));
             EXPECT_EQ(WordsOf(t.Canvas()->Layer(2)), Words(size_t(kW) * kH, 0u));
             const Words height = WordsOf(t.Canvas()->Layer(1)), grain = WordsOf(t.Canvas()->Layer(3));
             ASSERT_EQ(t.NewProject(kW, kH), 0);
             EXPECT_EQ(height, WordsOf(t.Canvas()->Layer(1)));
             EXPECT_EQ(grain, WordsOf(t.Canvas()->Layer(3)));
         }},
        {"one layer block",
         Cat({head, project, layer}),
         [](ProjectFile& t) {
             CImage expected(kW, kH);
             Fill(expected, 5);
             EXPECT_EQ(WordsOf(t.Canvas()->Layer(0)), WordsOf(&expected));
         }},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(NewProject(kW, kH), 0);
        Paint(7, true, true);
        Write("case.ptg", c.file);
        ASSERT_EQ(Load("case.ptg"), 0);
        EXPECT_EQ(backbone.Modified(), 0);
        EXPECT_EQ(Canvas()->TracingImage(), nullptr) << "a load drops the tracing image";
        c.check(*this);
    }
}

// Damaged files made from a saved one: each gives its code and leaves the
// open painting as it was. Rows with code 0 load, but hold what the format
// does not, which the checking tool reports with the reason given.
TEST_F(ProjectFile, DamagedFilesLeaveTheOpenPaintingUntouched) {
    Paint(4, true, true);
    ASSERT_EQ(Save("good.ptg"), 0);
    const Bytes good = Read("good.ptg");
    const SState goodState = State();
    const std::vector<SBlock> blocks = BlocksOf(good);
    const SBlock project = Find(good, eRecProject), layer0 = Find(good, eRecLayer0);
    const SBlock colour = Find(good, eRecColour), tracing = Find(good, eRecTracingImage);

    auto with = [&](const std::function<void(Bytes&)>& change) {
        Bytes b = good;
        change(b);
        return b;
    };
    auto cut = [&](size_t size) { return Bytes(good.begin(), good.begin() + long(size)); };
    auto swapBlocks = [&](const SBlock& first, const SBlock& second) {
        // second moved in front of first (second comes later in the file).
        Bytes b(good.begin(), good.begin() + long(first.at));
        b.insert(b.end(), good.begin() + long(second.at), good.begin() + long(second.End()));
        b.insert(b.end(), good.begin() + long(first.at), good.begin() + long(second.at));
        b.insert(b.end(), good.begin() + long(second.End()), good.end());
        return b;
    };
    auto replaced = [&](const SBlock& block, const Bytes& by) {
        Bytes b(good.begin(), good.begin() + long(block.at));
        b.insert(b.end(), by.begin(), by.end());
        b.insert(b.end(), good.begin() + long(block.End()), good.end());
        return b;
    };
    auto inserted = [&](size_t at, const Bytes& by) {
        Bytes b = good;
        b.insert(b.begin() + long(at), by.begin(), by.end());
        return b;
    };
    const Bytes badLine1 = with([](Bytes& b) { b[10] = 'X'; });
    const Bytes badLine2 = with([](Bytes& b) { b[60] = 'X'; });
    Bytes noZero = ProjectPayload("Still life", kW, kH);
    noZero[20] = 'x'; // the zero unit after the name
    Bytes hugePng = Png(kW, kH, 6);
    PutBE32(hugePng, 16, 100000);
    PutBE32(hugePng, 20, 100000);
    Bytes badCrc = Png(kW, kH, 6);
    badCrc[badCrc.size() - 20] ^= 0xFF; // inside the image data
    const uint32_t nan = std::bit_cast<uint32_t>(std::numeric_limits<float>::quiet_NaN());
    Bytes tail = ProjectPayload("Still life", kW, kH);
    tail.push_back(0);

    // Where header line 2 and the version word start.
    const size_t line2At = (std::char_traits<char16_t>::length(ptgfile::kHeaderText) + 2) * 2;
    const size_t versionAt = HeadBytes() - 4;
    // The first line of the alert a failed load shows: its code's text.
    const std::string kInvalidText = "The file being accessed is invalid.";
    const std::string kShortReadText =
        "An error occurred on attempting to read/write data from/to a file stream.";

    struct SCase {
        std::string name;
        Bytes file;
        error code;
        std::string reason;     // what the checking tool says
        std::string alert = {}; // the alert's text, where a row names it
        // For a row that loads: what it must have loaded.
        std::function<void(ProjectFile&)> check = {};
    };
    std::vector<SCase> cases = {
        // A file that ends inside or right after its header lines holds
        // no painting; a version word cut short is a short read.
        {"empty", Bytes(), eInvalidFile, "header line 1", kInvalidText},
        {"cut-in-line-1-after-1-byte", cut(1), eInvalidFile, "header line 1", kInvalidText},
        {"cut-in-line-1-after-2-bytes", cut(2), eInvalidFile, "header line 1", kInvalidText},
        {"cut-in-line-1-after-20-bytes", cut(20), eInvalidFile, "header line 1", kInvalidText},
        {"cut-in-line-1-between-LF-and-CR", cut(line2At - 2), eInvalidFile, "header line 1",
         kInvalidText},
        {"cut-in-line-2", cut(70), eInvalidFile, "header line 2", kInvalidText},
        {"cut-in-line-2-between-LF-and-CR", cut(versionAt - 2), eInvalidFile, "header line 2",
         kInvalidText},
        {"ends-after-header-lines", cut(versionAt), eInvalidFile, "version", kInvalidText},
        {"cut-in-version-after-1-byte", cut(versionAt + 1), eFileReadWriteError, "version",
         kShortReadText},
        {"cut-in-version-after-3-bytes", cut(versionAt + 3), eFileReadWriteError, "version",
         kShortReadText},
        {"ends-after-version", cut(HeadBytes()), eInvalidFile, "no project block", kInvalidText},
        {"line-1-differs", badLine1, eInvalidFile, "header line 1"},
        {"line-2-differs", badLine2, eInvalidFile, "header line 2"},
        {"length-0", with([&](Bytes& b) { Put64(b, colour.at + 4, 0); }), eInvalidFile, "length"},
        {"length-negative", with([&](Bytes& b) { Put64(b, colour.at + 4, -4); }), eInvalidFile,
         "length"},
        {"length-past-the-end",
         with([&](Bytes& b) { Put64(b, tracing.at + 4, int64_t(tracing.length) + 1); }),
         eInvalidFile, "length"},
        {"four-byte-block-of-length-1", with([&](Bytes& b) { Put64(b, colour.at + 4, 1); }),
         eInvalidFile, "length"},
        {"name-without-its-zero-unit", replaced(project, Block(eRecProject, noZero)), eInvalidFile,
         "name"},
        {"width-99", replaced(project, Block(eRecProject, ProjectPayload("a", 99, kH))),
         eInvalidFile, "width"},
        {"height-5001", replaced(project, Block(eRecProject, ProjectPayload("a", kW, 5001))),
         eInvalidFile, "height"},
        {"second-project-block",
         inserted(colour.at, Block(eRecProject, ProjectPayload("a", kW, kH))), eInvalidFile,
         "second project block"},
        {"layer-before-the-project-block", swapBlocks(project, layer0), eInvalidFile,
         "before the project block"},
        {"no-project-block",
         Cat({Head(ptgfile::kAppName), Block(eRecColour, FourBytes(0xFF000000u))}), eInvalidFile,
         "no project block"},
        {"layer-of-another-size", replaced(layer0, Block(eRecLayer0, Png(kW + 1, kH, 6))),
         eInvalidFile, "size"},
        {"layer-claiming-100000-square", replaced(layer0, Block(eRecLayer0, hugePng)), eInvalidFile,
         "size"},
        {"layer-not-decoding", replaced(layer0, Block(eRecLayer0, badCrc)), eFileReadWriteError,
         "does not decode"},
        {"tracing-not-an-image", replaced(tracing, Block(eRecTracingImage, Bytes(40, 7))),
         eBadParameter, "does not decode"},
    };
    // Truncation inside each block: in its header, and in its payload.
    for (const SBlock& b : blocks) {
        const std::string name = ptgfile::BlockName(b.id);
        cases.push_back(
            {"cut-in-header-of-" + name, cut(b.at + 6), eFileReadWriteError, "block header"});
        if (b.length > 1) {
            cases.push_back({"cut-in-payload-of-" + name, cut(b.Payload() + b.length / 2),
                             eInvalidFile, "length"});
        }
    }

    // These load; the tool reports what the format does not hold. They
    // come last, since a load starts a new history.
    // The painting of good.ptg, loaded under another file name; the colour
    // as given.
    auto loadsGood = [&](uint32_t colour) {
        return [&goodState, colour](ProjectFile& t) {
            SState expected = goodState;
            expected.file = "HD:damaged.ptg";
            expected.colour = colour;
            EXPECT_TRUE(t.State() == expected);
        };
    };
    auto light = [&](uint32_t id, float value) {
        return replaced(Find(good, id), Block(id, FourBytes(std::bit_cast<uint32_t>(value))));
    };
    const float inf = std::numeric_limits<float>::infinity();
    // The header lines in big-endian order behind their mark, then the
    // rest of good.ptg.
    Bytes bigEndian = {0xFE, 0xFF};
    for (const char16_t* line : {ptgfile::kHeaderText, ptgfile::kAppName}) {
        for (const char16_t* c = line; *c; ++c) {
            bigEndian.insert(bigEndian.end(), {uint8_t(*c >> 8), uint8_t(*c)});
        }
        bigEndian.insert(bigEndian.end(), {0, '\n', 0, '\r'});
    }
    bigEndian.insert(bigEndian.end(), good.begin() + long(versionAt), good.end());
    // A mark inside line 1 turns the rest of the header lines big-endian.
    Bytes turnsBigEndian(good.begin(), good.begin() + 20);
    turnsBigEndian.insert(turnsBigEndian.end(), {0xFE, 0xFF});
    for (size_t i = 20; i < versionAt; i += 2) {
        turnsBigEndian.insert(turnsBigEndian.end(), {good[i + 1], good[i]});
    }
    turnsBigEndian.insert(turnsBigEndian.end(), good.begin() + long(versionAt), good.end());
    Bytes eightBytes = FourBytes(0x11223344u);
    eightBytes.insert(eightBytes.end(), 4, 0xEE);
    CImage bKGDLayer(kW, kH);
    Fill(bKGDLayer, 8);
    const Words bKGDWords = WordsOf(&bKGDLayer);

    const std::vector<SCase> loading = {
        {"relief-NaN", replaced(Find(good, eRecLight1), Block(eRecLight1, FourBytes(nan))),
         eNoError, "not finite", "",
         [](ProjectFile& t) {
             EXPECT_EQ(t.Canvas()->GrainRelief(), ptgfile::kDefaultGrainRelief);
         }},
        {"relief-plus-infinity", light(eRecLight1, inf), eNoError, "not finite", "",
         [](ProjectFile& t) { EXPECT_EQ(t.Canvas()->GrainRelief(), 1.0f); }},
        {"highlight-minus-infinity", light(eRecLight2, -inf), eNoError, "not finite", "",
         [](ProjectFile& t) { EXPECT_EQ(t.Canvas()->PaperHighlight(), 0.0f); }},
        {"environment-plus-infinity", light(eRecLight3, inf), eNoError, "not finite", "",
         [](ProjectFile& t) { EXPECT_EQ(t.Canvas()->PaperEnvironment(), 1.0f); }},
        {"four-byte-block-of-length-8", replaced(colour, Block(eRecColour, eightBytes)), eNoError,
         "of a four-byte block is not 4", "", loadsGood(0x11223344u)},
        {"byte-order-mark-before-line-1", inserted(0, {0xFF, 0xFE}), eNoError, "byte-order mark",
         "", loadsGood(goodState.colour)},
        {"byte-order-mark-before-line-2", inserted(line2At, {0xFF, 0xFE}), eNoError,
         "byte-order mark", "", loadsGood(goodState.colour)},
        {"big-endian-header-lines", bigEndian, eNoError, "byte-order mark", "",
         loadsGood(goodState.colour)},
        // A mark is dropped wherever it stands in a line.
        {"byte-order-mark-inside-line-1", inserted(20, {0xFF, 0xFE}), eNoError, "byte-order mark",
         "", loadsGood(goodState.colour)},
        {"byte-order-mark-inside-line-2", inserted(line2At + 6, {0xFF, 0xFE}), eNoError,
         "byte-order mark", "", loadsGood(goodState.colour)},
        {"big-endian-mark-inside-line-1", turnsBigEndian, eNoError, "byte-order mark", "",
         loadsGood(goodState.colour)},
        {"tool-type-8",
         replaced(Find(good, eRecToolType), Block(eRecToolType, FourBytes(eToolWatercolour))),
         eNoError, "tool type"},
        {"tracing-mode-3",
         replaced(Find(good, eRecTracingMode), Block(eRecTracingMode, FourBytes(3))), eNoError,
         "tracing mode"},
        {"fit-mode-3",
         replaced(Find(good, eRecTracingSetting3), Block(eRecTracingSetting3, FourBytes(3))),
         eNoError, "fit mode"},
        {"bytes-after-the-height", replaced(project, Block(eRecProject, tail)), eNoError,
         "after the project block's height"},
        {"tool-size-before-tool-type",
         swapBlocks(Find(good, eRecToolType), Find(good, eRecToolSize)), eNoError,
         "before the tool type"},
        // Words kept as stored, never laid on the background colour.
        {"layer-with-bKGD",
         replaced(layer0, Block(eRecLayer0, WithChunk(Png(kW, kH, 8), "bKGD", Bytes(6, 0)))),
         eNoError, "bKGD", "",
         [&bKGDWords](ProjectFile& t) { EXPECT_TRUE(WordsOf(t.Canvas()->Layer(0)) == bKGDWords); }},
    };
    cases.insert(cases.end(), loading.begin(), loading.end());

    // The open painting: painted, then cleared as one undoable step.
    ASSERT_EQ(NewProject(kW, kH), 0);
    Paint(9, true, true);
    const Words painted = WordsOf(Canvas()->Layer(0));
    ASSERT_EQ(Set(eCmdClearCanvas, 0), 0);
    ASSERT_EQ(Project(eCmdSaveProject, "open.ptg", "Open one"), 0);
    ASSERT_EQ(Set(eCmdMarkModified, 0), 0);
    const SState before = State();

    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        Write("damaged.ptg", c.file);
        KeepSample("damaged-" + c.name, c.file, c.reason);
        int32_t r = 0;
        {
            // A refused file asks for nothing beyond a layer of the
            // painting's size or the file's bytes (one that loads goes on
            // to make the painting's own buffers).
            CLargestRequest watch;
            r = Load("damaged.ptg");
            if (c.code != eNoError) {
                EXPECT_LE(CLargestRequest::Largest(), std::max(c.file.size(), size_t(kW) * kH * 4));
            }
        }
        EXPECT_EQ(r, c.code);
        if (!c.alert.empty()) {
            EXPECT_EQ(ErrorMessage(r), c.alert);
        }
        if (c.code == eNoError) {
            if (c.check) {
                c.check(*this);
            }
            // Back to the open painting for the next row.
            ASSERT_EQ(Project(eCmdLoadProject, "open.ptg", "Open one"), 0);
            ASSERT_EQ(Set(eCmdMarkModified, 0), 0);
            ASSERT_EQ(Set(eCmdClearCanvas, 0), 0);
            EXPECT_TRUE(State() == before);
            continue;
        }
        EXPECT_TRUE(State() == before);
        // The history still works: undo brings the paint back, redo clears it again.
        ASSERT_EQ(Set(eCmdUndo, 0), 0);
        EXPECT_TRUE(WordsOf(Canvas()->Layer(0)) == painted);
        ASSERT_EQ(Set(eCmdRedo, 0), 0);
        EXPECT_TRUE(State() == before);
    }

    // A layer header claiming 100000 x 100000 asks for nothing its size.
    Write("damaged.ptg", replaced(layer0, Block(eRecLayer0, hugePng)));
    {
        CLargestRequest watch;
        EXPECT_EQ(Load("damaged.ptg"), eInvalidFile);
        EXPECT_LT(CLargestRequest::Largest(), size_t(1) << 20);
    }
    // Memory refused to the new layers.
    {
        CRefuseLargeBlocks refuse(size_t(kW) * kH * 4 - 1);
        EXPECT_EQ(Load("good.ptg"), eOutOfMemory);
    }
    EXPECT_TRUE(State() == before);
}

// A small file whose layer claims a chunk of nearly 2 GB behind a text
// chunk with a bad checksum: refused without asking for anything near that
// size, libpng's own blocks included (they come from the same hooks).
TEST_F(ProjectFile, ALayerClaimingAHugeChunkAsksForNothingItsSize) {
    constexpr int32_t kSide = 100;
    const Bytes png = Png(kSide, kSide, 3);
    Bytes text = Chunk("tEXt", {'C', 'o', 'm', 'm', 'e', 'n', 't', 0,   'x', 'x',
                                'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'});
    text.back() ^= 0xFF; // its checksum
    Bytes huge(8);
    PutBE32(huge, 0, 1946157140u);
    std::memcpy(huge.data() + 4, "tEXt", 4);
    huge.insert(huge.end(), 130, 'y');
    const Bytes file =
        Cat({Head(ptgfile::kAppName), Block(eRecProject, ProjectPayload("x", kSide, kSide)),
             Block(eRecLayer0,
                   Cat({Bytes(png.begin(), png.begin() + long(kPngHeadBytes)), text, huge}))});
    ASSERT_EQ(file.size(), 321u);
    Write("huge.ptg", file);
    KeepSample("damaged-layer-claiming-a-huge-chunk", file, "does not decode");

    Paint(2, true, true);
    const SState before = State();
    {
        CLargestRequest watch;
        EXPECT_EQ(Load("huge.ptg"), eFileReadWriteError);
        // Nothing larger than a layer of the file's own size.
        EXPECT_LE(CLargestRequest::Largest(), size_t(kSide) * kSide * 4);
    }
    EXPECT_TRUE(State() == before);
}

TEST_F(ProjectFile, LoadAndSaveWithoutAFileAnswerBadParameter) {
    ASSERT_EQ(Set(eCmdMarkModified, 0), 0);
    EXPECT_EQ(Set(eCmdSaveProject, 0), eBadParameter);
    EXPECT_EQ(Set(eCmdLoadProject, 0), eBadParameter);
    CProjectInfo none;
    EXPECT_EQ(Set(eCmdSaveProject, ChannelValueOf(&none)), eBadParameter);
    EXPECT_EQ(Set(eCmdLoadProject, ChannelValueOf(&none)), eBadParameter);
    EXPECT_EQ(Load("missing.ptg"), eInvalidFile);
    EXPECT_EQ(backbone.Modified(), 1);
}

// A save that fails part-way, in each block, by a full disk or by memory
// refused to the encoder: the previous file stays byte for byte, no
// temporary is left and the project stays modified.
TEST_F(ProjectFile, FailedSavesKeepThePreviousFile) {
    Paint(5, true, true);
    ASSERT_EQ(Save("a.ptg"), 0);
    const Bytes whole = Read("a.ptg");
    // The previous file: another painting.
    ASSERT_EQ(NewProject(kW, kH), 0);
    ASSERT_EQ(Save("a.ptg"), 0);
    const Bytes previous = Read("a.ptg");
    ASSERT_EQ(NewProject(kW, kH), 0);
    Paint(5, true, true);
    ASSERT_EQ(Set(eCmdMarkModified, 0), 0);

    std::vector<size_t> limits = {HeadBytes() - 3};
    for (const SBlock& b : BlocksOf(whole)) {
        limits.push_back(b.at + 5);
        limits.push_back(b.Payload() + b.length / 2);
    }
    for (size_t limit : limits) {
        SCOPED_TRACE(limit);
        const SChildEnd end = RunInChild(
            [&] {
                if (Save("a.ptg") == 0) {
                    return 1;
                }
                return backbone.Modified() == 1 ? 0 : 2;
            },
            SChildLimits().FileBytes(limit));
        EXPECT_EQ(end, ChildExited(0));
        EXPECT_TRUE(Read("a.ptg") == previous);
        EXPECT_EQ(FolderEntries(), 1);
    }

    for (size_t limit : {size_t(4096), size_t(16384)}) {
        SCOPED_TRACE(limit);
        CRefuseLargeBlocks refuse(limit);
        EXPECT_NE(Save("a.ptg"), eNoError);
    }
    EXPECT_TRUE(Read("a.ptg") == previous);
    EXPECT_EQ(FolderEntries(), 1);
    EXPECT_EQ(backbone.Modified(), 1);
    EXPECT_EQ(U(backbone.ProjectInfo().m_Name), "Still life") << "the next save goes there";
}

} // namespace
