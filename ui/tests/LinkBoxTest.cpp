// The welcome and about boxes with the built resource file: closing by any
// key or a click on the root or its first child, the link buttons (a press
// released off a link opens nothing; released on it, exactly the link's
// xdg-open and the box closes), the web link's place, a fresh tree on every
// showing, a tree that lacks a link leaving nothing behind, the about box's
// blur, and help opening the manual beside the program.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

#include "FileIO/gCFile.h"
#include "foundation/Input.h"
#include "imaging/ImNav.h"
#include "testsupport/FileIO/ColonPath.h"
#include "ui/InterfaceText.h"
#include "ui/Links.h"
#include "ui/boxes/AboutBox.h"
#include "ui/boxes/WelcomeBox.h"
#include "ui/tests/BoxFixture.h"
#include "widgets/CoWidget.h"
#include "widgets/ImWidget.h"
#include "widgets/WidgetEffectBase.h"

namespace {

namespace fs = std::filesystem;

// A program folder of its own with (or without) the manual in it.
class CProgramFolder {
public:
    explicit CProgramFolder(bool withManual) {
        char pattern[] = "/tmp/daublin-program-XXXXXX";
        m_Folder = ::mkdtemp(pattern);
        if (withManual) {
            fs::create_directories(m_Folder + "/Resources/Manual");
            std::ofstream(m_Folder + "/Resources/Manual/index.html") << "<html></html>";
        }
    }
    ~CProgramFolder() {
        std::error_code ec;
        fs::remove_all(m_Folder, ec);
    }
    std::string m_Folder;
};

struct SBoxCase {
    const char* name;
    std::function<CLinkBox*(CSMKBackdrop&)> box;
};

const SBoxCase kBoxes[] = {
    {"welcome", [](CSMKBackdrop& b) -> CLinkBox* { return b.WelcomeBox(); }},
    {"about", [](CSMKBackdrop& b) -> CLinkBox* { return b.AboutBox(); }},
};

class LinkBoxTest : public BoxFixture {
protected:
    void SetUp() override {
        BoxFixture::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        gCString root;
        ASSERT_TRUE(ColonFolder(m_Program.m_Folder, root));
        m_Services.m_ApplicationRoot = U(root);
    }
    CLinkBox* Shown(const SBoxCase& c) {
        CLinkBox* box = c.box(m_Backdrop);
        EXPECT_NE(box, nullptr);
        EXPECT_EQ(box->Show(0), eNoError);
        m_UI.m_Calls.clear();
        return box;
    }
    void ExpectClosed(CLinkBox* box) {
        EXPECT_EQ(box->Root(), nullptr);
        EXPECT_EQ(RootsWithID(box->Ids().m_nRoot), 0) << "the tree is gone";
        EXPECT_EQ(m_Backdrop.ModalCount(), 0);
    }

