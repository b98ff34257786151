#pragma once
// The interface's tests on the built resource file, as the program reads it:
// the file is the application's resource and font file, the font manager
// runs with identity gamma tables, and the text widgets are registered. The
// manager closes when the test object goes, after the widgets of the test's
// own members, which are destroyed before this base.

#include <gtest/gtest.h>

#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "testsupport/FileIO/FakeResourceServices.h"

class BuiltResourcesTest : public ::testing::Test {
protected:
    ~BuiltResourcesTest() override;
    void SetUp() override;

    CFakeResourceServices m_Services;
    gCFile m_File;
    gCResourceIndex m_Index;
};
