#pragma once
// A fixture for the boxes and panels built on demand: the backdrop of the
// built resource file set up with a recording backbone, the UI module then
// replaced by a recorder (sounds and answers), the rollover scripted by the
// test, presses driven through the fake services, and the launcher
// recording what it is asked to open.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "FileIO/gCFileIO.h"
#include "foundation/MessageIds.h"
#include "testsupport/FileIO/TempVolume.h"
#include "testsupport/foundation/RecordingModule.h"
#include "ui/SMKBackdrop.h"
#include "ui/tests/BuiltInterface.h"
#include "widgets/Backdrop.h"

// The rollover widget is whatever the test says, unless it leaves it to the
// backdrop's own rollover test.
class CScriptedBackdrop : public CSMKBackdrop {
public:
    CWidget* WidgetRollover() const override {
        return m_fScripted ? m_pPointed : CSMKBackdrop::WidgetRollover();
    }
    using CSMKBackdrop::ShowAboutBox;
    // Every child given to the backdrop passes here first; a code refuses it.
    error AddChild(CWidget* child, int32_t redraw) override {
        if (m_OnAdd) {
            if (const error e = m_OnAdd(child)) {
                return e;
            }
        }
        return CSMKBackdrop::AddChild(child, redraw);
    }
    CWidget* m_pPointed = nullptr;
    int32_t m_fScripted = 1;
    std::function<error(CWidget*)> m_OnAdd;
};

class BoxFixture : public ::testing::Test {
public: // the tables of cases drive the fixture too
    void SetUp() override {
        m_Built.Open();
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(m_Backdrop.GetFromRes(S("Daublin"), &m_File, nullptr), eNoError);
        ASSERT_EQ(m_Backdrop.SetSize(1024, 768, 0), eNoError);
        gCCmdTarget::SetBackboneModule(&m_Backbone);
        ASSERT_EQ(m_Backdrop.SetupInterface(), eNoError);
        gCCmdTarget::SetUIModule(&m_UI);
        gCFileIO::SetLauncher([this](const std::vector<std::string>& argv) {
            m_aLaunched.push_back(argv);
            return true;
        });
    }
    void TearDown() override {
        gCFileIO::SetLauncher(nullptr);
        gCCmdTarget::SetUIModule(nullptr);
        gCCmdTarget::SetBackboneModule(nullptr);
    }

    // The sounds the UI module heard, in order.
    std::vector<int64_t> Sounds() const {
        std::vector<int64_t> sounds;
        for (const CRecordingModule::Call& c : m_UI.m_Calls) {
            if (c.id == eCmdPlaySound) {
                sounds.push_back(c.value);
            }
        }
        return sounds;
    }
    error Key(uint32_t key) {
        CWidget* taken = nullptr;
        return m_Backdrop.PassKeyDown(taken, key);
    }
    gCPoint CentreOf(CWidget* w) {
        gCRect r(0, 0, w->Width(), w->Height());
        w->LocalToBackdrop(r);
        return gCPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // A press on the widget, then while it is held the pointer over each of
    // the widgets given in turn (null: off every widget), then the release.
    error Click(CWidget* w, std::deque<CWidget*> path = {}) {
        m_Backdrop.m_pPointed = w;
        m_Services.m_fLButton = 1;
        m_Services.m_OnPump = [this, path]() mutable {
            if (path.empty()) {
                m_Services.m_fLButton = 0;
                return;
            }
            m_Backdrop.m_pPointed = path.front();
            path.pop_front();
        };
        CWidget* taken = nullptr;
        gCPoint at = CentreOf(w);
        const error e = m_Backdrop.PassButtonDownL(taken, at);
        m_Services.m_OnPump = nullptr;
        m_Services.m_fLButton = 0;
        return e;
    }
    // How many children of the backdrop carry the id.
    int32_t RootsWithID(uint32_t id) const {
        int32_t n = 0;
        for (int32_t i = 0; i < m_Backdrop.ChildCount(); ++i) {
            n += uint32_t(m_Backdrop.Child(i)->GetResID()) == id ? 1 : 0;
        }
        return n;
    }

    CBuiltInterface m_Built;
    CFakeResourceServices& m_Services = m_Built.m_Services;
    gCFile& m_File = m_Built.m_File;
    CRecordingModule m_Backbone;
    CRecordingModule m_UI;
    CScriptedBackdrop m_Backdrop;
    std::vector<std::vector<std::string>> m_aLaunched;
};