    CProgramFolder m_Program{true};
};

TEST_F(LinkBoxTest, ShowingAddsTheTreeModalInFrontWithItsSound) {
    for (const SBoxCase& c : kBoxes) {
        SCOPED_TRACE(c.name);
        CLinkBox* box = c.box(m_Backdrop);
        ASSERT_EQ(box->Root(), nullptr) << "made, not built";
        m_UI.m_Calls.clear();
        ASSERT_EQ(box->Show(1), eNoError);
        ASSERT_NE(box->Root(), nullptr);
        EXPECT_EQ(m_Backdrop.Child(0), box->Root()) << "in front";
        EXPECT_EQ(box->Root()->Width(), 1024) << "over the whole window";
        EXPECT_EQ(m_Backdrop.TopModal(), box->Root());
        ASSERT_EQ(box->Show(1), eNoError) << "asked again while up";
        EXPECT_EQ(m_Backdrop.ModalCount(), 1);
        EXPECT_EQ(Sounds(), std::vector<int64_t>{2});
        // The web link sits 413 right of the reference's left edge.
        CWidget* reference = box->Root()->FindByID(box->Ids().m_nReference);
        CWidget* web = box->Root()->FindByID(box->Ids().m_nWebLink);
        EXPECT_EQ(web->Rect().left, reference->Rect().left + CLinkBox::kWebLinkOffset);
        ASSERT_EQ(Key('q'), eNoError);
    }
}

TEST_F(LinkBoxTest, AnyKeyOrAClickOnTheRootOrItsFirstChildClosesIt) {
    struct SClose {
        const char* name;
        std::function<error(LinkBoxTest&, CLinkBox*)> close;
    };
    const SClose kCloses[] = {
        {"letter", [](LinkBoxTest& t, CLinkBox*) { return t.Key('a'); }},
        {"Escape", [](LinkBoxTest& t, CLinkBox*) { return t.Key(kKeyCodeEscape); }},
        {"Return", [](LinkBoxTest& t, CLinkBox*) { return t.Key(kKeyCodeReturn); }},
        {"click on the root",
         [](LinkBoxTest& t, CLinkBox*) {
             CWidget* taken = nullptr;
             gCPoint corner(3, 3); // the veil, outside the box
             return t.m_Backdrop.PassButtonDownL(taken, corner);
         }},
        {"click on the box",
         [](LinkBoxTest& t, CLinkBox* box) {
             CWidget* taken = nullptr;
             gCPoint at = t.CentreOf(box->Root()->Child(0));
             at.y = box->Root()->Child(0)->Rect().top + 4; // glass, no button
             return t.m_Backdrop.PassButtonDownL(taken, at);
         }},
    };
    for (const SBoxCase& c : kBoxes) {
        for (const SClose& how : kCloses) {
            SCOPED_TRACE(std::string(c.name) + ", " + how.name);
            CLinkBox* box = Shown(c);
            ASSERT_EQ(how.close(*this, box), eNoError);
            ExpectClosed(box);
            EXPECT_EQ(Sounds(), std::vector<int64_t>{3}) << "only the closing sound";
            EXPECT_TRUE(m_aLaunched.empty());
        }
    }
}

TEST_F(LinkBoxTest, ALinkOpensOnlyWhenReleasedOnItAndThenCloses) {
    const std::string manual = fs::path(m_Program.m_Folder + "/Resources/Manual/index.html");
    const std::string web = Links::FileUrl(manual);
    for (const SBoxCase& c : kBoxes) {
        const struct {
            const char* name;
            bool payment;
            std::deque<CWidget*> path; // pointer while held (null: off)
            std::vector<std::vector<std::string>> launched;
        } kCases[] = {
            {"web", false, {}, {{"xdg-open", web}}},
            {"payment", true, {}, {{"xdg-open", web + "#support"}}},
            {"web released off it", false, {nullptr}, {}},
            {"payment released off it", true, {nullptr}, {}},
        };
        for (const auto& k : kCases) {
            SCOPED_TRACE(std::string(c.name) + ", " + k.name);
            m_aLaunched.clear();
            CLinkBox* box = Shown(c);
            const CLinkBox::SIds& ids = box->Ids();
            ASSERT_EQ(Click(box->Root()->FindByID(k.payment ? ids.m_nPaymentLink : ids.m_nWebLink),
                            k.path),
                      eNoError);
            EXPECT_EQ(m_aLaunched, k.launched);
            if (k.launched.empty()) {
                EXPECT_EQ(m_Backdrop.TopModal(), box->Root()) << "the box stays";
                ASSERT_EQ(Key(kKeyCodeEscape), eNoError);
            } else {
                ExpectClosed(box);
                EXPECT_EQ(Sounds(), std::vector<int64_t>{3}) << "no click sound";
            }
        }
    }
}

TEST_F(LinkBoxTest, EachShowingBuildsTheTreeAnew) {
    for (const SBoxCase& c : kBoxes) {
        SCOPED_TRACE(c.name);
        CLinkBox* box = Shown(c);
        CWidget* payment = box->Root()->FindByID(box->Ids().m_nPaymentLink);
        ASSERT_NE(payment->EffectUnder(0), nullptr);
        // Lit, then closed: nothing of it comes back.
        ASSERT_EQ(payment->EffectUnder(0)->SetOpacity(255, 0), eNoError);
        CWidget* first = box->Root();
        ASSERT_EQ(Key('x'), eNoError);
        box = Shown(c);
        EXPECT_NE(box->Root(), nullptr);
        payment = box->Root()->FindByID(box->Ids().m_nPaymentLink);
        EXPECT_EQ(payment->EffectUnder(0)->Opacity(), 0u);
        EXPECT_EQ(RootsWithID(box->Ids().m_nRoot), 1);
        (void)first; // deleted with its tree
        ASSERT_EQ(Key('x'), eNoError);
    }
}

// A box whose tree lacks a link: the welcome tree asked for a payment link
// it does not have.
class CLacking : public CLinkBox {
public:
    explicit CLacking(CBackdrop* b) : CLinkBox(b, SIds{2400, 2433, 2434, 2499}) {}

protected:
    CWidget* CreateRoot() override {
        return CCoWidget::CreateFromRes(int32_t(Ids().m_nRoot), nullptr, nullptr);
    }
};

TEST_F(LinkBoxTest, ATreeWithoutALinkLeavesNothingBehind) {
    CLacking box(&m_Backdrop);
    CWidget* other = m_Backdrop.FindByID(5);
    ASSERT_EQ(m_Backdrop.DoModal(other), eNoError);
    const int32_t children = m_Backdrop.ChildCount();
    EXPECT_EQ(box.Show(1), eResourceNotFound);
    EXPECT_EQ(box.Root(), nullptr);
    EXPECT_EQ(RootsWithID(2400), 0);
    EXPECT_EQ(m_Backdrop.ChildCount(), children);
    EXPECT_EQ(m_Backdrop.ModalCount(), 1);
    EXPECT_EQ(m_Backdrop.TopModal(), other);
    EXPECT_TRUE(Sounds().empty());
    m_Backdrop.EndModal();
}

TEST_F(LinkBoxTest, HidingLeavesAnotherModalWidgetOnTop) {
    CLinkBox* box = Shown(kBoxes[0]);
    CWidget* other = m_Backdrop.FindByID(5);
    ASSERT_EQ(m_Backdrop.DoModal(other), eNoError);
    EXPECT_EQ(box->Hide(0), eNoError);
    EXPECT_EQ(m_Backdrop.TopModal(), other) << "not popped: the box was not on top";
    EXPECT_EQ(m_Backdrop.ModalCount(), 1) << "the removed root left the stack with its tree";
    m_Backdrop.EndModal();
}

// The about box's blur, over a window covered by a striped picture.
class AboutBlurTest : public LinkBoxTest {
protected:
    void SetUp() override {
        LinkBoxTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        m_pStripes = new CImWidget;
        ASSERT_EQ(m_Backdrop.AddChild(m_pStripes, 0), eNoError);
        ASSERT_EQ(m_pStripes->SetSize(1024, 768, 0), eNoError);
        ASSERT_EQ(m_pStripes->SetVisibility(1, 0), eNoError);
    }
    // Stripes of the given width across (vertical) or down (horizontal).
    void Paint(bool vertical, int32_t width, uint32_t light = 0xFFFFFFFF) {
        CImNav view(m_pStripes->Image());
        ASSERT_TRUE(view.IsLocked());
        for (int32_t y = 0; y < 768; ++y) {
            for (int32_t x = 0; x < 1024; ++x) {
                const int32_t band = (vertical ? x : y) / width;
                view.Row(y)[x] = band % 2 ? 0xFF000000 : light;
            }
        }
        ASSERT_EQ(m_pStripes->AlphaChanged(0), eNoError);
    }
    std::vector<uint32_t> Pixels(CImage* image) {
        std::vector<uint32_t> pixels;
        CImNav view(image);
        for (int32_t y = 0; y < image->GetHeight(); ++y) {
            for (int32_t x = 0; x < image->GetWidth(); ++x) {
                pixels.push_back(view.Row(y)[x]);
            }
        }
        return pixels;
    }
    CImage* BoxImage() {
        return static_cast<CImWidget*>(m_Backdrop.AboutBox()->Root())->Image();
    }
    uint32_t Red(int32_t x, int32_t y) {
        CImNav view(BoxImage());
        return (uint32_t(view.Row(y)[x]) >> 16) & 0xFF;
    }

