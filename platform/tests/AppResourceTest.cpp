#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "FileIO/VolumeTable.h"
#include "FileIO/gCFRelative.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "FileIO/gCStringTable.h"
#include "foundation/Utf8.h"
#include "testsupport/platform/TestApp.h"

namespace {

constexpr uint32_t kTagVersion = 0x76657273; // 'vers'
constexpr uint32_t kTagText = 0x74657874;    // 'text'

gCString Text(const char16_t* units) {
    gCString s;
    EXPECT_EQ(s.CopyString(units), eNoError);
    return s;
}

// An application whose folder is a fresh temporary folder with an empty
// "Resources" folder in it.
class AppResources : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/daublin-app-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_Folder = pattern;
        ASSERT_TRUE(std::filesystem::create_directory(m_Folder + "/Resources"));
        std::u16string colon;
        ASSERT_EQ(gCVolumeTable::PosixToColon(m_Folder, colon), eNoError);
        colon.push_back(u':');
        gCString root;
        ASSERT_EQ(root.CopyStringFromBuffer(colon.data(), int32_t(colon.size())), eNoError);
        app.SetAppRoot(root);
        app.SetResFolder(u"Resources");
    }
    void TearDown() override { std::filesystem::remove_all(m_Folder); }

    // Writes a resource file with the toolkit's writer: the version block,
    // then one text block per name (ids from 100), and when damaged a last
    // block whose size runs past the end of the file.
    void WriteResourceFile(std::initializer_list<const char16_t*> names, bool damaged = false) {
        gCFile file;
        gCFRelative where(Text(u"Resources:system.vrf"));
        ASSERT_EQ(file.Open(&where, eAccessWholeNew), eNoError);
        ASSERT_EQ(file.WriteUint32(kTagVersion), eNoError);
        ASSERT_EQ(file.WriteInt32(4), eNoError);
        ASSERT_EQ(file.WriteInt32(2), eNoError);
        int32_t id = 100;
        for (const char16_t* name : names) {
            const gCString text = Text(name);
            ASSERT_EQ(file.WriteUint32(kTagText), eNoError);
            ASSERT_EQ(file.WriteInt32(4 + (text.GetLength() + 2) * 2 + 4), eNoError);
            ASSERT_EQ(file.WriteInt32(id++), eNoError);
            ASSERT_EQ(file.WriteString(text, 1), eNoError);
            ASSERT_EQ(file.WriteInt32(0), eNoError); // payload
        }
        if (damaged) {
            ASSERT_EQ(file.WriteUint32(kTagText), eNoError);
            ASSERT_EQ(file.WriteInt32(1000), eNoError);
        }
        ASSERT_EQ(file.Close(), eNoError);
    }

    void WriteStringTable() {
        gCFile file;
        gCFRelative where(Text(u"Resources:system.vsf"));
        ASSERT_EQ(file.Open(&where, eAccessWholeNew), eNoError);
        const struct {
            uint32_t id;
            const char16_t* name;
            const char16_t* text;
        } records[] = {{3000000000u, u"Welcome", u"Welcome to Daublin"},
                       {3000000001u, u"Quit", u"Quit"}};
        for (const auto& r : records) {
            ASSERT_EQ(file.WriteUint32(r.id), eNoError);
            ASSERT_EQ(file.WriteInt32(0), eNoError);
            ASSERT_EQ(file.WriteString(Text(r.name), 1), eNoError);
            ASSERT_EQ(file.WriteString(Text(r.text), 1), eNoError);
        }
        ASSERT_EQ(file.Close(), eNoError);
    }

    CTestApp app;
    std::string m_Folder;
};

