// The tracing-paper picker with the built resource file and the real
// backbone: the preview's crop and lightening, the empty state, the menu
// with its ticks and rows, the press on the preview, the open dialog's
// outcomes, the painting's modified flag for every tracing change, and the
// slide at the window's bottom on a fake clock.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "FileIO/FileTypes.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "foundation/Utf8.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/ImageIO.h"
#include "imaging/Stretcher.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"
#include "paint/project/ProjectInfo.h"
#include "testsupport/FileIO/ColonPath.h"
#include "testsupport/FileIO/FakeResourceServices.h"
#include "testsupport/FileIO/ScriptedDialog.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/FakeClock.h"
#include "testsupport/paint/SpyTool.h"
#include "testsupport/widgets/WidgetBlockWriter.h"
#include "ui/InterfaceText.h"
#include "ui/menus/SMKMenu.h"
#include "ui/panels/TracePicker.h"
#include "ui/tests/PanelPressTest.h"
#include "widgets/ImWidget.h"
#include "widgets/RoRectWidget.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kSheetImage = 503;
constexpr uint32_t kChooserFailedText = 0xB2D05E12;
constexpr uint32_t kNotLoadedText = 0xB2D05E13;
constexpr uint32_t kRed = 0xFFFF0000u;

// The UI module: every call written down (settings by the long they point
// at), then handed to the backdrop as the program's UI module is.
class CForwardingHub : public gCCmdTarget {
public:
    CForwardingHub(CRecordingModule& record, CSMKBackdrop& backdrop)
        : m_Record(record), m_Backdrop(backdrop) {}
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override {
        int64_t kept = value;
        if ((id == eCmdTracingSetting2 || id == eCmdTracingSetting3) && value) {
            kept = *ChannelPointer<int32_t>(value);
        }
        m_Record.m_Calls.push_back({id, sender, kept, set});
        return m_Backdrop.ProcessData(id, sender, value, set);
    }

private:
    CRecordingModule& m_Record;
    CSMKBackdrop& m_Backdrop;
};

class TracePickerTest : public PanelPressTest {
protected:
    void SetUp() override {
        PanelPressTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        char pattern[] = "/tmp/daublin-trace-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_Folder = pattern;
        RegisterSpyTools();
        StartBackdrop(m_Backdrop, m_Backbone);
        ASSERT_FALSE(HasFatalFailure());
        gCCmdTarget::SetUIModule(&m_Hub);
        NewPainting("");
        ASSERT_FALSE(HasFatalFailure());
        m_pPicker = m_Backdrop.TracePicker();
        ASSERT_NE(m_pPicker, nullptr);
        m_pPreview = m_pPicker->Preview();
        ASSERT_NE(m_pPreview, nullptr);
        m_UI.m_Calls.clear();
    }
    void TearDown() override {
        PanelPressTest::TearDown();
        ResetSpyTools();
        std::error_code ec;
        fs::remove_all(m_Folder, ec);
    }

