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

class CSMKBackdrop;
class gCCmdTarget;

class BuiltResourcesTest : public ::testing::Test {
protected:
    ~BuiltResourcesTest() override;
    void SetUp() override;
    // Loads the backdrop "Daublin" of the built file at 1024 x 768 and sets
    // up its interface with backbone as the backbone module.
    void StartBackdrop(CSMKBackdrop& backdrop, gCCmdTarget& backbone);

    CFakeResourceServices m_Services;
    gCFile m_File;
    gCResourceIndex m_Index;
};
