// The new-painting panel with the built resource file: the sizes it sends
// (each side within 100..5000; a field without a number refuses to
// create), the keys of the fields and the panel, the paper, the colour
// taken from the chooser and the tracing image reaching eCmdNewProject, the
// modified flag put back after the save prompt's discard, the tracing
// indicators, and a tracing file that is no picture.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FileIO/FileTypes.h"
#include "foundation/Input.h"
#include "foundation/Utf8.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/ImageIO.h"
#include "paint/ChannelValue.h"
#include "paint/canvas/Canvas.h"
#include "paint/project/ProjectInfo.h"
#include "paint/relight/StandardRenderer.h"
#include "testsupport/FileIO/ColonPath.h"
#include "testsupport/FileIO/ScriptedDialog.h"
#include "text/TxEdWidget.h"
#include "text/TxWidget.h"
#include "ui/InterfaceText.h"
#include "ui/boxes/NewFile.h"
#include "ui/tests/BoxFixture.h"
#include "widgets/CoWidget.h"
#include "widgets/ImWidget.h"
#include "widgets/WidgetEffectBase.h"

namespace {

namespace fs = std::filesystem;

// The backbone's view of what the panel sends: a copy of every new
// painting, and every modified flag set.
class CProjectCatcher : public gCCmdTarget {
public:
    int32_t ProcessData(uint32_t id, const void*, int64_t value, int32_t) override {
        if (id == eCmdNewProject) {
            const CProjectInfo* info = ChannelPointer<CProjectInfo>(value);
            projects.push_back({info->m_nWidth, info->m_nHeight, info->m_nPaperTexture,
                                info->m_nCanvasSetting, gStringToUtf8(info->m_TracingPath),
                                gStringToUtf8(info->m_Name)});
        } else if (id == eCmdModified) {
            modified.push_back(*ChannelPointer<int32_t>(value));
        }
        return 0;
    }
    struct SProject {
        int32_t width, height;
        uint32_t paper, colour;
        std::string tracing, name;
    };
    std::vector<SProject> projects;
    std::vector<int32_t> modified;
};

class NewFileTest : public BoxFixture {
public:
    void SetUp() override {
        BoxFixture::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        gCCmdTarget::SetBackboneModule(&m_Catcher);
        m_pPanel = m_Backdrop.NewFile();
        ASSERT_NE(m_pPanel, nullptr);
        char pattern[] = "/tmp/daublin-newfile-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_Folder = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(m_Folder, ec);
        BoxFixture::TearDown();
    }
    void Open() {
        ASSERT_EQ(m_pPanel->Show(0), eNoError);
        m_UI.m_Calls.clear();
    }
    CWidget* W(uint32_t id) { return m_pPanel->Root()->FindByID(id); }
    // A label's or a field's text.
    std::string Text(uint32_t id) {
        if (auto* label = dynamic_cast<CTxWidget*>(W(id))) {
            return gStringToUtf8(label->String());
        }
        auto* field = dynamic_cast<CTxImWidget*>(W(id));
        return field ? gStringToUtf8(field->String()) : "(none)";
    }
    void Type(CTxEdWidget* field, const char* text) {
        gCString s;
        ASSERT_EQ(gStringFromUtf8(s, text), eNoError);
        // The program's own SetText refuses what the field cannot hold; a
        // painter can still empty it.
        if (s.GetLength() == 0) {
            ASSERT_EQ(field->DeleteSelectedText(1, 0), eNoError);
        } else {
            ASSERT_EQ(field->SetText(s, 1, 0), eNoError);
        }
    }
    // A picture file of that size in the test's folder; its colon path.
    std::string Picture(const char* name, int32_t width, int32_t height) {
        CImage image(width, height);
        gCString folder;
        EXPECT_TRUE(ColonFolder(m_Folder, folder));
        const std::string colon = U(folder) + name;
        EXPECT_EQ(gCImageIO::WriteImage(S(colon.c_str()), image, ePNGFile), eNoError);
        return colon;
    }
    // The tracing button pressed with the dialog answering the file.
    void ChooseTracing(const std::string& posix) {
        CScriptedDialog dialog;
        dialog.answers.push_back({eNoError, posix});
        ASSERT_EQ(Click(W(CNewFile::kTracingButtonID)), eNoError);
    }
    void Create() { ASSERT_EQ(Click(W(CNewFile::kCreateID)), eNoError); }

