// Text resources: a 'text' block's string, loaded by id or by name.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "FileIO/gCFRef.h"
#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"
#include "testsupport/FileIO/FakeResourceServices.h"
#include "testsupport/FileIO/ResourceBytes.h"
#include "testsupport/FileIO/TempVolume.h"
#include "text/Text.h"
#include "text/TextTags.h"

namespace {

class TextResources : public TempVolume {
protected:
    void SetUp() override {
        TempVolume::SetUp();
        MakeFile("system.vrf",
                 VersionBlock(2) + ResBlock(kResTextTag, 1, "Empty", Utf16Line("")) +
                     ResBlock(kResTextTag, 2, "Welcome", Utf16Line("Hello, painter")) +
                     ResBlock(FourCC("imag"), 3, "Picture", Le32(0)));
        gCFRef ref(S("HD:system.vrf"));
        ASSERT_EQ(m_File.Open(&ref, eAccessReadOnly), eNoError);
        ASSERT_EQ(m_Index.SetupIndex(&m_File), eNoError);
        m_Services.m_pResFile = &m_File;
        m_Services.m_pResIndex = &m_Index;
    }

    CFakeResourceServices m_Services;
    gCFile m_File;
    gCResourceIndex m_Index;
};

TEST_F(TextResources, AreLoadedByIdOrNameFromTheResourceFile) {
    std::unique_ptr<CText> byName(CText::CreateFromRes(S("Welcome"), nullptr, nullptr));
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(U(byName->m_sText), "Hello, painter");
    EXPECT_EQ(byName->GetResID(), 2);
    std::unique_ptr<CText> byId(CText::CreateFromRes(2, &m_File, &m_Index));
    ASSERT_NE(byId, nullptr);
    EXPECT_EQ(U(byId->m_sText), "Hello, painter");
    EXPECT_NE(byId.get(), byName.get()) << "two loads, two objects";
    EXPECT_EQ(U(byId->GetResName()), "Welcome");
}

TEST_F(TextResources, AnEmptyStringLoadsEmpty) {
    CText text;
    EXPECT_EQ(text.GetFromRes(S("Empty"), nullptr, nullptr), eNoError);
    EXPECT_EQ(text.m_sText.GetLength(), 0);
}

TEST_F(TextResources, AMissingBlockGivesNullWithoutAnAlert) {
    EXPECT_EQ(CText::CreateFromRes(S("Nothing"), nullptr, nullptr), nullptr);
    EXPECT_EQ(CText::CreateFromRes(S("Picture"), nullptr, nullptr), nullptr) << "another kind";
    EXPECT_EQ(CText::CreateFromRes(9, nullptr, nullptr), nullptr);
    EXPECT_TRUE(m_Services.m_Alerts.empty());
    m_Services.m_pResFile = nullptr;
    CText text;
    EXPECT_EQ(text.GetFromRes(2, nullptr, nullptr), eBadParameter);
}

TEST_F(TextResources, AFailedReadIsShownAndKeepsTheText) {
    CText text;
    ASSERT_EQ(text.m_sText.CopyString(u"before"), eNoError);
    ASSERT_EQ(m_File.FastForward(), eNoError);
    EXPECT_NE(text.SetFromResData(&m_File), eNoError);
    EXPECT_EQ(U(text.m_sText), "before");
    ASSERT_EQ(m_Services.m_Alerts.size(), 1u);
    EXPECT_NE(m_Services.m_Alerts[0].text.find("Error reading CText string."), std::string::npos);
}

} // namespace
