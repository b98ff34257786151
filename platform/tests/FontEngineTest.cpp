// The application object runs the font engine the text subsystem registers,
// from its construction to its destruction, whichever comes first.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/FontEngine.h"
#include "testsupport/platform/TestApp.h"

namespace {

std::vector<std::string> g_Calls;

SFontEngine RecordingEngine() {
    SFontEngine engine;
    engine.initializeManager = [] {
        g_Calls.push_back("init");
        return eNoError;
    };
    engine.shutDownManager = [] { g_Calls.push_back("shutdown"); };
    engine.buildGammaLUT = [](float gamma) { g_Calls.push_back("gamma " + std::to_string(gamma)); };
    return engine;
}

class FontEngine : public ::testing::Test {
protected:
    void SetUp() override { g_Calls.clear(); }
    void TearDown() override { gRegisterFontEngine(SFontEngine()); }
};

TEST_F(FontEngine, AnEngineRegisteredAfterTheApplicationStartsAtOnce) {
    {
        CTestApp app;
        EXPECT_TRUE(g_Calls.empty());
        EXPECT_EQ(gFontEngineRunning(), 0);
        gRegisterFontEngine(RecordingEngine());
        EXPECT_EQ(g_Calls, (std::vector<std::string>{"init", "gamma 1.000000"}));
        EXPECT_EQ(gFontEngineRunning(), 1);
    }
    EXPECT_EQ(g_Calls.back(), "shutdown");
    EXPECT_EQ(gFontEngineRunning(), 0);
}

TEST_F(FontEngine, AnEngineRegisteredFirstStartsWithTheApplication) {
    gRegisterFontEngine(RecordingEngine());
    EXPECT_TRUE(g_Calls.empty()); // nobody wants it yet
    {
        CTestApp app;
        EXPECT_EQ(g_Calls, (std::vector<std::string>{"init", "gamma 1.000000"}));
    }
    EXPECT_EQ(g_Calls, (std::vector<std::string>{"init", "gamma 1.000000", "shutdown"}));
}

TEST_F(FontEngine, WithoutAnEngineTheApplicationStillStartsAndEnds) {
    CTestApp app;
    EXPECT_EQ(gFontEngineRunning(), 0);
}

} // namespace