    CProjectCatcher m_Catcher;
    CNewFile* m_pPanel = nullptr;
    std::string m_Folder;
};

TEST_F(NewFileTest, ShowingStartsAfreshOverTheWindow) {
    Open();
    EXPECT_EQ(m_Backdrop.TopModal(), m_pPanel->Root());
    EXPECT_EQ(m_Backdrop.Child(0), m_pPanel->Root());
    EXPECT_EQ(Sounds(), std::vector<int64_t>{});
    EXPECT_EQ(Text(CNewFile::kWidthFieldID), "1024");
    EXPECT_EQ(Text(CNewFile::kHeightFieldID), "768");
    EXPECT_EQ(Text(CNewFile::kWidthLabelID), "Window: 1024");
    EXPECT_EQ(m_pPanel->WidthField()->m_nMaxLength, 4);
    EXPECT_EQ(m_Backdrop.FocusWidget(), m_pPanel->WidthField());
    EXPECT_EQ(uint32_t(m_pPanel->Swatch()->GetClientColour()), CNewFile::kDefaultColour);
    // The first paper is lit from the first frame, before any heartbeat.
    EXPECT_EQ(W(CNewFile::kFirstPaperID)->Child(0)->EffectUnder(0)->Opacity(), 255);
    EXPECT_EQ(W(CNewFile::kFirstPaperID + 1)->Child(0)->EffectUnder(0)->Opacity(), 0);
    // The two size buttons sit 20 apart either side of the centre.
    EXPECT_EQ(W(CNewFile::kSizeToTracingID)->Rect().right + 20,
              W(CNewFile::kWindowSizeID)->Rect().left);
    EXPECT_EQ(W(CNewFile::kWindowSizeID)->Rect().left, 512 + 10);
    EXPECT_EQ(W(CNewFile::kTracingNameID)->Rect().left,
              W(CNewFile::kTracingButtonID)->Rect().right + 10);
    ASSERT_EQ(m_pPanel->Show(1), eNoError) << "asked again while up";
    EXPECT_EQ(m_Backdrop.ModalCount(), 1);
    EXPECT_TRUE(Sounds().empty());
}

TEST_F(NewFileTest, TheSizesSentAreWithinThePaintingsRange) {
    const struct {
        const char *width, *height;
        int32_t sentWidth, sentHeight; // -1: refused
    } kCases[] = {
        {"50", "600", 100, 600},   {"-5", "600", 100, 600},  {"9999", "99", 5000, 100},
        {"5000", "5000", 5000, 5000}, {"", "600", -1, -1},   {"640", "", -1, -1},
        {"100", "100", 100, 100},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.width) + " x " + c.height);
        m_Catcher.projects.clear();
        Open();
        Type(m_pPanel->WidthField(), c.width);
        Type(m_pPanel->HeightField(), c.height);
        if (c.sentWidth < 0) {
            EXPECT_EQ(m_pPanel->Hide(1, 1), eBadParameter);
            EXPECT_NE(m_pPanel->Root(), nullptr) << "the panel stays";
            ASSERT_EQ(Key(kKeyCodeEscape), eNoError) << "the field gives the key up";
            ASSERT_EQ(Key(kKeyCodeReturn), eNoError) << "Return refuses too";
            EXPECT_NE(m_pPanel->Root(), nullptr);
            ASSERT_EQ(Click(W(CNewFile::kCancelID)), eNoError) << "cancel still closes";
            EXPECT_EQ(m_pPanel->Root(), nullptr);
            EXPECT_TRUE(m_Catcher.projects.empty());
            continue;
        }
        Create();
        EXPECT_EQ(m_pPanel->Root(), nullptr);
        ASSERT_EQ(m_Catcher.projects.size(), 1u);
        EXPECT_EQ(m_Catcher.projects[0].width, c.sentWidth);
        EXPECT_EQ(m_Catcher.projects[0].height, c.sentHeight);
        EXPECT_EQ(m_Catcher.projects[0].name, U(InterfaceText(0xB2D05E03)));
        EXPECT_EQ(Sounds(), (std::vector<int64_t>{0, 3}));
        EXPECT_EQ(m_Backdrop.ModalCount(), 0);
    }
}

