#pragma once
// A fixture for the colour picker and the clean-brush panel: the panel
// press fixture with a backbone that keeps the auto-clean flag and the
// colour, records every set and passes it on to the backdrop as the real
// one does.

#include <gtest/gtest.h>

#include <vector>

#include "foundation/MessageIds.h"
#include "paint/ChannelValue.h"
#include "ui/tests/PanelPressTest.h"

class CColourBackbone : public gCCmdTarget {
public:
    struct SSet {
        uint32_t id;
        const void* sender;
        int64_t value; // the flag itself for eCmdAutoClean
    };
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override {
        if (!set) {
            switch (id) {
            case eCmdAutoClean:
                *ChannelPointer<int32_t>(value) = m_fAutoClean;
                return 0;
            case eCmdGetColour:
                if (m_nColourError) {
                    return m_nColourError;
                }
                *ChannelPointer<uint32_t>(value) = m_nColour;
                return 0;
            default:
                return 0;
            }
        }
        int64_t kept = value;
        if (id == eCmdAutoClean) {
            m_fAutoClean = *ChannelPointer<int32_t>(value);
            kept = m_fAutoClean;
        } else if (id == eMsgPaintColour) {
            m_nColour = uint32_t(uint64_t(value));
        }
        m_Sets.push_back({id, sender, kept});
        if (m_pUI) {
            (void)m_pUI->ProcessData(id, sender, value, 1); // the hub answers 0
        }
        return 0;
    }
    std::vector<int64_t> Values(uint32_t id) const {
        std::vector<int64_t> values;
        for (const SSet& s : m_Sets) {
            if (s.id == id) {
                values.push_back(s.value);
            }
        }
        return values;
    }

    int32_t m_fAutoClean = 0;
    uint32_t m_nColour = 0xFF000000u;
    int32_t m_nColourError = 0;
    gCCmdTarget* m_pUI = nullptr;
    std::vector<SSet> m_Sets;
};

class ColourPanelsTest : public PanelPressTest {
protected:
    void SetUp() override {
        BuiltResourcesTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        m_Backbone.m_fAutoClean = m_fStartAutoClean;
        m_Backbone.m_pUI = &m_Backdrop;
        gCCmdTarget::SetUIModule(&m_UI);
        StartBackdrop(m_Backdrop, m_Backbone);
        if (HasFatalFailure()) {
            return;
        }
        m_StartSets = m_Backbone.m_Sets;
        m_Backbone.m_Sets.clear();
        m_UI.m_Calls.clear();
    }

    int32_t m_fStartAutoClean = 0;
    CColourBackbone m_Backbone;
    std::vector<CColourBackbone::SSet> m_StartSets;
};
