#include <gtest/gtest.h>

#include <vector>

#include "FileIO/gCFRelative.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/FakeAppServices.h"

namespace {

class RelativeRef : public ::testing::Test {
protected:
    void SetUp() override { app.m_ApplicationRoot = "HD:Apps:Daublin:"; }

    // The detail lines of the recorded error alerts.
    std::vector<std::string> Details() const {
        std::vector<std::string> out;
        for (const auto& a : app.m_Alerts) {
            EXPECT_EQ(a.headline, "Error.");
            const std::string prefix = "Bad parameter has been passed.\n";
            EXPECT_EQ(a.text.rfind(prefix, 0), 0u) << a.text;
            out.push_back(a.text.substr(prefix.size()));
        }
        return out;
    }

    CFakeAppServices app;
};

struct RelativeCase {
    const char* text;
    const char* path;
    const char* name;
    const char* suffix;
    eFileType type;
    uint32_t macType;
    const char* relative;
};
void PrintTo(const RelativeCase& c, std::ostream* os) {
    *os << c.text;
}

class RelativeSplit : public RelativeRef, public ::testing::WithParamInterface<RelativeCase> {};

TEST_P(RelativeSplit, PartsTypeAndReferences) {
    const RelativeCase& c = GetParam();
    gCFRelative r;
    ASSERT_EQ(r.SetReference(S(c.text)), eNoError);
    EXPECT_EQ(r.IsValid(), 1);
    EXPECT_EQ(U(r.Path()), c.path);
    EXPECT_EQ(U(r.Name()), c.name);
    EXPECT_EQ(U(r.Suffix()), c.suffix);
    EXPECT_EQ(r.GetFileType(), c.type);
    EXPECT_EQ(r.GetMacType(), c.macType);
    EXPECT_EQ(U(r.RelativeReference()), c.relative);
    EXPECT_EQ(U(r.FileReference()), std::string("HD:Apps:Daublin:") + c.relative);
    EXPECT_TRUE(app.m_Alerts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RelativeSplit,
    ::testing::Values(
        RelativeCase{"system.vrf", "", "system", ".vrf", eVantorResFile, FourCC("VRES"),
                     "system.vrf"},
        RelativeCase{"Resources:Manual:manual.html", "Resources:Manual:", "manual", ".html",
                     eUnknownFileType, kNoMacType, "Resources:Manual:manual.html"},
        RelativeCase{":Data:x.txt", "Data:", "x", ".txt", eTextFile, FourCC("TEXT"), "Data:x.txt"},
        RelativeCase{"::Data:x.txt", "Data:", "x", ".txt", eTextFile, FourCC("TEXT"), "Data:x.txt"},
        RelativeCase{"readme", "", "readme", "", eUnknownFileType, kNoMacType, "readme"},
        RelativeCase{".hidden", "", ".hidden", "", eUnknownFileType, kNoMacType, ".hidden"}));

TEST_F(RelativeRef, MissingFileNameShowsBothMessages) {
    gCFRelative r;
    EXPECT_EQ(r.SetReference(S("Data:")), eBadParameter);
    EXPECT_EQ(r.IsValid(), 0);
    EXPECT_EQ(Details(), (std::vector<std::string>{"Couldn't find a file name in gCFRelative.",
                                                   "Failed to extract path data in gCFRelative."}));
}

TEST_F(RelativeRef, IllegalTextShowsOneMessage) {
    gCFRelative r;
    EXPECT_EQ(r.SetReference(S("a/b.txt")), eBadParameter);
    EXPECT_EQ(Details(), (std::vector<std::string>{"Illegal reference passed to gCFRelative."}));
}

TEST_F(RelativeRef, SetterForms) {
    gCFRelative r(S("Images:pic.png"));
    ASSERT_EQ(r.IsValid(), 1);

    EXPECT_EQ(r.SetSuffix(S("txt")), eNoError);
    EXPECT_EQ(U(r.Suffix()), ".txt");
    EXPECT_EQ(r.SetType(S("txt"), FourCC("TEXT")), eNoError);
    EXPECT_EQ(U(r.Suffix()), "txt");
    EXPECT_EQ(r.GetFileType(), eUnknownFileType);
    EXPECT_EQ(U(r.RelativeReference()), "Images:pic.txt") << "a '.' still goes before the suffix";

    EXPECT_EQ(r.SetPath(S(":Images")), eNoError);
    EXPECT_EQ(U(r.Path()), "Images:");
    EXPECT_EQ(r.SetPath(S("")), eNoError);
    EXPECT_EQ(U(r.Path()), "");

    EXPECT_EQ(r.SetType(eJPEGFile), eNoError);
    EXPECT_EQ(U(r.Suffix()), ".jpg");
    EXPECT_EQ(r.GetMacType(), FourCC("JPEG"));
    EXPECT_TRUE(app.m_Alerts.empty());
}

TEST_F(RelativeRef, RefusedInputsNameTheirCause) {
    gCFRelative r(S("pic.png"));
    EXPECT_EQ(r.SetPath(S("a*b")), eBadParameter);
    EXPECT_EQ(r.SetName(S("a?b")), eBadParameter);
    EXPECT_EQ(r.SetSuffix(S("<x>")), eBadParameter);
    EXPECT_EQ(r.SetType(S("|"), 0), eBadParameter);
    EXPECT_EQ(r.SetType(eNoFileType), eBadParameter);
    EXPECT_EQ(r.SetType(eLastTypeIndex), eBadParameter);
    EXPECT_EQ(U(r.RelativeReference()), "pic.png") << "refused inputs change nothing";
    EXPECT_EQ(Details(), (std::vector<std::string>{
                             "Illegal path reference passed to gCFRelative.",
                             "Illegal name passed to gCFRelative.",
                             "Illegal suffix passed to gCFRelative.",
                             "Illegal suffix passed to gCFRelative.",
                             "No file type passed to gCFRelative.",
                             "Out of bounds file type passed to gCFRelative.",
                         }));
}

TEST_F(RelativeRef, EmptyNameMakesItInvalid) {
    gCFRelative r(S("pic.png"));
    EXPECT_EQ(r.SetName(gCString()), eNoError);
    EXPECT_EQ(r.IsValid(), 0);
    EXPECT_EQ(U(r.FileReference()), "");
    EXPECT_EQ(Details(), (std::vector<std::string>{"Attempted to access invalid gCFRelative."}));
    r.Invalidate();
    EXPECT_EQ(r.GetFileType(), eNoFileType);
    EXPECT_FALSE(r.Exists());
}

class RelativeExists : public TempVolume {};

TEST_F(RelativeExists, FindsFilesBelowTheApplicationFolder) {
    CFakeAppServices app;
    app.m_ApplicationRoot = "HD:App:";
    MakeFile("App/Resources/system.vsf");
    EXPECT_TRUE(gCFRelative(S("Resources:system.vsf")).Exists());
    EXPECT_FALSE(gCFRelative(S("Resources:missing.vsf")).Exists());
}

} // namespace