TEST_F(NewFileTest, ReturnInAFieldEndsTypingASecondCreatesAndTabAlternates) {
    Open();
    CTxEdWidget* width = m_pPanel->WidthField();
    CTxEdWidget* height = m_pPanel->HeightField();
    ASSERT_EQ(Key(kKeyCodeTab), eNoError);
    EXPECT_EQ(m_Backdrop.FocusWidget(), height);
    ASSERT_EQ(Key(kKeyCodeTab), eNoError);
    EXPECT_EQ(m_Backdrop.FocusWidget(), width);
    ASSERT_EQ(Key(kKeyCodeReturn), eNoError);
    EXPECT_EQ(m_Backdrop.FocusWidget(), m_pPanel->Root()) << "only the focus moved";
    EXPECT_TRUE(m_Catcher.projects.empty());
    ASSERT_EQ(Key(kKeyCodeReturn), eNoError);
    EXPECT_EQ(m_pPanel->Root(), nullptr);
    ASSERT_EQ(m_Catcher.projects.size(), 1u);
    EXPECT_EQ(m_Catcher.projects[0].width, 1024);
}

// Each paper option shows its paper as a new canvas of that paper shows
// it: the preview the panel draws is, pixel for pixel, a canvas of the
// preview's size on the default paper colour lit by the standard renderer.
TEST_F(NewFileTest, EachPaperOptionShowsItsPaperLitAsTheCanvasShowsIt) {
    Open();
    std::vector<std::vector<uint32_t>> shown;
    for (uint32_t texture = 0; texture < 4; ++texture) {
        SCOPED_TRACE(texture);
        CWidget* option = W(CNewFile::kFirstPaperID + texture);
        ASSERT_NE(option, nullptr);
        auto* preview = dynamic_cast<CImWidget*>(option->Child(0));
        ASSERT_NE(preview, nullptr);
        ASSERT_NE(preview->Image(), nullptr);
        CImNav view(preview->Image());
        const int32_t width = view.GetWidth(), height = view.GetHeight();
        EXPECT_EQ(width, preview->Width());
        EXPECT_EQ(height, preview->Height());

        CCanvas canvas;
        CProjectInfo info; // the default paper colour
        info.m_nWidth = width;
        info.m_nHeight = height;
        info.m_nPaperTexture = texture;
        ASSERT_EQ(canvas.CreateProject(&info), eNoError);
        CStandardRenderer renderer;
        ASSERT_EQ(renderer.SetupRenderer(), eNoError);
        CImage lit(width, height);
        ASSERT_EQ(renderer.Render(&lit, canvas, 1), eNoError);
        CImNav litView(&lit);
        std::vector<uint32_t> pixels;
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                ASSERT_EQ(uint32_t(view.Row(y)[x]), uint32_t(litView.Row(y)[x])) << x << "," << y;
                pixels.push_back(uint32_t(view.Row(y)[x]));
            }
        }
        // Lit grain, not a flat tile: light and shade both show.
        const auto [low, high] = std::minmax_element(pixels.begin(), pixels.end());
        EXPECT_GE((*high & 0xFFu) - (*low & 0xFFu), 8u);
        shown.push_back(pixels);
    }
    for (size_t i = 1; i < shown.size(); ++i) {
        EXPECT_NE(shown[i], shown[i - 1]);
    }
}

