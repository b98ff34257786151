#include "testsupport/FileIO/TempVolume.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "FileIO/VolumeTable.h"
#include "foundation/Utf8.h"

void TempVolume::SetUp() {
    char pattern[] = "/tmp/daublin-vol-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_Root = pattern;
    gCVolumeTable::Register(u"HD", m_Root);
}

void TempVolume::TearDown() {
    gCVolumeTable::Reset();
    std::error_code ec;
    std::filesystem::remove_all(m_Root, ec);
}

void TempVolume::MakeFile(const std::string& relative, const std::string& content) {
    const std::filesystem::path p = Posix(relative);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
}

int32_t TempVolume::FolderEntries() const {
    int32_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(m_Root)) {
        ++n;
    }
    return n;
}

void TempVolume::MakeFolder(const std::string& relative) {
    std::filesystem::create_directories(Posix(relative));
}

gCString S(const char* utf8) {
    gCString s;
    EXPECT_EQ(gStringFromUtf8(s, utf8), eNoError) << "a test string could not be made";
    return s;
}

std::string U(const gCString& s) {
    return gStringToUtf8(s);
}