    CImWidget* m_pStripes = nullptr;
};

TEST_F(AboutBlurTest, NarrowRowsBlurFlatAndWideColumnsSurvive) {
    Paint(false, 8);
    ASSERT_EQ(m_Backdrop.AboutBox()->Show(0), eNoError);
    uint32_t lo = 255, hi = 0;
    for (int32_t y = 200; y < 568; ++y) {
        lo = std::min(lo, Red(20, y));
        hi = std::max(hi, Red(20, y));
    }
    EXPECT_LE(hi - lo, 12u) << "black and white 8-row stripes are nearly flat";
    EXPECT_NEAR(double(lo + hi) / 2.0, 127.5, 12.0);
    ASSERT_EQ(Key('x'), eNoError);

    Paint(true, 64);
    ASSERT_EQ(m_Backdrop.AboutBox()->Show(0), eNoError);
    EXPECT_GE(Red(32, 384), 240u) << "the blur runs down, not across";
    EXPECT_LE(Red(96, 384), 15u);
    ASSERT_EQ(Key('x'), eNoError);
}

TEST_F(AboutBlurTest, TheBackBufferIsOnlyReadAndTheBlurIsAPicture) {
    Paint(true, 64);
    ASSERT_EQ(m_Backdrop.RedrawNoShow(), eNoError);
    const std::vector<uint32_t> before = Pixels(m_Backdrop.BackBuffer());
    ASSERT_EQ(m_Backdrop.AboutBox()->Show(0), eNoError);
    EXPECT_EQ(Pixels(m_Backdrop.BackBuffer()), before) << "no corner used as scratch";
    const std::vector<uint32_t> shown = Pixels(BoxImage());
    // Painting behind the open box: the box keeps the picture it took.
    Paint(true, 64, 0xFF808080);
    ASSERT_EQ(m_Backdrop.RedrawNoShow(), eNoError);
    EXPECT_EQ(Pixels(BoxImage()), shown);
    ASSERT_EQ(Key('x'), eNoError);
}

TEST_F(LinkBoxTest, TheAboutCommandShowsTheAboutBox) {
    gCCmdTarget::SetUIModule(&m_Backdrop);
    EXPECT_EQ(m_Backdrop.ProcessData(eCmdShowAbout, nullptr, 0, 1), 0);
    EXPECT_NE(m_Backdrop.AboutBox()->Root(), nullptr);
    EXPECT_EQ(m_Backdrop.TopModal(), m_Backdrop.AboutBox()->Root());
    ASSERT_EQ(Key(kKeyCodeEscape), eNoError);
    EXPECT_EQ(m_Backdrop.AboutBox()->Root(), nullptr);
    EXPECT_EQ(m_Backdrop.ShowWelcome(), eNoError);
    EXPECT_NE(m_Backdrop.WelcomeBox()->Root(), nullptr);
    ASSERT_EQ(Key(kKeyCodeEscape), eNoError);
}

// Help: the command and both keys open the manual beside the program; a
// missing manual is one alert with the manual's text, and the command
// still answers 0.
TEST_F(LinkBoxTest, HelpOpensTheManualOrSaysOnceThatItCannot) {
    gCCmdTarget::SetUIModule(&m_Backdrop);
    const std::string manual = m_Program.m_Folder + "/Resources/Manual/index.html";
    const std::vector<std::vector<std::string>> opened{{"xdg-open", manual}};
    EXPECT_EQ(m_Backdrop.ProcessData(eCmdShowHelp, nullptr, 0, 1), 0);
    EXPECT_EQ(m_aLaunched, opened);
    for (const uint32_t key : {uint32_t('?'), kKeyCodeF1}) {
        m_aLaunched.clear();
        CWidget* taken = nullptr;
        EXPECT_EQ(m_Backdrop.KeyDown(taken, key), eNoError);
        EXPECT_EQ(m_aLaunched, opened);
    }
    EXPECT_TRUE(m_Services.m_Alerts.empty());

    fs::remove(manual);
    m_aLaunched.clear();
    EXPECT_EQ(m_Backdrop.ProcessData(eCmdShowHelp, nullptr, 0, 1), 0);
    EXPECT_TRUE(m_aLaunched.empty());
    ASSERT_EQ(m_Services.m_Alerts.size(), 1u);
    EXPECT_NE(m_Services.m_Alerts[0].text.find(U(InterfaceText(0xB2D05E0A))), std::string::npos);
}

} // namespace