TEST_F(NewFileTest, PaperColourAndTracingReachTheNewPainting) {
    const std::string picture = Picture("trace.png", 300, 200);
    Open();
    ASSERT_EQ(Click(W(CNewFile::kFirstPaperID + 2)), eNoError);
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(W(CNewFile::kFirstPaperID + uint32_t(i))->GetUserData(0), i == 2 ? 1u : 0u);
    }
    // The colour dragged from the chooser's second tint.
    CWidget* tint = m_Backdrop.FindByID(2321);
    CCoWidget* swatch = m_pPanel->Swatch();
    m_Backdrop.m_pPointed = swatch;
    m_Services.m_fLButton = 1;
    int32_t beats = 0;
    m_Services.m_OnPump = [&]() {
        if (++beats == 3) {
            // What the window's redraw puts in the back buffer: the chooser.
            ASSERT_EQ(m_Backdrop.RedrawNoShow(), eNoError);
            m_Services.m_CursorLoc = CentreOf(tint);
            m_Backdrop.m_pPointed = tint;
        } else if (beats == 5) {
            // Outside the window: ignored, the colour stays.
            m_Services.m_CursorLoc = gCPoint(-20, -20);
            m_Backdrop.m_pPointed = m_Backdrop.FindByID(2322);
        } else if (beats == 7) {
            m_Services.m_fLButton = 0;
        }
    };
    CWidget* taken = nullptr;
    gCPoint at = CentreOf(swatch);
    ASSERT_EQ(m_Backdrop.PassButtonDownL(taken, at), eNoError);
    m_Services.m_OnPump = nullptr;
    EXPECT_EQ(uint32_t(swatch->GetClientColour()), 0xFFF3EAD8u);
    EXPECT_EQ(m_Backdrop.FindByID(2300)->Visible(), 0) << "the chooser went with the release";
    EXPECT_EQ(m_Backdrop.TopModal(), m_pPanel->Root());

    ChooseTracing(m_Folder + "/trace.png");
    ASSERT_NE(m_pPanel->TracingRef(), nullptr);
    Create();
    ASSERT_EQ(m_Catcher.projects.size(), 1u);
    EXPECT_EQ(m_Catcher.projects[0].paper, 2u);
    EXPECT_EQ(m_Catcher.projects[0].colour, 0xFFF3EAD8u);
    EXPECT_EQ(m_Catcher.projects[0].tracing, picture);
}

TEST_F(NewFileTest, TheTracingIndicatorsFollowTheChoice) {
    Picture("wide.png", 6000, 800);
    Open();
    CWidget* sizeButton = W(CNewFile::kSizeToTracingID);
    const auto expectNone = [&]() {
        EXPECT_EQ(m_pPanel->TracingRef(), nullptr);
        EXPECT_EQ(m_pPanel->TracingWidth(), -1);
        EXPECT_EQ(sizeButton->Active(), 0);
        EXPECT_EQ(sizeButton->Opacity(), 40u);
        EXPECT_EQ(Text(CNewFile::kTracingNameID), U(InterfaceText(2092)));
        EXPECT_EQ(W(CNewFile::kTracingNameID)->Opacity(), 80u);
        EXPECT_EQ(gStringToUtf8(dynamic_cast<CTxWidget*>(W(CNewFile::kTracingButtonID)->Child(0))
                                    ->String()),
                  "Choose a tracing image...");
    };
    expectNone();
    ChooseTracing(m_Folder + "/wide.png");
    EXPECT_EQ(sizeButton->Active(), 1);
    EXPECT_EQ(sizeButton->Opacity(), 255u);
    EXPECT_EQ(Text(CNewFile::kTracingNameID), "wide.png");
    EXPECT_EQ(W(CNewFile::kTracingNameID)->Opacity(), 160u);
    EXPECT_EQ(gStringToUtf8(
                  dynamic_cast<CTxWidget*>(W(CNewFile::kTracingButtonID)->Child(0))->String()),
              "Remove the tracing image");
    // Sized to it: fitted into 5000 x 5000.
    ASSERT_EQ(Click(sizeButton), eNoError);
    EXPECT_EQ(Text(CNewFile::kWidthFieldID), "5000");
    EXPECT_EQ(Text(CNewFile::kHeightFieldID), "667");
    // The window's size back, then the image removed.
    ASSERT_EQ(Click(W(CNewFile::kWindowSizeID)), eNoError);
    EXPECT_EQ(Text(CNewFile::kWidthFieldID), "1024");
    ASSERT_EQ(Click(W(CNewFile::kTracingButtonID)), eNoError);
    expectNone();
    EXPECT_TRUE(m_Services.m_Alerts.empty());
}

