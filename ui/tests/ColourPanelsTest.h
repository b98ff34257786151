#pragma once
// A fixture for the colour picker and the clean-brush panel on the built
// resource file: a backbone that keeps the auto-clean flag and the colour,
// records every set and passes it on to the backdrop as the real one
// does, a backdrop whose rollover widget is whatever the test says and
// which counts its redraws, and presses driven pump by pump.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

#include "foundation/MessageIds.h"
#include "paint/ChannelValue.h"
#include "testsupport/foundation/RecordingModule.h"
#include "ui/SMKBackdrop.h"
#include "ui/tests/BuiltResourcesTest.h"
#include "widgets/Widget.h"

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

class CColourBackdrop : public CSMKBackdrop {
public:
    CWidget* WidgetRollover() const override { return m_pPointed; }
    error PassRedraw() override {
        ++m_nRedraws;
        return CSMKBackdrop::PassRedraw();
    }
    CWidget* m_pPointed = nullptr;
    int32_t m_nRedraws = 0;
};

class ColourPanelsTest : public BuiltResourcesTest {
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
    void TearDown() override {
        m_Services.m_OnPump = nullptr;
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
    }

    CWidget* W(uint32_t id) { return m_Backdrop.FindByID(id); }
    gCPoint CentreOf(CWidget* w) {
        gCRect r(0, 0, w->Width(), w->Height());
        w->LocalToBackdrop(r);
        return gCPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // The point (x, y) of the widget in backdrop (and desktop) terms.
    gCPoint PointIn(CWidget* w, int32_t x, int32_t y) {
        gCPoint p(x, y);
        w->LocalToBackdrop(p);
        return p;
    }
    std::vector<int32_t> Sounds() const {
        std::vector<int32_t> sounds;
        for (const CRecordingModule::Call& c : m_UI.m_Calls) {
            if (c.id == eCmdPlaySound) {
                sounds.push_back(int32_t(c.value));
            }
        }
        return sounds;
    }
    // A press on the widget with the pointer on it at at (its centre by
    // default); then, pump by pump, the steps given, and the release after
    // the last.
    error Press(CWidget* w, std::deque<std::function<void()>> steps, gCPoint at = gCPoint(-1, -1)) {
        m_Backdrop.m_pPointed = w;
        m_Services.m_fLButton = 1;
        if (at.x < 0) {
            at = CentreOf(w);
        }
        m_Services.m_CursorLoc = at;
        m_Services.m_OnPump = [this, steps]() mutable {
            if (steps.empty()) {
                m_Services.m_fLButton = 0;
                return;
            }
            steps.front()();
            steps.pop_front();
        };
        CWidget* taken = nullptr;
        const error e = m_Backdrop.PassButtonDownL(taken, at);
        m_Services.m_OnPump = nullptr;
        m_Services.m_fLButton = 0;
        return e;
    }
    std::function<void()> MoveTo(gCPoint at) {
        return [this, at] { m_Services.m_CursorLoc = at; };
    }
    std::function<void()> Point(CWidget* w) {
        return [this, w] { m_Backdrop.m_pPointed = w; };
    }
    std::function<void()> Idle() {
        return [] {};
    }

    int32_t m_fStartAutoClean = 0;
    CColourBackbone m_Backbone;
    CRecordingModule m_UI;
    CColourBackdrop m_Backdrop;
    std::vector<CColourBackbone::SSet> m_StartSets;
};