TEST_F(AppResources, WithoutTheResourceFileNothingLoadsAndStartUpGoesOn) {
    WriteStringTable(); // present, but not read without the resource file
    EXPECT_EQ(app.InitResFile(), eNoError);
    EXPECT_EQ(app.GetResFile(), nullptr);
    EXPECT_EQ(app.GetResIndex(), nullptr);
    EXPECT_EQ(app.GetFontFile(), nullptr);
    EXPECT_EQ(app.GetFontIndex(), nullptr);
    EXPECT_EQ(app.GetStringTable()->GetCount(), 0);
}

TEST_F(AppResources, LoadsTheIndexTheStringTableAndTheFontFile) {
    WriteResourceFile({u"Daublin", u"Brush"});
    WriteStringTable();
    ASSERT_EQ(app.InitResFile(), eNoError);
    ASSERT_NE(app.GetResFile(), nullptr);
    ASSERT_NE(app.GetResIndex(), nullptr);
    EXPECT_EQ(app.GetResIndex()->GetCount(), 2);
    EXPECT_EQ(app.GetResIndex()->GetVersion(), 2);
    EXPECT_GT(app.GetResIndex()->GetLocation(Text(u"Brush")), 0);
    EXPECT_EQ(app.GetStringTable()->GetCount(), 2);
    EXPECT_EQ(gStringToUtf8(app.GetStringTable()->GetEntry(3000000000u)), "Welcome to Daublin");
    // The font file is the resource file unless named otherwise.
    ASSERT_NE(app.GetFontIndex(), nullptr);
    EXPECT_EQ(app.GetFontIndex()->GetCount(), 2);

    // Opening again does not double the indexes.
    ASSERT_EQ(app.InitResFile(), eNoError);
    EXPECT_EQ(app.GetResIndex()->GetCount(), 2);
    EXPECT_EQ(app.GetFontIndex()->GetCount(), 2);
}

TEST_F(AppResources, StringTableIsOptional) {
    WriteResourceFile({u"Daublin"});
    EXPECT_EQ(app.InitResFile(), eNoError);
    EXPECT_EQ(app.GetResIndex()->GetCount(), 1);
    EXPECT_EQ(app.GetStringTable()->GetCount(), 0);
}

// A damaged resource file is reported, and leaves no half-built index, string
// table or open file behind: from nothing, nothing; after a load, that load.
TEST_F(AppResources, DamagedResourceFileIsReportedAndLeavesTheResourcesAsTheyWere) {
    WriteResourceFile({u"Daublin"}, true);
    WriteStringTable();
    EXPECT_EQ(app.InitResFile(), eResourceReadError);
    EXPECT_EQ(app.GetResFile(), nullptr);
    EXPECT_EQ(app.GetResIndex(), nullptr);
    EXPECT_EQ(app.GetFontFile(), nullptr);
    EXPECT_EQ(app.GetFontIndex(), nullptr);
    EXPECT_EQ(app.GetStringTable()->GetCount(), 0);

    WriteResourceFile({u"Daublin", u"Brush"});
    ASSERT_EQ(app.InitResFile(), eNoError);
    WriteResourceFile({u"Daublin"}, true);
    EXPECT_EQ(app.InitResFile(), eResourceReadError);
    ASSERT_NE(app.GetResIndex(), nullptr);
    EXPECT_EQ(app.GetResIndex()->GetCount(), 2);
    EXPECT_GT(app.GetResIndex()->GetLocation(Text(u"Brush")), 0);
    ASSERT_NE(app.GetFontIndex(), nullptr);
    EXPECT_EQ(app.GetFontIndex()->GetCount(), 2);
    EXPECT_EQ(app.GetStringTable()->GetCount(), 2);
    // The file the index was made from is still the one open.
    ASSERT_NE(app.GetResFile(), nullptr);
    EXPECT_EQ(app.GetResFile()->SetFilePos(app.GetResIndex()->GetLocation(Text(u"Brush"))),
              eNoError);
    uint32_t tag = 0;
    EXPECT_EQ(app.GetResFile()->ReadUint32(tag), eNoError);
    EXPECT_EQ(tag, kTagText);
}

} // namespace