    std::string Path(const std::string& name) const { return m_Folder + "/" + name; }
    gCFRef Ref(const std::string& name) const {
        gCString folder;
        EXPECT_TRUE(ColonFolder(m_Folder, folder));
        gCString colon;
        EXPECT_EQ(gStringFromUtf8(colon, (gStringToUtf8(folder) + name).c_str()), eNoError);
        return gCFRef(colon);
    }
    // A PNG picture whose pixel (x, y) is colour(x, y).
    void Picture(const std::string& name, int32_t width, int32_t height,
                 const std::function<uint32_t(int32_t, int32_t)>& colour) {
        CImage image(width, height);
        {
            CImNav view(&image);
            ASSERT_TRUE(view.IsLocked());
            for (int32_t y = 0; y < height; ++y) {
                for (int32_t x = 0; x < width; ++x) {
                    view.Row(y)[x] = CPixel(colour(x, y));
                }
            }
        }
        gCFRef ref = Ref(name);
        ASSERT_EQ(gCImageIO::WriteImage(ref, image, ePNGFile), eNoError);
    }
    void Plain(const std::string& name, uint32_t colour) {
        Picture(name, 60, 40, [colour](int32_t, int32_t) { return colour; });
    }
    // The picture chosen in the picker's open dialog.
    void Load(const std::string& name) {
        CScriptedDialog dialog;
        dialog.answers.push_back({eNoError, Path(name)});
        ASSERT_EQ(m_pPicker->LoadTracingPaper(), eNoError);
        ASSERT_EQ(dialog.requests.size(), 1u);
    }
    void NewPainting(const std::string& tracing) {
        CProjectInfo info;
        info.m_nWidth = 240;
        info.m_nHeight = 180;
        info.m_Name = S("Untitled");
        if (!tracing.empty()) {
            info.m_TracingPath = Ref(tracing).FileReference();
        }
        ASSERT_EQ(m_Backbone.ProcessData(eCmdNewProject, &m_Backdrop, ChannelValueOf(&info), 1), 0);
    }
    int32_t Get(uint32_t id) {
        int32_t value = -7;
        EXPECT_EQ(m_Backbone.GetBackboneData(id, &m_Backdrop, ChannelValueOf(&value)), 0);
        return value;
    }
    void SetLong(uint32_t id, int32_t value) {
        ASSERT_EQ(m_Backbone.ProcessData(id, &m_Backdrop, ChannelValueOf(&value), 1), 0);
    }
    void ClearModified() { SetLong(eCmdModified, 0); }
    std::vector<uint32_t> PreviewWords() {
        CImNav view(m_pPreview->Image());
        EXPECT_TRUE(view.IsLocked());
        std::vector<uint32_t> words;
        for (int32_t y = 0; y < view.GetHeight(); ++y) {
            for (int32_t x = 0; x < view.GetWidth(); ++x) {
                words.push_back(uint32_t(view.Row(y)[x]));
            }
        }
        return words;
    }
    // The resource sheet's pixels: the preview keeps their alpha.
    std::vector<uint32_t> Sheet() {
        CImage* sheet = CImage::CreateSharedFromRes(kSheetImage, nullptr, nullptr);
        EXPECT_NE(sheet, nullptr);
        CImNav view(sheet);
        std::vector<uint32_t> words;
        for (int32_t y = 0; y < view.GetHeight(); ++y) {
            for (int32_t x = 0; x < view.GetWidth(); ++x) {
                words.push_back(uint32_t(view.Row(y)[x]));
            }
        }
        return words;
    }
    // The sheet's alpha with every colour as given.
    std::vector<uint32_t> SheetIn(uint32_t rgb) {
        std::vector<uint32_t> words = Sheet();
        for (uint32_t& w : words) {
            w = (w & 0xFF000000u) | rgb;
        }
        return words;
    }
    bool PlaceholderShown() { return m_pPicker->Placeholder()->Visible() != 0; }
    // The rows of the open menu that show their tick.
    std::vector<int32_t> Ticks() const {
        std::vector<int32_t> rows;
        for (int32_t i = 0; i < m_pPicker->Menu()->RowCount(); ++i) {
            if (m_pPicker->Menu()->Ticked(i)) {
                rows.push_back(i);
            }
        }
        return rows;
    }
    // What the picker sent that the backbone passed on: id and value.
    std::vector<std::pair<uint32_t, int64_t>> Sent() const {
        std::vector<std::pair<uint32_t, int64_t>> sent;
        for (const CRecordingModule::Call& c : m_UI.m_Calls) {
            if (c.sender == m_pPicker && c.set && c.id != eCmdPlaySound) {
                sent.emplace_back(c.id, c.value);
            }
        }
        return sent;
    }
    std::vector<std::string> Alerts() const {
        std::vector<std::string> texts;
        for (const auto& a : m_Services.m_Alerts) {
            texts.push_back(a.text);
        }
        return texts;
    }
    std::string Text(uint32_t id) const { return gStringToUtf8(InterfaceText(id)); }
    // The menu chosen from: the row pressed and released on.
    void Choose(int32_t row) {
        ASSERT_TRUE(m_pPicker->Menu()->IsShown());
        ASSERT_EQ(Press(m_pPicker->Menu()->Row(row), {}), eNoError);
    }
    // A point on the preview that shows also while the panel is away.
    gCPoint Strip() { return PointIn(m_pPreview, m_pPreview->Width() / 2, 4); }
    void OpenMenu() {
        ASSERT_EQ(Press(m_pPreview, {}, Strip()), eNoError);
        ASSERT_TRUE(m_pPicker->Menu()->IsShown());
    }
    error Key(uint32_t key) {
        CWidget* taken = nullptr;
        return m_Backdrop.PassKeyDown(taken, key);
    }
    int32_t Modified() const { return m_Backbone.Modified(); }
    CImage* Tracing() {
        CImage* image = nullptr;
        EXPECT_EQ(m_Backbone.GetBackboneData(eCmdGetTracing, &m_Backdrop, ChannelValueOf(&image)), 0);
        return image;
    }

