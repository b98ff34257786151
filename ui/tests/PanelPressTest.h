#pragma once
// A fixture for driving panels on the built resource file as a hand does:
// a backdrop whose rollover widget is whatever the test says and which
// counts its redraws, a recording UI module (the sounds), and presses on a
// widget played pump by pump until the release.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

#include "foundation/MessageIds.h"
#include "testsupport/foundation/RecordingModule.h"
#include "ui/SMKBackdrop.h"
#include "ui/tests/BuiltResourcesTest.h"
#include "widgets/Widget.h"

class CPointedBackdrop : public CSMKBackdrop {
public:
    CWidget* WidgetRollover() const override { return m_pPointed; }
    error PassRedraw() override {
        ++m_nRedraws;
        return CSMKBackdrop::PassRedraw();
    }
    CWidget* m_pPointed = nullptr;
    int32_t m_nRedraws = 0;
};

class PanelPressTest : public BuiltResourcesTest {
protected:
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
    // default); then, pump by pump, the steps given (each may move the
    // cursor, the rollover or the clock), and the release after the last.
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
    std::function<void()> MoveBy(int32_t dx, int32_t dy = 0) {
        return [this, dx, dy] {
            m_Services.m_CursorLoc.x += dx;
            m_Services.m_CursorLoc.y += dy;
        };
    }
    std::function<void()> Point(CWidget* w) {
        return [this, w] { m_Backdrop.m_pPointed = w; };
    }
    std::function<void()> Idle() {
        return [] {};
    }

    CRecordingModule m_UI;
    CPointedBackdrop m_Backdrop;
};
