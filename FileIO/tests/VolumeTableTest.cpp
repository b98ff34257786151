#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "FileIO/VolumeTable.h"
#include "FileIO/detail/ApplicationRoot.h"
#include "FileIO/gCFRef.h"
#include "foundation/Utf8.h"
#include "foundation/gCString.h"
#include "testsupport/FileIO/TempVolume.h"

namespace {

std::u16string ToColon(const std::string& posix) {
    std::u16string colon;
    EXPECT_EQ(gCVolumeTable::PosixToColon(posix, colon), eNoError) << posix;
    return colon;
}

class VolumeTable : public TempVolume {};

TEST_F(VolumeTable, PathsMapToTheVolumeWithTheLongestFolder) {
    EXPECT_EQ(ToColon(m_Root + "/Users/me/a.txt"), u"HD:Users:me:a.txt");
    EXPECT_EQ(ToColon(m_Root), u"HD:");
    EXPECT_EQ(ToColon("/usr/share"), u"Root:usr:share");
    EXPECT_EQ(ToColon("/"), u"Root:");
    // A folder that merely starts with the same letters is not inside it.
    const std::u16string sibling = ToColon(m_Root + "x/a");
    EXPECT_EQ(sibling.rfind(u"Root:", 0), 0u);

    std::string posix;
    EXPECT_EQ(gCVolumeTable::ColonToPosix(u"HD:Users:me:a.txt", posix), eNoError);
    EXPECT_EQ(posix, m_Root + "/Users/me/a.txt");
    EXPECT_EQ(gCVolumeTable::ColonToPosix(u"HD:Users:", posix), eNoError);
    EXPECT_EQ(posix, m_Root + "/Users/");
    EXPECT_EQ(gCVolumeTable::ColonToPosix(u"Root:etc:hosts", posix), eNoError);
    EXPECT_EQ(posix, "/etc/hosts");
}

// The current folder as a colon path, with no trailing ':'; a path longer
// than 1,024 bytes gives 18.
TEST_F(VolumeTable, CurrentDirectoryIsAColonPath) {
    const std::filesystem::path before = std::filesystem::current_path();
    MakeFolder("Users/me");
    gCString dir;
    ASSERT_EQ(::chdir(Posix("Users/me").c_str()), 0);
    EXPECT_EQ(gGetCurrentDirectory(dir), eNoError);
    EXPECT_EQ(U(dir), "HD:Users:me");
    ASSERT_EQ(::chdir(m_Root.c_str()), 0);
    EXPECT_EQ(gGetCurrentDirectory(dir), eNoError);
    EXPECT_EQ(U(dir), "HD");
    const std::string longName(200, 'd');
    for (int i = 0; i < 6; ++i) {
        std::filesystem::create_directory(longName);
        ASSERT_EQ(::chdir(longName.c_str()), 0);
    }
    EXPECT_EQ(gGetCurrentDirectory(dir), ePathError);
    std::filesystem::current_path(before);
}

TEST_F(VolumeTable, UnknownVolumeOrNoVolumeIsABadParameter) {
    std::string posix = "unchanged";
    EXPECT_EQ(gCVolumeTable::ColonToPosix(u"Nowhere:a.txt", posix), eBadParameter);
    EXPECT_EQ(gCVolumeTable::ColonToPosix(u"a.txt", posix), eBadParameter);
    EXPECT_EQ(gCVolumeTable::ColonToPosix(u":a.txt", posix), eBadParameter);
    EXPECT_EQ(posix, "unchanged");
    std::u16string colon;
    EXPECT_EQ(gCVolumeTable::PosixToColon("relative/path", colon), eBadParameter);
}

struct RoundTripCase {
    const char* name;
    std::string posixName; // a file name on disk (bytes)
    std::u16string colonName;
};
void PrintTo(const RoundTripCase& c, std::ostream* os) {
    *os << c.name;
}

class NameRoundTrip : public TempVolume, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(NameRoundTrip, ColonToPosixAndBackAndTheFileIsFound) {
    const RoundTripCase& c = GetParam();
    MakeFile("Pics/" + c.posixName);
    const std::u16string colon = u"HD:Pics:" + c.colonName;

    std::string posix;
    ASSERT_EQ(gCVolumeTable::ColonToPosix(colon, posix), eNoError);
    EXPECT_EQ(posix, m_Root + "/Pics/" + c.posixName);
    EXPECT_EQ(ToColon(posix), colon);

    gCString text;
    ASSERT_EQ(text.CopyStringFromBuffer(colon.data(), int32_t(colon.size())), eNoError);
    gCFRef ref(text);
    EXPECT_TRUE(ref.Exists());
    EXPECT_EQ(gUtf8ToUtf16(U(ref.FileReference())), colon);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NameRoundTrip,
    ::testing::Values(RoundTripCase{"accented", "\xC3\x9C \xC3\xA4.png", u"\u00DC \u00E4.png"},
                      RoundTripCase{"colon_on_disk", "a:b.png", u"a/b.png"},
                      RoundTripCase{"invalid_utf8", "bad\xFF\xFE.png", u"bad\xDCFF\xDCFE.png"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
