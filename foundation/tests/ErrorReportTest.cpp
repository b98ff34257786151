#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/ErrorReport.h"
#include "testsupport/foundation/FakeAppServices.h"

namespace {

struct ReportCase {
    const char* name;
    int32_t code;
    const char* detail;
    std::string text;
};

void PrintTo(const ReportCase& c, std::ostream* os) {
    *os << c.name;
}

class ErrorReport : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ErrorReport, ShowsHeadlineAndWholeMessage) {
    const ReportCase& c = GetParam();
    CFakeAppServices app;
    EXPECT_EQ(ReportError(c.code, c.detail), eNoError);
    ASSERT_EQ(app.m_Alerts.size(), 1u);
    EXPECT_EQ(app.m_Alerts[0].headline, "Error.");
    EXPECT_EQ(app.m_Alerts[0].text, c.text);
}

// Longer than the 255 bytes a length-prefixed string holds.
const std::string kLongDetail = "caf\xC3\xA9 " + std::string(400, 'd');

INSTANTIATE_TEST_SUITE_P(
    Cases, ErrorReport,
    ::testing::Values(
        ReportCase{"plain_code", eOutOfMemory, nullptr, "Not enough memory to perform action."},
        ReportCase{"code_with_detail", eFileOpenError, "HD:pic.png",
                   "An error occurred opening the requested file.\nHD:pic.png"},
        ReportCase{"bad_taste_with_detail_has_three_lines", eBadTaste, "again",
                   "Whatever you did, it was in really bad taste,\nwe implore you to "
                   "reconsider.\nagain"},
        ReportCase{"code_31_is_generic", 31, nullptr, "Generic Failure."},
        ReportCase{"code_minus_4_is_generic", -4, "x", "Generic Failure.\nx"},
        ReportCase{"last_code", eKeyNotFound, nullptr,
                   "An action that required a valid key to be found failed due to no key of "
                   "that value being present in the dictionary."},
        ReportCase{"long_utf8_detail_goes_whole", eGenericFailure, kLongDetail.c_str(),
                   "Generic Failure.\n" + kLongDetail}),
    [](const auto& info) { return std::string(info.param.name); });

// Records the heartbeat and cursor state at the moment the alert shows.
class CStateAtAlert : public CFakeAppServices {
public:
    void ShowAlert(std::string_view headline, std::string_view text) override {
        m_nHeartbeatAtAlert = m_fHeartbeat;
        m_nSystemAtAlert = m_fSystemCursor;
        m_nVantorAtAlert = m_fVantorCursor;
        CFakeAppServices::ShowAlert(headline, text);
    }
    int32_t m_nHeartbeatAtAlert = -1, m_nSystemAtAlert = -1, m_nVantorAtAlert = -1;
};

struct StateCase {
    int32_t heartbeat, system, vantor;
};

TEST(ErrorReportState, PausesHeartbeatAndCursorsAndRestoresThem) {
    const StateCase before[] = {{1, 0, 1}, {0, 0, 1}, {1, 1, 0}, {0, 0, 0}};
    for (const StateCase& s : before) {
        CStateAtAlert app;
        app.m_fHeartbeat = s.heartbeat;
        app.m_fSystemCursor = s.system;
        app.m_fVantorCursor = s.vantor;
        EXPECT_EQ(ReportError(eGenericFailure), eNoError);
        EXPECT_EQ(app.m_nHeartbeatAtAlert, 0);
        EXPECT_EQ(app.m_nSystemAtAlert, 1);
        EXPECT_EQ(app.m_nVantorAtAlert, 0);
        EXPECT_EQ(app.m_fHeartbeat, s.heartbeat);
        EXPECT_EQ(app.m_fSystemCursor, s.system);
        EXPECT_EQ(app.m_fVantorCursor, s.vantor);
        EXPECT_EQ(app.m_nStartHeartbeatCalls, s.heartbeat) << "started again only if running";
    }
}

TEST(DoAssert, WritesALengthPrefixedTextThatFits) {
    DoAssert("src/file.cpp", 42);
    const std::string expected = "Debug Assert: File:  src/file.cpp   Line: 42\n";
    EXPECT_EQ(static_cast<unsigned char>(g_GlobalErrorBuf[0]), expected.size());
    EXPECT_EQ(std::string(g_GlobalErrorBuf + 1, expected.size()), expected);

    const std::string longName(400, 'f');
    DoAssert(longName.c_str(), 7);
    EXPECT_EQ(static_cast<unsigned char>(g_GlobalErrorBuf[0]), 255);
    EXPECT_EQ(std::string(g_GlobalErrorBuf + 1, 21), "Debug Assert: File:  ");
}

} // namespace