    std::string m_Folder;
    CSMKBackbone m_Backbone;
    CForwardingHub m_Hub{m_UI, m_Backdrop};
    CTracePicker* m_pPicker = nullptr;
    CImWidget* m_pPreview = nullptr;
};

} // namespace

TEST_F(TracePickerTest, ItIsPanelThreeAtTheBottomWithItsEmptyPreview) {
    EXPECT_EQ(m_Backdrop.Panel(3), m_pPicker);
    EXPECT_EQ(m_Backdrop.PanelRoots()[3], m_pPicker->Root());
    EXPECT_EQ(m_Backdrop.Height() - m_pPicker->Root()->Rect().bottom, CTracePicker::kAway);
    EXPECT_GT(m_pPicker->Root()->Height(), 90) << "a strip stays in view at -90";
    EXPECT_EQ(m_pPreview->Image()->GetWidth(), m_pPreview->Width());
    EXPECT_EQ(m_pPreview->Image()->GetHeight(), m_pPreview->Height());
    EXPECT_NE(m_pPreview->Image(), CImage::CreateSharedFromRes(kSheetImage, nullptr, nullptr))
        << "painted in place: the pool's sheet stays as loaded";
    EXPECT_EQ(PreviewWords(), SheetIn(0xFFFFFFu)) << "the white sheet";
    EXPECT_TRUE(PlaceholderShown());
    EXPECT_EQ(m_pPicker->ImageLoaded(), 0);
    EXPECT_EQ(m_pPicker->Menu()->RowCount(), 7);
    EXPECT_FALSE(m_pPicker->Menu()->IsShown());
}

