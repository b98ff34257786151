// Opening a painting, starting a new one and importing a picture in a
// whole run of the program (the real backbone, the built resources, the
// scripted file dialog, the alerts recorded): the save prompt's cycle for
// each of the three actions and each answer, what an open brings to the
// screen and how a refused one is shown, a dropped file, the pictures an
// import takes (and the sizes it makes of large ones), and the new-painting
// panel after the prompt.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FileIO/FileTypes.h"
#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "foundation/gCMemory.h"
#include "imaging/ImLocker.h"
#include "imaging/Image.h"
#include "imaging/ImageIO.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/project/ProjectFile.h"
#include "paint/project/ProjectInfo.h"
#include "platform/InputEvent.h"
#include "testsupport/FileIO/ScriptedDialog.h"
#include "ui/boxes/NewFile.h"
#include "ui/boxes/SavePrompt.h"
#include "ui/tests/ProgramRun.h"

namespace {

namespace fs = std::filesystem;

using Bytes = std::string;

constexpr uint32_t kNotOpenedText = 0xB2D05E0C;
constexpr uint32_t kNotAPaintingText = 0xB2D05E0D;
constexpr uint32_t kNotImportedText = 0xB2D05E42;

class OpenRun : public StartUpRun {
protected:
    void Begin() {
        ASSERT_EQ(Start(), eNoError);
        Focus();
        CInputScript(*program).Run(); // what the window had waiting
        ASSERT_NE(Backdrop(), nullptr);
    }
    CSMKBackbone* Backbone() const { return CSMKBackbone::Registered(); }
    void Key(uint32_t key) { CInputScript(*program).Key(key).Run(); }
    // A new painting of that size on screen, marked modified when asked.
    void Painting(const char* name, int32_t width, int32_t height, bool modified) {
        CProjectInfo info;
        info.m_nWidth = width;
        info.m_nHeight = height;
        ASSERT_EQ(gStringFromUtf8(info.m_Name, name), eNoError);
        ASSERT_EQ(Backbone()->ProcessData(eCmdNewProject, this, ChannelValueOf(&info), 1), 0);
        if (modified) {
            ASSERT_EQ(Backbone()->ProcessData(eCmdMarkModified, this, 0, 1), 0);
        }
    }
    // A stroke across the canvas, from and to points given in the canvas.
    void Stroke(gCPoint from, gCPoint to) {
        const gCRect c = Backdrop()->CanvasWidget()->Rect();
        from = gCPoint(c.left + from.x, c.top + from.y);
        to = gCPoint(c.left + to.x, c.top + to.y);
        for (int32_t i = 1; i <= 60; ++i) {
            program->m_aPenPath.push_back(
                gCPoint(from.x + (to.x - from.x) * i / 60, from.y + (to.y - from.y) * i / 60));
        }
        CInputScript(*program).Move(from).Press(from).Run();
        ASSERT_TRUE(program->m_aPenPath.empty());
    }
    std::string Name() const { return gStringToUtf8(Backbone()->ProjectInfo().m_Name); }
    std::string SizeOf() const {
        const CProjectInfo& p = Backbone()->ProjectInfo();
        return std::to_string(p.m_nWidth) + " x " + std::to_string(p.m_nHeight);
    }
    std::string CanvasSize() const {
        const CWidget* canvas = Backdrop()->CanvasWidget();
        return std::to_string(canvas->Width()) + " x " + std::to_string(canvas->Height());
    }
    int32_t Modified() const { return Backbone()->Modified(); }
    bool PromptUp() const { return Backdrop()->SavePrompt()->IsShown(); }
    bool PanelUp() const { return Backdrop()->NewFile()->Root() != nullptr; }
    std::string Path(const char* name) const { return m_Folder + "/" + name; }
    // A picture file: its left half one colour, its right half another.
    void Picture(const char* name, int32_t width, int32_t height, uint32_t type = ePNGFile,
                 uint32_t left = 0xFFC02010u, uint32_t right = 0xFF1030C0u) {
        CImage image(width, height);
        {
            uint32_t* pixels = nullptr;
            const CImLocker lock(&image, pixels);
            ASSERT_NE(pixels, nullptr);
            for (int32_t y = 0; y < height; ++y) {
                for (int32_t x = 0; x < width; ++x) {
                    pixels[size_t(y) * size_t(width) + size_t(x)] = x < width / 2 ? left : right;
                }
            }
        }
        gCString folder;
        ASSERT_TRUE(ColonFolder(m_Folder, folder));
        gCString colon;
        ASSERT_EQ(gStringFromUtf8(colon, (gStringToUtf8(folder) + name).c_str()), eNoError);
        ASSERT_EQ(gCImageIO::WriteImage(colon, image, type), eNoError);
    }
    std::string Text(uint32_t id) const { return TableText(id); }
    // The alert text of a failure with a file: the text, then the path.
    std::string WithPath(uint32_t id, const char* name) const {
        return Text(id) + "\n" + Path(name);
    }
    Bytes Read(const char* name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    void Write(const char* name, const Bytes& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    // The painting saved through s and the dialog as `name`.
    void SaveAs(const char* name) {
        CScriptedDialog dialog;
        dialog.answers.push_back({eNoError, Path(name)});
        Key('s');
        ASSERT_EQ(dialog.requests.size(), 1u);
        ASSERT_EQ(Modified(), 0);
    }
    // The alerts' texts: the code's message, then the detail.
    std::vector<std::string> Alerts() const { return program->m_aAlerts; }
};

// Each action behind the prompt, with each answer: what is asked, what is
// on screen, the modified flag and the restore flag afterwards. The dialog
// after the prompt is cancelled; the new painting's panel stays up.
TEST_F(OpenRun, ThePromptCycleLosesNothingWhateverTheAnswer) {
    enum EAnswer { eSaved, eSaveFails, eSaveCancelled, eDiscard, eCancel };
    const char* const kAnswerNames[] = {"save", "save fails", "save dialog cancelled",
                                        "don't save", "cancel"};
    const struct {
        int32_t action;
        EAnswer answer;
        // The dialogs shown after the answer: "save", "open" (open and
        // import alike).
        std::vector<std::string> dialogs;
        bool promptAgain, panel;
        int32_t modified, restore;
        size_t alerts;
    } kCases[] = {
        {1, eSaved, {"save", "open"}, false, false, 0, 0, 0},
        {1, eSaveFails, {"save"}, false, false, 1, 0, 1},
        {1, eSaveCancelled, {"save"}, true, false, 1, 1, 0},
        {1, eDiscard, {"open"}, false, false, 1, 0, 0},
        {1, eCancel, {}, false, false, 1, 0, 0},
        {2, eSaved, {"save"}, false, true, 0, 0, 0},
        {2, eSaveFails, {"save"}, false, false, 1, 0, 1},
        {2, eSaveCancelled, {"save"}, true, false, 1, 1, 0},
        {2, eDiscard, {}, false, true, 0, 1, 0},
        {2, eCancel, {}, false, false, 1, 0, 0},
        {3, eSaved, {"save", "open"}, false, false, 0, 0, 0},
        {3, eSaveFails, {"save"}, false, false, 1, 0, 1},
        {3, eSaveCancelled, {"save"}, true, false, 1, 1, 0},
        {3, eDiscard, {"open"}, false, false, 1, 0, 0},
        {3, eCancel, {}, false, false, 1, 0, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE("action " + std::to_string(c.action) + ", " + kAnswerNames[c.answer]);
        TearDown();
        SetUp();
        Begin();
        Painting("Harbour", 400, 300, true);
        CScriptedDialog dialog;
        const std::vector<uint32_t> before = Shown();
        switch (c.action) {
        case 1:
            Key('o');
            break;
        case 2:
            Key('n');
            break;
        default:
            ASSERT_EQ(Backdrop()->ImportImage(), eNoError);
            break;
        }
        ASSERT_TRUE(PromptUp());
        EXPECT_TRUE(dialog.requests.empty()) << "no dialog while the prompt is up";
        EXPECT_EQ(Backdrop()->RestoreModified(), 1);
        EXPECT_EQ(Backdrop()->PromptModified(), 1);

        switch (c.answer) {
        case eSaved:
            dialog.answers.push_back({eNoError, Path("saved.ptg")});
            Key('y');
            break;
        case eSaveFails:
            // A folder stands where the file would go.
            fs::create_directories(Path("taken.ptg"));
            dialog.answers.push_back({eNoError, Path("taken.ptg")});
            dialog.confirmations.push_back(eNoError);
            Key('y');
            break;
        case eSaveCancelled:
            Key('y');
            break;
        case eDiscard:
            Key('n');
            break;
        case eCancel:
            Key(kKeyCodeEscape);
            break;
        }
        std::vector<std::string> dialogs;
        for (const auto& r : dialog.requests) {
            dialogs.push_back(r.kind == CFileDialogBackend::eSaveFile ? "save" : "open");
        }
        EXPECT_EQ(dialogs, c.dialogs);
        EXPECT_EQ(PromptUp(), c.promptAgain);
        EXPECT_EQ(PanelUp(), c.panel);
        EXPECT_EQ(Modified(), c.modified);
        EXPECT_EQ(Backdrop()->RestoreModified(), c.restore);
        EXPECT_EQ(Alerts().size(), c.alerts);
        // The painting on screen is still the one of before (a failed save
        // is the backbone's to leave its name alone).
        if (c.answer != eSaveFails) {
            EXPECT_EQ(Name(), c.answer == eSaved ? "saved" : "Harbour");
        }
        EXPECT_EQ(SizeOf(), "400 x 300");
        EXPECT_EQ(CanvasSize(), "400 x 300");
        if (!c.promptAgain && !c.panel && c.answer != eSaved) {
            EXPECT_TRUE(Shown() == before) << "the screen of before";
        }
    }
}

// The put-back of the modified flag and its end, in the orders a painter
// meets them.
TEST_F(OpenRun, AnAbandonedOpenOrImportPutsTheFlagBackAndASaveKeepsItClear) {
    Begin();
    Picture("photo.png", 200, 150);
    Write("notes.png", "these are words, not a picture");

    // Don't save, then a picture that cannot be read: shown once, and the
    // painting is modified again.
    Painting("Harbour", 400, 300, true);
    ASSERT_EQ(Backdrop()->ImportImage(), eNoError);
    {
        CScriptedDialog dialog;
        dialog.answers.push_back({eNoError, Path("notes.png")});
        Key('n');
        EXPECT_EQ(dialog.requests.size(), 1u);
    }
    EXPECT_EQ(Alerts(), std::vector<std::string>{"An error occurred on attempting to read/write "
                                                 "data from/to a file stream.\n" +
                                                 WithPath(kNotImportedText, "notes.png")});
    EXPECT_EQ(Modified(), 1);
    EXPECT_EQ(Backdrop()->RestoreModified(), 0);
    EXPECT_EQ(Name(), "Harbour");

    // Cancel the prompt for an import, save, then n and cancel the panel:
    // the saved painting stays unmodified.
    ASSERT_EQ(Backdrop()->ImportImage(), eNoError);
    Key(kKeyCodeEscape);
    EXPECT_EQ(Backdrop()->RestoreModified(), 0);
    SaveAs("kept.ptg");
    Key('n');
    ASSERT_TRUE(PanelUp());
    Key(kKeyCodeEscape); // the width field gives the key up
    Key(kKeyCodeEscape); // the panel closes
    EXPECT_FALSE(PanelUp());
    EXPECT_EQ(Modified(), 0);
    EXPECT_EQ(Alerts().size(), 1u);
}

TEST_F(OpenRun, ASavedPaintingOpensWithItsSizeNameAndPixels) {
    Begin();
    Painting("Untitled", 320, 240, false);
    Stroke(gCPoint(40, 40), gCPoint(280, 200));
    SaveAs("Studio.ptg");
    const std::vector<uint32_t> saved = Shown();
    Painting("Other", 500, 400, false);
    ASSERT_EQ(CanvasSize(), "500 x 400");

    CScriptedDialog dialog;
    dialog.answers.push_back({eNoError, Path("Studio.ptg")});
    const uint32_t cycles = Backdrop()->RenderCycle();
    Key('o');
    ASSERT_EQ(dialog.requests.size(), 1u);
    const auto& request = dialog.requests[0];
    EXPECT_EQ(request.kind, CFileDialogBackend::eOpenFile);
    ASSERT_EQ(request.filters.size(), 1u) << "the project type alone";
    EXPECT_EQ(request.filters[0].name, Text(0xB2D05E01));
    EXPECT_EQ(Backdrop()->RenderCycle(), cycles + 1) << "drawn once, at the end";
    EXPECT_EQ(Name(), "Studio");
    EXPECT_EQ(SizeOf(), "320 x 240");
    EXPECT_EQ(CanvasSize(), "320 x 240");
    EXPECT_EQ(Modified(), 0);
    EXPECT_EQ(Backdrop()->RedrawPrevented(), 0);
    EXPECT_TRUE(Shown() == saved) << "the screen after the save";
    EXPECT_TRUE(Alerts().empty());

    // Ctrl+O (the letter with Ctrl) and Super+O ask too.
    CInputScript(*program).Key('o', kModCommand).Run();
    Key(15);
    EXPECT_EQ(dialog.requests.size(), 3u);
    EXPECT_TRUE(Alerts().empty()) << "cancelled dialogs show nothing";
}

// A file the backbone refuses, a dialog without a usable path and a file
// gone after choosing: each shown once, the painting left as it was.
TEST_F(OpenRun, AnOpenThatFailsIsShownOnceAndLeavesThePainting) {
    Begin();
    Painting("Untitled", 200, 150, false);
    SaveAs("good.ptg");
    // The project block's height as 5001.
    Bytes big = Read("good.ptg");
    const size_t head = (std::char_traits<char16_t>::length(ptgfile::kHeaderText) + 2 +
                         std::char_traits<char16_t>::length(ptgfile::kAppName) + 2) * 2 + 4;
    bool patched = false;
    for (size_t at = head; at + 12 <= big.size();) {
        uint32_t id = 0;
        uint64_t length = 0;
        std::memcpy(&id, big.data() + at, 4);
        std::memcpy(&length, big.data() + at + 4, 8);
        if (id == eRecProject) {
            const uint32_t height = 5001;
            std::memcpy(big.data() + at + 12 + length - 4, &height, 4);
            patched = true;
            break;
        }
        at += 12 + size_t(length);
    }
    ASSERT_TRUE(patched);
    Write("big.ptg", big);
    Write("words.ptg", "Not a painting at all, only words.");
    Painting("Harbour", 400, 300, true);
    const std::vector<uint32_t> before = Shown();

    const std::string invalid = "The file being accessed is invalid.\n";
    const struct {
        const char* name;
        error answer;
        const char* file;
        std::string alert;
    } kCases[] = {
        {"a wrong header", eNoError, "words.ptg", invalid + WithPath(kNotAPaintingText, "words.ptg")},
        {"a height of 5001", eNoError, "big.ptg", invalid + WithPath(kNotAPaintingText, "big.ptg")},
        {"a reply without a path", eBadParameter, "", "Bad parameter has been passed.\n" + Text(kNotOpenedText)},
        {"a reply that is no full path", eNoError, "relative/words.ptg",
         "Bad parameter has been passed.\n" + Text(kNotOpenedText)},
        {"a file removed after choosing", eNoError, "gone.ptg",
         "A file could not be located.\n" + WithPath(kNotOpenedText, "gone.ptg")},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        program->m_aAlerts.clear();
        // Unmodified, so no prompt stands before the dialog; the painting's
        // flag is what the failure leaves.
        int32_t clear = 0;
        ASSERT_EQ(Backbone()->ProcessData(eCmdModified, this, ChannelValueOf(&clear), 1), 0);
        CScriptedDialog dialog;
        // A name with a folder in it is answered as it stands.
        dialog.answers.push_back(
            {c.answer, std::strchr(c.file, '/') ? std::string(c.file) : Path(c.file)});
        Key('o');
        EXPECT_EQ(Alerts(), std::vector<std::string>{c.alert});
        EXPECT_EQ(Name(), "Harbour");
        EXPECT_EQ(SizeOf(), "400 x 300");
        EXPECT_EQ(Modified(), 0);
        EXPECT_EQ(Backdrop()->RedrawPrevented(), 0);
        EXPECT_TRUE(Shown() == before);
        ASSERT_NE(CAppBase::m_pMainWnd, nullptr);
    }
}

// A file dropped on a modified painting: the prompt first, then, after
// "don't save", that file with no dialog; the next o asks again. A prompt
// cancelled for a dropped file forgets it.
TEST_F(OpenRun, ADroppedFileOpensAfterThePromptAndACancelForgetsIt) {
    Begin();
    Painting("Untitled", 300, 200, false);
    SaveAs("Dropped.ptg");
    const auto drop = [&]() {
        CInputEvent e;
        e.kind = EInputKind::eDropFile;
        e.text = Path("Dropped.ptg");
        program->InjectInput(e);
        program->PumpMessage();
    };
    CScriptedDialog dialog;
    program->m_nStartupState = 2; // running: a document is broadcast

    Painting("Harbour", 400, 300, true);
    drop();
    ASSERT_TRUE(PromptUp());
    EXPECT_EQ(Name(), "Harbour");
    Key('n');
    EXPECT_TRUE(dialog.requests.empty()) << "the dropped file needs no dialog";
    EXPECT_EQ(Name(), "Dropped");
    EXPECT_EQ(SizeOf(), "300 x 200");
    EXPECT_EQ(Modified(), 0);
    EXPECT_EQ(Backdrop()->DocumentPath().GetLength(), 0);
    Key('o');
    EXPECT_EQ(dialog.requests.size(), 1u) << "the next o asks";

    Painting("Harbour", 400, 300, true);
    drop();
    ASSERT_TRUE(PromptUp());
    Key(kKeyCodeEscape);
    EXPECT_EQ(Backdrop()->DocumentPath().GetLength(), 0);
    EXPECT_EQ(Name(), "Harbour");
    EXPECT_EQ(Modified(), 1);
    Key('o');
    ASSERT_TRUE(PromptUp());
    Key('n');
    EXPECT_EQ(dialog.requests.size(), 2u) << "o shows the dialog, not the forgotten file";
    EXPECT_EQ(Name(), "Harbour");
    EXPECT_EQ(Modified(), 1) << "the cancelled dialog puts the flag back";
    EXPECT_TRUE(Alerts().empty());
}

// The toolkit's allocations above a bound, counted while they happen.
class CLargeRequests {
public:
    explicit CLargeRequests(size_t bound) {
        s_nBound = bound;
        s_nCount = 0;
        s_nLargest = 0;
        gCMemory::m_pAllocProc = &Alloc;
        gCMemory::m_pReallocProc = &Realloc;
    }
    ~CLargeRequests() { gCMemory::ResetProcs(); }
    CLargeRequests(const CLargeRequests&) = delete;
    CLargeRequests& operator=(const CLargeRequests&) = delete;
    static size_t Count() { return s_nCount; }
    static size_t Largest() { return s_nLargest; }

private:
    static void Note(size_t size) {
        if (size > s_nBound) {
            ++s_nCount;
        }
        size_t seen = s_nLargest.load();
        while (size > seen && !s_nLargest.compare_exchange_weak(seen, size)) {
        }
    }
    static void* Alloc(size_t size) {
        Note(size);
        return gCMemory::MallocProc(size);
    }
    static void* Realloc(void* p, size_t size) {
        Note(size);
        return gCMemory::ReallocProc(p, size);
    }
    static inline size_t s_nBound = 0;
    static inline std::atomic<size_t> s_nCount{0};
    static inline std::atomic<size_t> s_nLargest{0};
};

// What each picture becomes: its size (fitted into 5000 x 5000, raised to
// 100), its name, no file and no tracing image, not modified; a picture of
// another size stretched over the whole painting; a file that is no
// picture shown once with the painting untouched.
TEST_F(OpenRun, APictureBecomesAPaintingOfItsSize) {
    Begin();
    const struct {
        const char* file;
        int32_t width, height;
        uint32_t type; // 0: not a picture
        const char* painting;
        const char* name;
    } kCases[] = {
        {"photo.png", 640, 480, ePNGFile, "640 x 480", "photo"},
        {"narrow.png", 50, 300, ePNGFile, "100 x 300", "narrow"},
        {"fake.bmp", 300, 200, ePNGFile, "300 x 200", "fake"},
        {"notes.png", 0, 0, 0, "", ""},
        {"wide.png", 6000, 4000, ePNGFile, "5000 x 3333", "wide"},
        {"tall.png", 4000, 10000, ePNGFile, "2000 x 5000", "tall"},
        {"strip.png", 10000, 30, ePNGFile, "5000 x 100", "strip"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.file);
        program->m_aAlerts.clear();
        Painting("Harbour", 400, 300, false);
        if (c.type) {
            Picture(c.file, c.width, c.height, c.type);
            ASSERT_EQ(Read(c.file).substr(1, 3), "PNG") << "PNG data, whatever the suffix";
        } else {
            Write(c.file, "these are words, not a picture");
        }
        CScriptedDialog dialog;
        dialog.answers.push_back({eNoError, Path(c.file)});
        // Nothing is made for more pixels than the painting has: every
        // request but the picture's own stays within 32 bytes a pixel of
        // the painting (a layer of the picture's size would not), or within
        // the 4 MB the readers' buffers may take.
        const gCPoint painted = CSMKBackdrop::ImportedSize(c.width, c.height);
        const size_t pictureBytes = size_t(c.width) * size_t(c.height) * 4;
        const size_t paintingBytes = size_t(painted.x) * size_t(painted.y) * 32;
        {
            const CLargeRequests requests(std::max({pictureBytes, paintingBytes, size_t(4) << 20}));
            ASSERT_EQ(Backdrop()->ImportImage(), eNoError);
            EXPECT_EQ(requests.Count(), 0u) << "the largest request: " << requests.Largest();
        }
        // The dialog offers the three types together.
        ASSERT_EQ(dialog.requests.size(), 1u);
        const auto& request = dialog.requests[0];
        ASSERT_EQ(request.filters.size(), 1u);
        EXPECT_NE(request.filters[0].name.find("All Image Files."), std::string::npos);
        for (const char* pattern : {"*.[bB][mM][pP]", "*.[jJ][pP][gG]", "*.[pP][nN][gG]"}) {
            EXPECT_NE(std::find(request.filters[0].patterns.begin(),
                                request.filters[0].patterns.end(), pattern),
                      request.filters[0].patterns.end())
                << pattern;
        }
        if (!c.type) {
            EXPECT_EQ(Alerts(), std::vector<std::string>{
                                    "An error occurred on attempting to read/write data "
                                    "from/to a file stream.\n" +
                                    WithPath(kNotImportedText, c.file)});
            EXPECT_EQ(Name(), "Harbour");
            EXPECT_EQ(SizeOf(), "400 x 300");
            continue;
        }
        EXPECT_TRUE(Alerts().empty());
        EXPECT_EQ(SizeOf(), c.painting);
        EXPECT_EQ(CanvasSize(), c.painting);
        EXPECT_EQ(Name(), c.name);
        EXPECT_EQ(Modified(), 0);
        EXPECT_EQ(Backbone()->ProjectInfo().m_File.Volume().GetLength(), 0) << "no file";
        EXPECT_EQ(Backbone()->ProjectInfo().m_TracingPath.GetLength(), 0) << "no tracing image";
        EXPECT_EQ(Backdrop()->RedrawPrevented(), 0);
        if (c.width == 50) {
            // Stretched: the picture's left colour at the painting's left
            // edge, its right colour at the right edge.
            const std::vector<uint32_t> shot = Shown();
            const gCRect r = Backdrop()->CanvasWidget()->Rect();
            const uint32_t left = At(shot, gCPoint(r.left + 2, r.top + 150));
            const uint32_t right = At(shot, gCPoint(r.right - 3, r.top + 150));
            EXPECT_GT((left >> 16) & 0xFF, left & 0xFF) << std::hex << left;
            EXPECT_GT(right & 0xFF, (right >> 16) & 0xFF) << std::hex << right;
        }
    }
}

// The new-painting panel: at once on an unmodified painting; after the
// prompt's "don't save" on a modified one, whose cancel marks the painting
// modified again.
TEST_F(OpenRun, NewShowsThePanelAfterThePromptWhenModified) {
    Begin();
    Painting("Harbour", 400, 300, false);
    Key('n');
    ASSERT_TRUE(PanelUp());
    EXPECT_FALSE(PromptUp());
    Key(kKeyCodeEscape);
    Key(kKeyCodeEscape);
    ASSERT_FALSE(PanelUp());
    EXPECT_EQ(Modified(), 0);

    Painting("Harbour", 400, 300, true);
    CInputScript(*program).Key('n', kModCommand).Run();
    ASSERT_TRUE(PromptUp());
    EXPECT_FALSE(PanelUp());
    Key('n');
    ASSERT_TRUE(PanelUp());
    EXPECT_EQ(Modified(), 0);
    Key(kKeyCodeEscape);
    Key(kKeyCodeEscape);
    EXPECT_FALSE(PanelUp());
    EXPECT_EQ(Modified(), 1);
    EXPECT_EQ(Backdrop()->RestoreModified(), 0);
    EXPECT_EQ(Name(), "Harbour");
    EXPECT_TRUE(Alerts().empty());
}

} // namespace
