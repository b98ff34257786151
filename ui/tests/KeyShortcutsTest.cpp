// The main backdrop's keyboard shortcuts: what each key runs, whether it is
// taken and what it answers.

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "paint/ChannelValue.h"
#include "testsupport/foundation/FakeAppServices.h"
#include "testsupport/foundation/RecordingModule.h"
#include "ui/SMKBackdrop.h"

namespace {

using Strings = std::vector<std::string>;

std::string ScaleText(float scale) {
    std::ostringstream out;
    out << "scale " << std::setprecision(9) << scale;
    return out.str();
}

std::string PointText(gCRPoint p) {
    std::ostringstream out;
    out << p.x << "," << p.y;
    return out.str();
}

// A backbone that keeps a display scale and writes every call it hears in
// the shared log.
class CKeyBackbone : public CRecordingModule {
public:
    explicit CKeyBackbone(Strings& log) : m_Log(log) {}

    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override {
        (void)CRecordingModule::ProcessData(id, sender, value, set); // answers m_nResult
        if (id == eCmdDisplayScale) {
            float* scale = ChannelPointer<float>(value);
            if (!set) {
                m_Log.push_back("get scale");
                if (m_nGetResult == 0) {
                    *scale = m_fScale;
                }
                return m_nGetResult;
            }
            m_Log.push_back(ScaleText(*scale));
            return m_nSetResult;
        }
        m_Log.push_back(Name(id) + " " + std::to_string(value));
        return m_nResult;
    }

    float m_fScale = 1.0f;
    int32_t m_nGetResult = 0;
    int32_t m_nSetResult = 0;

private:
    static std::string Name(uint32_t id) {
        switch (id) {
        case eCmdUndo:
            return "undo";
        case eCmdRedo:
            return "redo";
        case eCmdPrint:
            return "print";
        case eCmdPageSetup:
            return "page setup";
        case eCmdTracingMode:
            return "tracing";
        case eCmdSelectTool:
            return "tool";
        default:
            return std::to_string(id);
        }
    }

    Strings& m_Log;
};

// Records what the keys call of the backdrop's own members in the same log.
class CKeyBackdrop : public CSMKBackdrop {
public:
    explicit CKeyBackdrop(Strings& log) : m_Log(log) {}

    error m_nAnswer = eNoError;

protected:
    error NewProject() override { return Call("new"); }
    error LoadProject() override { return Call("load"); }
    error SaveProject(int32_t as) override { return Call("save " + std::to_string(as)); }
    void ShowHelp() override { (void)Call("help"); }
    void TogglePanelsHidden(int32_t r) override { (void)Call("toggle " + std::to_string(r)); }
    void QuitApplication() override { (void)Call("quit"); }
    void UpdateWindowButton(int32_t mode) override { (void)Call("button " + std::to_string(mode)); }
    error ResizeMainWindow(int32_t mode, gCRPoint size, gCRPoint position) override {
        return Call("window " + std::to_string(mode) + " " + PointText(size) + " at " +
                    PointText(position));
    }

private:
    error Call(const std::string& what) {
        m_Log.push_back(what);
        return m_nAnswer;
    }