TEST_F(TracePickerTest, ThePreviewIsTheLightenedMiddleSquareOfThePicture) {
    // Inside the centred square the columns (or rows) are numbered by
    // colour; outside it everything is red, which must not show.
    const auto numbered = [](int32_t i) {
        return 0xFF000000u | uint32_t(i * 2) << 16 | uint32_t(255 - i) << 8 | uint32_t(i);
    };
    struct SCase {
        int32_t width, height;
        bool wide;
    } const kCases[] = {{400, 100, true}, {100, 400, false}, {401, 100, true}};
    for (const SCase& c : kCases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        const std::string name = "crop" + std::to_string(c.width) + ".png";
        Picture(name, c.width, c.height, [&](int32_t x, int32_t y) {
            const int32_t i = (c.wide ? x : y) - 150;
            return i >= 0 && i < 100 ? numbered(i) : kRed;
        });
        Load(name);
        EXPECT_EQ(m_pPicker->ImageLoaded(), 1);
        EXPECT_FALSE(PlaceholderShown());

        // The square alone, scaled to the preview and lightened.
        CImage square(100, 100);
        {
            CImNav view(&square);
            for (int32_t y = 0; y < 100; ++y) {
                for (int32_t x = 0; x < 100; ++x) {
                    view.Row(y)[x] = CPixel(numbered(c.wide ? x : y));
                }
            }
        }
        CImage scaled(m_pPreview->Width(), m_pPreview->Height());
        {
            CImNav to(&scaled);
            CImNav from(&square);
            ASSERT_EQ(CStretcher::StretchBlit(&to, &from, 1), eNoError);
        }
        std::vector<uint32_t> expected = Sheet();
        {
            CImNav view(&scaled);
            size_t i = 0;
            for (int32_t y = 0; y < view.GetHeight(); ++y) {
                for (int32_t x = 0; x < view.GetWidth(); ++x, ++i) {
                    const uint32_t p = uint32_t(view.Row(y)[x]);
                    expected[i] = (expected[i] & 0xFF000000u) |
                                  CTracePicker::Lightened(p >> 16 & 0xFF) << 16 |
                                  CTracePicker::Lightened(p >> 8 & 0xFF) << 8 |
                                  CTracePicker::Lightened(p & 0xFF);
                }
            }
        }
        const std::vector<uint32_t> shown = PreviewWords();
        EXPECT_EQ(shown, expected);
        const uint32_t lightRed = 0x00FF5656u;
        EXPECT_EQ(std::count_if(shown.begin(), shown.end(),
                                [&](uint32_t w) { return (w & 0xFFFFFFu) == lightRed; }),
                  0);
    }
}

TEST_F(TracePickerTest, BlackGreyAndWhiteAreLightenedWithATrueFloor) {
    struct SChannel {
        uint32_t in, out;
    } const kChannels[] = {{0, 86}, {1, 86}, {128, 171}, {253, 254}, {254, 255}, {255, 255}};
    for (const SChannel& c : kChannels) {
        EXPECT_EQ(CTracePicker::Lightened(c.in), c.out) << c.in;
    }
    struct SCase {
        uint32_t picture, preview;
    } const kCases[] = {
        {0xFF000000u, 0x565656u}, {0xFF808080u, 0xABABABu}, {0xFFFFFFFFu, 0xFFFFFFu}};
    for (const SCase& c : kCases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.picture);
        Plain("plain.png", c.picture);
        Load("plain.png");
        EXPECT_EQ(PreviewWords(), SheetIn(c.preview)) << "the sheet's alpha stays";
    }
}

TEST_F(TracePickerTest, ClearingGivesTheWhiteSheetAndThePlaceholderBack) {
    Plain("black.png", 0xFF000000u);
    Load("black.png");
    ASSERT_EQ(PreviewWords(), SheetIn(0x565656u));
    OpenMenu();
    Choose(CTracePicker::eClearRow);
    EXPECT_EQ(Tracing(), nullptr);
    EXPECT_EQ(PreviewWords(), SheetIn(0xFFFFFFu));
    EXPECT_TRUE(PlaceholderShown());
    EXPECT_EQ(m_pPicker->ImageLoaded(), 0);
}

