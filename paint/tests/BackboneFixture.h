#pragma once
// A spy backbone registered as the backbone module with a recording UI
// module, spy tools in the tool creators and fake application services
// that record alerts.

#include <gtest/gtest.h>

#include <string>

#include "foundation/ErrorReport.h"
#include "foundation/Input.h"
#include "paint/ChannelValue.h"
#include "paint/PaintTool.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/foundation/RecordingModule.h"
#include "testsupport/paint/SpyBackbone.h"
#include "testsupport/paint/SpyTool.h"

class BackboneFixture : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterSpyTools();
        gCCmdTarget::SetBackboneModule(&backbone);
        gCCmdTarget::SetUIModule(&ui);
        m_rSavedWeight = CTabletSource::m_rWeight;
    }
    void TearDown() override {
        CTabletSource::m_rWeight = m_rSavedWeight;
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
        ResetSpyTools();
    }

    int32_t Set(uint32_t id, int64_t value) { return backbone.ProcessData(id, &ui, value, 1); }
    int32_t Get(uint32_t id, int64_t value) { return backbone.ProcessData(id, &ui, value, 0); }
    void Init() {
        ASSERT_EQ(backbone.ProcessData(eCmdInitBackbone, &ui, 0, 1), 0);
        ASSERT_NE(backbone.m_pSpyCanvas, nullptr);
        ASSERT_NE(backbone.m_pSpyRenderer, nullptr);
    }
    CSpyTool* Tool(int32_t type) { return static_cast<CSpyTool*>(backbone.GetTool(type)); }
    int32_t ToolType() {
        int32_t type = 99;
        EXPECT_EQ(Get(eCmdGetToolType, ChannelValueOf(&type)), 0);
        return type;
    }
    // The alert text ReportError shows for the code and detail.
    static std::string AlertText(int32_t code, const char* detail) {
        return std::string(ErrorMessage(code)) + "\n" + detail;
    }
    int32_t UiCount(uint32_t id) const {
        int32_t n = 0;
        for (const auto& c : ui.m_Calls) {
            n += c.id == id ? 1 : 0;
        }
        return n;
    }

    CFakeAppServices app;
    CRecordingModule ui;
    CSpyBackbone backbone;
    float m_rSavedWeight = 0.5f;
};