    Strings& m_Log;
};

constexpr uint32_t kF2 = uint32_t(-247);
constexpr uint32_t kF3 = uint32_t(-246);
constexpr uint32_t kF4 = uint32_t(-245);
constexpr uint32_t kF5 = uint32_t(-244);
constexpr uint32_t kF6 = uint32_t(-243);
constexpr uint32_t kF9 = uint32_t(-240);
constexpr uint32_t kF10 = uint32_t(-239);

TEST(KeyShortcuts, EachKeyRunsWhatTheTableSaysAndIsTakenAsItSays) {
    const std::string fill = "window 1 -1,-1 at -1,-1";
    const struct {
        uint32_t key;
        uint32_t modifiers;
        float scale;        // the backbone's display scale before the key
        error failure;      // what the members and the backbone's sets answer
        int32_t getFailure; // what getting the scale answers
        int32_t setFailure; // what setting the scale answers
        Strings calls;
        bool taken;
        error result;
    } kCases[] = {
        // The project commands, with or without Ctrl or Shift.
        {'n', 0, 1, eNoError, 0, 0, {"new"}, true, eNoError},
        {'N', kModShift, 1, eNoError, 0, 0, {"new"}, true, eNoError},
        {14, 0, 1, eNoError, 0, 0, {"new"}, true, eNoError},
        {'n', 0, 1, eFileNotFound, 0, 0, {"new"}, true, eFileNotFound},
        {'o', 0, 1, eNoError, 0, 0, {"load"}, true, eNoError},
        {15, 0, 1, eFileNotFound, 0, 0, {"load"}, true, eFileNotFound},
        {'S', 0, 1, eFileReadWriteError, 0, 0, {"save 0"}, true, eFileReadWriteError},
        {19, 0, 1, eNoError, 0, 0, {"save 0"}, true, eNoError},
        // Printing; Shift turns it into the page setup.
        {'p', 0, 1, eNoError, 0, 0, {"print 1"}, true, eNoError},
        {'P', kModShift, 1, eNoError, 0, 0, {"page setup 0"}, true, eNoError},
        {16, 0, 1, eCreateFailed, 0, 0, {"print 1"}, true, eNoError},
        // Undo and redo; Shift turns undo into redo.
        {26, 0, 1, eNoError, 0, 0, {"undo 0"}, true, eNoError},
        {26, kModShift, 1, eNoError, 0, 0, {"redo 0"}, true, eNoError},
        {'Z', kModShift, 1, eNoError, 0, 0, {"redo 0"}, true, eNoError},
        {'z', 0, 1, eCreateFailed, 0, 0, {"undo 0"}, true, eNoError},
        {'y', 0, 1, eNoError, 0, 0, {"redo 0"}, true, eNoError},
        {25, kModShift, 1, eNoError, 0, 0, {"redo 0"}, true, eNoError},
        // Tracing answers its set's code, taken all the same.
        {' ', 0, 1, eNoError, 0, 0, {"tracing 2"}, true, eNoError},
        {20, 0, 1, eNoError, 0, 0, {"tracing 2"}, true, eNoError},
        {'t', 0, 1, eCreateFailed, 0, 0, {"tracing 2"}, true, eCreateFailed},
        // The tools by number.
        {'1', 0, 1, eNoError, 0, 0, {"tool 0"}, true, eNoError},
        {'2', 0, 1, eNoError, 0, 0, {"tool 1"}, true, eNoError},
        {'3', 0, 1, eNoError, 0, 0, {"tool 4"}, true, eNoError},
        {'4', 0, 1, eNoError, 0, 0, {"tool 3"}, true, eNoError},
        {'5', 0, 1, eNoError, 0, 0, {"tool 7"}, true, eNoError},
        {'6', 0, 1, eNoError, 0, 0, {"tool 6"}, true, eNoError},
        {'7', 0, 1, eCreateFailed, 0, 0, {"tool 5"}, true, eNoError},
        // Help and the panels.
        {'?', 0, 1, eNoError, 0, 0, {"help"}, true, eNoError},
        {kKeyCodeF1, 0, 1, eNoError, 0, 0, {"help"}, true, eNoError},
        {kKeyCodeReturn, 0, 1, eNoError, 0, 0, {"toggle 1"}, true, eNoError},
        {136, 0, 1, eNoError, 0, 0, {"toggle 1"}, true, eNoError},
        // Quitting: Ctrl-Q, and F4 only with Alt.
        {17, 0, 1, eNoError, 0, 0, {"quit"}, true, eNoError},
        {kF4, kModOption, 1, eNoError, 0, 0, {"quit"}, true, eNoError},
        {kF4, 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {kF4, kModShift, 1, eNoError, 0, 0, {}, false, eNoError},
        // Zoom: the limits hold for the scale before the step.
        {kKeyCodeF8, 0, 1, eNoError, 0, 0, {"get scale", ScaleText(2)}, true, eNoError},
        {kKeyCodeF8, 0, 16, eNoError, 0, 0, {"get scale", ScaleText(32)}, true, eNoError},
        {kKeyCodeF8, 0, 17, eNoError, 0, 0, {"get scale", ScaleText(17)}, true, eNoError},
        {kKeyCodeF7,
         0,
         0.015625f,
         eNoError,
         0,
         0,
         {"get scale", ScaleText(0.0078125f)},
         true,
         eNoError},
        {kKeyCodeF7, 0, 0.01f, eNoError, 0, 0, {"get scale", ScaleText(0.01f)}, true, eNoError},
        // A scale that cannot be read or set leaves the key to the window.
        {kKeyCodeF8,
         0,
         1,
         eNoError,
         eFileReadWriteError,
         0,
         {"get scale"},
         false,
         eFileReadWriteError},
        {kKeyCodeF7,
         0,
         1,
         eNoError,
         eFileReadWriteError,
         0,
         {"get scale"},
         false,
         eFileReadWriteError},
        {kKeyCodeF7,
         0,
         1,
         eNoError,
         0,
         eCreateFailed,
         {"get scale", ScaleText(0.5f)},
         false,
         eCreateFailed},
        // The window's size: fill the screen (the menu bar's button between
        // the two calls), or 1024 x 768 centred (the button after it);
        // failures are not answered.
        {'+', 0, 1, eNoError, 0, 0, {fill, "button 1", fill}, true, eNoError},
        {'=', 0, 1, eCreateFailed, 0, 0, {fill, "button 1", fill}, true, eNoError},
        {'-',
         0,
         1,
         eCreateFailed,
         0,
         0,
         {"window 6 1024,768 at -1,-1", "button 6"},
         true,
         eNoError},
        // Escape and F12 are taken to do nothing: Escape does not quit.
        {kKeyCodeEscape, 0, 1, eNoError, 0, 0, {}, true, eNoError},
        {kKeyCodeF12, 0, 1, eNoError, 0, 0, {}, true, eNoError},
        // Keys without a shortcut are left to the window.
        {kKeyCodeDelete, 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {kKeyCodeLeft, 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {kKeyCodeRight, 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {kKeyCodeUp, 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {kKeyCodeDown, 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {kKeyCodeHome, 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {kKeyCodeEnd, 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {kKeyCodePageUp, 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {kKeyCodePageDown, 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {kF2, 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {kF3, 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {kF5, 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {kF6, 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {kF9, 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {kF10, 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {kKeyCodeF11, 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {'8', 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {'a', 0, 1, eNoError, 0, 0, {}, false, eNoError},
        {1, 0, 1, eNoError, 0, 0, {}, false, eNoError},
    };
    for (const auto& c : kCases) {
        Strings log;
        CFakeAppServices app;
        app.m_nModifiers = c.modifiers;
        CKeyBackbone backbone(log);
        backbone.m_fScale = c.scale;
        backbone.m_nResult = c.failure;
        backbone.m_nGetResult = c.getFailure;
        backbone.m_nSetResult = c.setFailure;
        gCCmdTarget::SetBackboneModule(&backbone);
        CRecordingModule menuBar;
        CKeyBackdrop backdrop(log);
        backdrop.SetPanel(0, &menuBar);
        backdrop.m_nAnswer = c.failure;

        CWidget* taken = nullptr;
        EXPECT_EQ(backdrop.KeyDown(taken, c.key), c.result) << int32_t(c.key);
        EXPECT_EQ(log, c.calls) << int32_t(c.key) << " modifiers " << c.modifiers;
        EXPECT_EQ(taken, c.taken ? &backdrop : nullptr) << int32_t(c.key);
        for (const CRecordingModule::Call& call : backbone.m_Calls) {
            EXPECT_EQ(call.sender, &backdrop) << int32_t(c.key);
        }
        gCCmdTarget::SetBackboneModule(nullptr);
    }
}

TEST(KeyShortcuts, WithoutAMenuBarTheSizeKeysOnlyResizeTheWindow) {
    Strings log;
    CKeyBackdrop backdrop(log);
    CWidget* taken = nullptr;
    EXPECT_EQ(backdrop.KeyDown(taken, '+'), eNoError);
    const std::string fill = "window 1 -1,-1 at -1,-1";
    EXPECT_EQ(log, (Strings{fill, fill}));
    EXPECT_EQ(taken, &backdrop);
    log.clear();
    EXPECT_EQ(backdrop.KeyDown(taken, '-'), eNoError);
    EXPECT_EQ(log, (Strings{"window 6 1024,768 at -1,-1"}));
}

} // namespace