TEST_F(TracePickerTest, TheMenuOpensUpwardFromThePreviewsCentreWithTheTicksOfTheMoment) {
    Plain("black.png", 0xFF000000u);
    Load("black.png");
    struct SCase {
        int32_t fit, shown, pick;
        std::vector<int32_t> ticks;
    } const kCases[] = {
        {2, 1, 0, {2, 6}},
        {2, 1, 1, {2, 3, 6}},
        {0, 0, 0, {4}},
        {1, 0, 1, {3, 5}},
    };
    for (const SCase& c : kCases) {
        SCOPED_TRACE(::testing::Message() << c.fit << c.shown << c.pick);
        SetLong(eCmdTracingSetting3, c.fit);
        ASSERT_EQ(m_Backbone.ProcessData(eCmdTracingMode, &m_Backdrop, c.shown, 1), 0);
        SetLong(eCmdTracingSetting2, c.pick);
        ClearModified();
        m_UI.m_Calls.clear();
        OpenMenu();
        EXPECT_EQ(Ticks(), c.ticks);
        const gCPoint centre = CentreOf(m_pPreview);
        const gCRect menu = m_pPicker->Menu()->Root()->Rect(); // a child of the backdrop
        EXPECT_EQ(menu.left, centre.x);
        EXPECT_EQ(menu.bottom, centre.y);
        EXPECT_EQ(Sounds(), std::vector<int32_t>{0});
        EXPECT_TRUE(Sent().empty());
        EXPECT_EQ(Modified(), 0) << "reading the settings for the ticks marks nothing";
        // Escape closes it without a choice: nothing is sent.
        EXPECT_EQ(Key(kKeyCodeEscape), eNoError);
        EXPECT_FALSE(m_pPicker->Menu()->IsShown());
        EXPECT_TRUE(Sent().empty());
        EXPECT_EQ(m_Backdrop.ModalCount(), 0);
    }
}

TEST_F(TracePickerTest, EachRowSendsItsMessage) {
    Plain("black.png", 0xFF000000u);
    SetLong(eCmdTracingSetting2, 0);
    struct SCase {
        int32_t row;
        std::vector<std::pair<uint32_t, int64_t>> sent;
    } const kCases[] = {
        {CTracePicker::eShowRow, {{eCmdTracingMode, 2}}},
        {CTracePicker::eColourRow, {{eCmdTracingSetting2, 1}}},
        {CTracePicker::eColourRow, {{eCmdTracingSetting2, 0}}},
        {4, {{eCmdTracingSetting3, 0}}},
        {5, {{eCmdTracingSetting3, 1}}},
        {6, {{eCmdTracingSetting3, 2}}},
        {CTracePicker::eLoadRow, {}}, // the dialog, cancelled
        {CTracePicker::eClearRow, {{eCmdClearTracing, 0}}},
    };
    for (const SCase& c : kCases) {
        SCOPED_TRACE("row " + std::to_string(c.row));
        if (!m_pPicker->ImageLoaded()) {
            Load("black.png");
        }
        OpenMenu();
        m_UI.m_Calls.clear();
        CScriptedDialog dialog;
        Choose(c.row);
        EXPECT_FALSE(m_pPicker->Menu()->IsShown());
        EXPECT_EQ(Sent(), c.sent);
        EXPECT_EQ(dialog.requests.size(), c.row == CTracePicker::eLoadRow ? 1u : 0u);
        EXPECT_EQ(Sounds(), std::vector<int32_t>{CSMKMenu::kChosenSound});
        EXPECT_TRUE(Alerts().empty());
    }
    EXPECT_EQ(Get(eCmdTracingSetting3), 2);
}

TEST_F(TracePickerTest, APressReleasedOffThePreviewDoesNothing) {
    for (const bool loaded : {false, true}) {
        SCOPED_TRACE(loaded ? "loaded" : "empty");
        if (loaded) {
            Plain("black.png", 0xFF000000u);
            Load("black.png");
        }
        m_UI.m_Calls.clear();
        CScriptedDialog dialog;
        ASSERT_EQ(Press(m_pPreview, {Point(&m_Backdrop)}, Strip()), eNoError);
        EXPECT_TRUE(dialog.requests.empty());
        EXPECT_FALSE(m_pPicker->Menu()->IsShown());
        EXPECT_TRUE(Sounds().empty());
        EXPECT_EQ(m_Backdrop.ModalCount(), 0);
    }
}

