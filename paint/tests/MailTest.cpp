// Mail is unavailable: sending shows one alert saying so, the set-up
// answers 0, and the availability reads 0 and goes on down the chain.

#include "FileIO/gCStringTable.h"
#include "foundation/Input.h"
#include "paint/tests/BackboneFixture.h"
#include "testsupport/FileIO/TempVolume.h"

namespace {

constexpr uint32_t kMailUnavailableText = 0xB2D05E0B;
const char kExplanation[] = "Mail is not available here.";

class Mail : public BackboneFixture {
protected:
    void SetUp() override {
        BackboneFixture::SetUp();
        ASSERT_EQ(table.AddEntry(kMailUnavailableText, S(kExplanation), gCString()), eNoError);
        app.m_pStringTable = &table;
        Init();
    }
    int32_t CanvasSaw(uint32_t id) { return backbone.m_pSpyCanvas->m_Log.Count(id); }

    gCStringTable table;
};

TEST_F(Mail, SendingShowsOneMessage) {
    EXPECT_EQ(Set(eCmdSendByMail, 0), 0);
    ASSERT_EQ(app.m_Alerts.size(), 1u);
    EXPECT_EQ(app.m_Alerts[0].headline, "Message");
    EXPECT_EQ(app.m_Alerts[0].text, kExplanation);
    // Asked, set up, asked again; the send itself goes no further.
    EXPECT_EQ(CanvasSaw(eCmdMailAvailable), 2);
    EXPECT_EQ(CanvasSaw(eCmdMailInit), 0);
    EXPECT_EQ(CanvasSaw(eCmdSendByMail), 0);
    EXPECT_EQ(UiCount(eCmdSendByMail), 0);
}

TEST_F(Mail, SetUpAnswersZeroAndAvailabilityReadsZero) {
    EXPECT_EQ(Set(eCmdMailInit, 0), 0);
    EXPECT_EQ(CanvasSaw(eCmdMailInit), 0) << "the set-up returns at once";

    int32_t available = 7;
    EXPECT_EQ(Get(eCmdMailAvailable, ChannelValueOf(&available)), 0);
    EXPECT_EQ(available, 0);
    EXPECT_EQ(CanvasSaw(eCmdMailAvailable), 1) << "and goes on down the chain";
    EXPECT_EQ(Get(eCmdMailAvailable, 0), eBadParameter) << "no variable to write";
    EXPECT_TRUE(app.m_Alerts.empty());
}

} // namespace