TEST_F(NewFileTest, ATracingFileThatIsNoPictureChangesNothingAndIsShownOnce) {
    Picture("good.png", 320, 240);
    std::ofstream(m_Folder + "/bad.png") << "not a picture";
    Open();
    ChooseTracing(m_Folder + "/good.png");
    ASSERT_EQ(m_pPanel->TracingWidth(), 320);
    // The button now removes; choose again through the panel's own call.
    CScriptedDialog dialog;
    dialog.answers.push_back({eNoError, m_Folder + "/bad.png"});
    EXPECT_EQ(m_pPanel->PreloadTracingPaper(), eNoError) << "shown, so answered";
    ASSERT_EQ(m_Services.m_Alerts.size(), 1u);
    EXPECT_NE(m_Services.m_Alerts[0].text.find(U(InterfaceText(0xB2D05E13))), std::string::npos);
    EXPECT_NE(m_Services.m_Alerts[0].text.find(m_Folder + "/bad.png"), std::string::npos);
    ASSERT_NE(m_pPanel->TracingRef(), nullptr);
    EXPECT_EQ(gStringToUtf8(m_pPanel->TracingRef()->FileName()), "good");
    EXPECT_EQ(m_pPanel->TracingWidth(), 320);
    EXPECT_EQ(m_pPanel->TracingHeight(), 240);
    EXPECT_EQ(Text(CNewFile::kTracingNameID), "good.png");
    // A cancelled dialog changes nothing and shows nothing.
    EXPECT_EQ(m_pPanel->PreloadTracingPaper(), eNoError);
    EXPECT_EQ(m_Services.m_Alerts.size(), 1u);
    EXPECT_EQ(m_pPanel->TracingWidth(), 320);
    // The next showing forgets it.
    ASSERT_EQ(Key(kKeyCodeEscape), eNoError);
    ASSERT_EQ(Key(kKeyCodeEscape), eNoError);
    Open();
    EXPECT_EQ(m_pPanel->TracingRef(), nullptr);
}

TEST_F(NewFileTest, CancelledAfterADiscardTheModifiedFlagComesBack) {
    const struct {
        const char* name;
        int32_t restore, recorded;
        std::vector<int32_t> sent;
    } kCases[] = {
        {"after a discard", 1, 1, {1}},
        {"after a discard of an unmodified flag", 1, 0, {0}},
        {"without a prompt", 0, 1, {}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        m_Catcher.modified.clear();
        Open();
        m_Backdrop.SetRestoreModified(c.restore);
        m_Backdrop.SetPromptModified(c.recorded);
        ASSERT_EQ(Key(kKeyCodeEscape), eNoError); // the field gives the key up
        ASSERT_EQ(Key(kKeyCodeEscape), eNoError); // the panel closes
        EXPECT_EQ(m_pPanel->Root(), nullptr);
        EXPECT_EQ(m_Catcher.modified, c.sent);
        EXPECT_EQ(m_Backdrop.RestoreModified(), 0);
        EXPECT_TRUE(m_Catcher.projects.empty());
    }
}

TEST(NewFileSizes, ATracingImageIsFittedIntoTheLargestPainting) {
    const struct {
        int32_t w, h, fw, fh;
    } kCases[] = {
        {6000, 800, 5000, 667}, {800, 6000, 667, 5000}, {300, 200, 300, 200},
        {5000, 5000, 5000, 5000}, {10000, 1, 5000, 1}, {7000, 7000, 5000, 5000},
    };
    for (const auto& c : kCases) {
        const gCPoint fitted = CNewFile::FittedSize(c.w, c.h);
        EXPECT_EQ(fitted.x, c.fw) << c.w << " x " << c.h;
        EXPECT_EQ(fitted.y, c.fh) << c.w << " x " << c.h;
    }
}

} // namespace