TEST_F(TracePickerTest, TheEmptyPreviewAsksForAPictureAndEveryOutcomeIsShownOnce) {
    ASSERT_TRUE(fs::exists(m_Folder));
    std::ofstream(Path("notes.txt")) << "not a picture";
    Plain("black.png", 0xFF000000u);
    struct SCase {
        const char* what;
        error answer;
        const char* file;
        std::vector<std::string> alerts;
        bool loaded;
    } const kCases[] = {
        {"cancelled", eHandled, "", {}, false},
        {"no dialog program: it showed its own alert", eCreateFailed, "", {}, false},
        {"a dialog that failed otherwise", eFileNotFound, "", {Text(kChooserFailedText)}, false},
        {"not a picture", eNoError, "notes.txt",
         {Text(kNotLoadedText) + "\n" + Path("notes.txt")}, false},
        {"a picture", eNoError, "black.png", {}, true},
    };
    for (const SCase& c : kCases) {
        SCOPED_TRACE(c.what);
        m_Services.m_Alerts.clear();
        m_UI.m_Calls.clear();
        ClearModified();
        CScriptedDialog dialog;
        dialog.answers.push_back({c.answer, Path(c.file)});
        ASSERT_EQ(Press(m_pPreview, {}, Strip()), eNoError);
        ASSERT_EQ(dialog.requests.size(), 1u);
        EXPECT_EQ(dialog.requests[0].kind, CFileDialogBackend::eOpenFile);
        EXPECT_EQ(Sounds(), std::vector<int32_t>{0});
        // Each alert: the code's own text, then the detail.
        const std::vector<std::string> alerts = Alerts();
        ASSERT_EQ(alerts.size(), c.alerts.size());
        for (size_t i = 0; i < alerts.size(); ++i) {
            EXPECT_TRUE(alerts[i].ends_with("\n" + c.alerts[i])) << alerts[i];
        }
        EXPECT_EQ(m_pPicker->ImageLoaded(), c.loaded ? 1 : 0);
        EXPECT_EQ(Tracing() != nullptr, c.loaded);
        EXPECT_EQ(PlaceholderShown(), !c.loaded);
        EXPECT_EQ(Modified(), c.loaded ? 1 : 0);
        EXPECT_FALSE(m_pPicker->Menu()->IsShown());
    }
}

