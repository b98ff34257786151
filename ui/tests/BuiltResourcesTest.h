#pragma once
// A fixture over the built interface resources (see BuiltInterface.h), with
// the backdrop started as the program starts it. The resources outlive the
// fixture's own members: the widgets go before the fonts they use.

#include <gtest/gtest.h>

#include "ui/tests/BuiltInterface.h"

class CSMKBackdrop;
class gCCmdTarget;

class BuiltResourcesTest : public ::testing::Test {
protected:
    void SetUp() override { m_Built.Open(); }
    // Loads the backdrop "Daublin" of the built file at 1024 x 768 and sets
    // up its interface with backbone as the backbone module.
    void StartBackdrop(CSMKBackdrop& backdrop, gCCmdTarget& backbone);

    CBuiltInterface m_Built;
    CFakeResourceServices& m_Services = m_Built.m_Services;
    gCFile& m_File = m_Built.m_File;
    gCResourceIndex& m_Index = m_Built.m_Index;
};
