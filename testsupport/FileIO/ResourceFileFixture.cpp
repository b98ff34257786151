#include "testsupport/FileIO/ResourceFileFixture.h"

#include "FileIO/gCFRef.h"

void ResourceFileFixture::TearDown() {
    if (file.IsOpen()) {
        EXPECT_EQ(file.Close(), eNoError);
    }
    TempVolume::TearDown();
}

void ResourceFileFixture::InstallResourceFile(const std::string& bytes) {
    if (file.IsOpen()) {
        EXPECT_EQ(file.Close(), eNoError);
    }
    MakeFile("system.vrf", bytes);
    gCFRef ref(S("HD:system.vrf"));
    ASSERT_EQ(file.Open(&ref, eAccessReadOnly), eNoError);
    index.ClearContents();
    ASSERT_EQ(index.SetupIndex(&file), eNoError);
    app.m_pResFile = &file;
    app.m_pResIndex = &index;
}
