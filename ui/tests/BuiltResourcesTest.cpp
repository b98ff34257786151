#include "ui/tests/BuiltResourcesTest.h"

#include "testsupport/FileIO/TempVolume.h"
#include "ui/SMKBackdrop.h"

void BuiltResourcesTest::StartBackdrop(CSMKBackdrop& backdrop, gCCmdTarget& backbone) {
    ASSERT_EQ(backdrop.GetFromRes(S("Daublin"), &m_File, nullptr), eNoError);
    ASSERT_EQ(backdrop.SetSize(1024, 768, 0), eNoError);
    gCCmdTarget::SetBackboneModule(&backbone);
    ASSERT_EQ(backdrop.SetupInterface(), eNoError);
}