// Every change the project keeps of its tracing image marks the painting,
// whoever makes it; reading it, a paper, a new painting made with a
// tracing image and a loaded project with one leave it unmodified.
TEST_F(TracePickerTest, ModifiedAsOneTable) {
    Plain("black.png", 0xFF000000u);
    Plain("white.png", 0xFFFFFFFFu);
    struct SCase {
        const char* what;
        std::function<void()> act;
        int32_t modified;
    } const kCases[] = {
        {"loading a tracing image", [&] { Load("black.png"); }, 1},
        {"opening the menu", [&] {
             OpenMenu();
             ASSERT_EQ(Key(kKeyCodeEscape), eNoError);
         }, 0},
        {"menu: hide", [&] {
             OpenMenu();
             Choose(CTracePicker::eShowRow);
         }, 1},
        {"the t key", [&] { EXPECT_EQ(Key('t'), eNoError); }, 1},
        {"the space key", [&] { EXPECT_EQ(Key(' '), eNoError); }, 1},
        {"menu: colour from the tracing image", [&] {
             OpenMenu();
             Choose(CTracePicker::eColourRow);
         }, 1},
        {"menu: fit inside", [&] {
             OpenMenu();
             Choose(5);
         }, 1},
        {"menu: fill", [&] {
             OpenMenu();
             Choose(6);
         }, 1},
        {"menu: stretch", [&] {
             OpenMenu();
             Choose(4);
         }, 1},
        {"a paper chosen", [&] { SetLong(eCmdCanvasTexture, 2); }, 0},
        {"the settings read", [&] {
             for (const uint32_t id : {eCmdTracingSetting3, eCmdTracingSetting2, eCmdTracingMode}) {
                 (void)Get(id);
             }
         }, 0},
        {"menu: load another", [&] {
             OpenMenu();
             CScriptedDialog dialog;
             dialog.answers.push_back({eNoError, Path("white.png")});
             Choose(CTracePicker::eLoadRow);
         }, 1},
        {"menu: clear", [&] {
             OpenMenu();
             Choose(CTracePicker::eClearRow);
         }, 1},
        {"a new painting with a tracing image", [&] { NewPainting("black.png"); }, 0},
        {"a project with a tracing image loaded", [&] {
             CProjectInfo saved;
             saved.m_Name = S("traced");
             saved.m_File = Ref("traced.ptg");
             ASSERT_EQ(m_Backbone.ProcessData(eCmdSaveProject, &m_Backdrop,
                                              ChannelValueOf(&saved), 1),
                       0);
             NewPainting("");
             SetLong(eCmdMarkModified, 1);
             CProjectInfo load;
             load.m_File = Ref("traced.ptg");
             ASSERT_EQ(m_Backbone.ProcessData(eCmdLoadProject, &m_Backdrop,
                                              ChannelValueOf(&load), 1),
                       0);
         }, 0},
    };
    for (const SCase& c : kCases) {
        SCOPED_TRACE(c.what);
        ClearModified();
        c.act();
        EXPECT_EQ(Modified(), c.modified);
        EXPECT_FALSE(m_pPicker->Menu()->IsShown());
    }
    // The last two brought their tracing image to the preview.
    EXPECT_NE(Tracing(), nullptr);
    EXPECT_EQ(m_pPicker->ImageLoaded(), 1);
    EXPECT_EQ(PreviewWords(), SheetIn(0x565656u));
}

TEST_F(TracePickerTest, ANewProjectWithAnImageWhileOneIsShownRebuildsThePreview) {
    Plain("black.png", 0xFF000000u);
    Plain("white.png", 0xFFFFFFFFu);
    Load("black.png");
    ASSERT_EQ(PreviewWords(), SheetIn(0x565656u));
    NewPainting("white.png");
    EXPECT_EQ(PreviewWords(), SheetIn(0xFFFFFFu));
    EXPECT_EQ(m_pPicker->ImageLoaded(), 1);
    EXPECT_FALSE(PlaceholderShown());
    NewPainting("");
    EXPECT_EQ(m_pPicker->ImageLoaded(), 0);
    EXPECT_TRUE(PlaceholderShown());
}