namespace {

// A first run (no preferences file) greets with the welcome box; an empty
// preferences file is no first run.
TEST_F(LinkBoxTest, AFirstRunShowsTheWelcomeBoxAndAKnownOneDoesNot) {
    const char* kept = std::getenv("XDG_CONFIG_HOME");
    const std::string keptFolder = kept ? kept : "";
    CProgramFolder config(false);
    ASSERT_EQ(::setenv("XDG_CONFIG_HOME", config.m_Folder.c_str(), 1), 0);
    for (const bool known : {false, true}) {
        SCOPED_TRACE(known ? "known" : "first run");
        if (known) {
            fs::create_directories(config.m_Folder + "/daublin");
            std::ofstream(config.m_Folder + "/daublin/Daublin.prs").flush();
        }
        CSMKBackdrop backdrop;
        gCFile prefs;
        EXPECT_EQ(backdrop.GetPrefsFile(&prefs) == eHandled, !known);
        (void)prefs.Close();
        ASSERT_EQ(backdrop.GetFromRes(S("Daublin"), &m_File, nullptr), eNoError);
        ASSERT_EQ(backdrop.SetSize(1024, 768, 0), eNoError);
        ASSERT_EQ(backdrop.SetupInterface(), eNoError);
        CWidget* welcome = backdrop.WelcomeBox()->Root();
        if (known) {
            EXPECT_EQ(welcome, nullptr);
            EXPECT_EQ(backdrop.ModalCount(), 0);
        } else {
            ASSERT_NE(welcome, nullptr);
            EXPECT_EQ(backdrop.TopModal(), welcome);
            EXPECT_EQ(welcome->Visible(), 1);
        }
    }
    ASSERT_EQ(::setenv("XDG_CONFIG_HOME", keptFolder.c_str(), 1), 0);
}

} // namespace