TEST_F(TracePickerTest, TheSlideComesUpWhenTheStripIsPointedAtAndMovesOnlyWhileMoving) {
    CFakeClock clock;
    CWidget* root = m_pPicker->Root();
    const auto place = [&] { return m_Backdrop.Height() - root->Rect().bottom; };
    // Beats 2 ms apart with the rollover given; the places the root took.
    const auto beats = [&](int32_t count, CWidget* rollover) {
        m_Backdrop.m_pPointed = rollover;
        std::vector<int32_t> places;
        for (int32_t i = 0; i < count; ++i) {
            clock.AdvanceMilliseconds(2);
            EXPECT_EQ(CTracePicker::RootHeart(m_pPicker, root), eNoError);
            if (places.empty() || places.back() != place()) {
                places.push_back(place());
            }
        }
        return places;
    };

    // Elsewhere, even with the cursor over the panel's column: it stays
    // away and sets nothing.
    m_Services.m_CursorLoc = CentreOf(m_pPreview);
    int32_t redraws = m_Backdrop.m_nRedraws;
    EXPECT_EQ(beats(100, &m_Backdrop), std::vector<int32_t>{-90});
    EXPECT_EQ(m_Backdrop.m_nRedraws, redraws);

    // The strip pointed at: up to 10, one place a step, each set once.
    redraws = m_Backdrop.m_nRedraws;
    const std::vector<int32_t> up = beats(200, m_pPreview);
    ASSERT_GE(up.size(), 3u);
    EXPECT_EQ(up.front(), -90);
    EXPECT_EQ(up.back(), 10);
    EXPECT_TRUE(std::is_sorted(up.begin(), up.end()));
    EXPECT_EQ(m_Backdrop.m_nRedraws - redraws, int32_t(up.size()) - 1)
        << "SetYPos (and its redraw) only for a new place";
    redraws = m_Backdrop.m_nRedraws;
    EXPECT_EQ(beats(200, root), std::vector<int32_t>{10});
    EXPECT_EQ(m_Backdrop.m_nRedraws, redraws) << "at rest: nothing set";

    // Left: back down to -90, and at rest there.
    const std::vector<int32_t> down = beats(200, &m_Backdrop);
    EXPECT_EQ(down.back(), -90);
    redraws = m_Backdrop.m_nRedraws;
    EXPECT_EQ(beats(100, &m_Backdrop), std::vector<int32_t>{-90});
    EXPECT_EQ(m_Backdrop.m_nRedraws, redraws);

    // Without any rollover widget it does nothing at all.
    EXPECT_EQ(beats(100, nullptr), std::vector<int32_t>{-90});

    // Loaded: up and kept up wherever the pointer is.
    Plain("black.png", 0xFF000000u);
    Load("black.png");
    EXPECT_EQ(beats(200, &m_Backdrop).back(), 10);
    redraws = m_Backdrop.m_nRedraws;
    EXPECT_EQ(beats(300, &m_Backdrop), std::vector<int32_t>{10});
    EXPECT_EQ(m_Backdrop.m_nRedraws, redraws);
}

namespace {

// The picker on a resource file of the test's own, whose tree lacks what
// the picker looks up.
class TracePickerSetUp : public TempVolume {
protected:
    void Open(const std::vector<std::string>& blocks) {
        MakeFile("system.vrf", ResourceFileBytes(2, blocks));
        gCFRef ref(S("HD:system.vrf"));
        ASSERT_EQ(m_File.Open(&ref, eAccessReadOnly), eNoError);
        ASSERT_EQ(m_Index.SetupIndex(&m_File), eNoError);
        m_Services.m_pResFile = &m_File;
        m_Services.m_pResIndex = &m_Index;
        ASSERT_EQ(m_Backdrop.SetSize(1024, 768, 0), eNoError);
    }

    CFakeResourceServices m_Services;
    gCFile m_File;
    gCResourceIndex m_Index;
    CSMKBackdrop m_Backdrop;
};

} // namespace

TEST_F(TracePickerSetUp, AFailedSetUpLeavesNoRootBehind) {
    const CWidgetChunks root = CWidgetChunks()
                                   .Int("vsbl", 1)
                                   .Real("xsiz", 124)
                                   .Real("ysiz", 112)
                                   .Int("lbdn", 1)
                                   .Int("hrtb", 1)
                                   .Hier({{"TracePreview", "imwg"}});
    // A preview without its image (and so without the placeholder too).
    const CWidgetChunks preview =
        CWidgetChunks().Int("vsbl", 1).Real("xsiz", 96).Real("ysiz", 96);
    Open({WidgetBlock("imwg", 500, "TracePicker", root),
          WidgetBlock("imwg", 501, "TracePreview", preview)});
    ASSERT_FALSE(HasFatalFailure());
    CTracePicker picker(&m_Backdrop);
    EXPECT_EQ(picker.SetupRoot(), eResourceNotFound);
    EXPECT_EQ(picker.Root(), nullptr);
    EXPECT_EQ(picker.Menu(), nullptr);
    EXPECT_EQ(m_Backdrop.ChildCount(), 0) << "no widget is left calling the picker";

    CTracePicker homeless(nullptr);
    EXPECT_EQ(homeless.SetupRoot(), eResourceNotFound);
}
