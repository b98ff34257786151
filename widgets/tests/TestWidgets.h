#pragma once
// Widgets and callbacks the widget tests share: a widget of its own type
// code that logs its handlers, hooks and deletion, and callbacks whose
// reaction a test sets (log a name, take the event, run an action).

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "FileIO/FileTypes.h"
#include "widgets/Widget.h"

using Log = std::vector<std::string>;

inline std::string PointText(const gCPoint& p) {
    return std::to_string(p.x) + "," + std::to_string(p.y);
}

// Not a plain container: showing it invalidates its whole area.
inline constexpr uint32_t kLoggingTypeID = FourCC("tstw");

class CLoggingWidget : public CWidget {
public:
    explicit CLoggingWidget(Log* log = nullptr, std::string name = "")
        : m_pLog(log), m_Name(std::move(name)) {}
    ~CLoggingWidget() override { Write("deleted"); }

    uint32_t TypeID() const override { return m_nTypeID; }

    error KeyDown(CWidget*&, uint32_t key) override {
        Write("KeyDown " + std::to_string(key));
        return eNoError;
    }
    error Heartbeat() override {
        Write("Heartbeat");
        return eNoError;
    }
    error ButtonDownL(CWidget*&, gCPoint& p) override {
        Write("ButtonDownL " + PointText(p));
        return eNoError;
    }
    error ButtonDownR(CWidget*&, gCPoint& p) override {
        Write("ButtonDownR " + PointText(p));
        return eNoError;
    }
    error MouseWheel(CWidget*&, int32_t delta, gCPoint& p) override {
        Write("MouseWheel " + std::to_string(delta) + " at " + PointText(p));
        return eNoError;
    }
    int32_t Message(uint32_t id, void*, uintptr_t) override {
        Write("Message " + std::to_string(id));
        return 0;
    }
    error SizeChanged() override {
        ++m_nSizeChanges;
        return m_nSizeChangedResult;
    }
    error RecalcSizePosition(int32_t redraw) override {
        ++m_nRecalcs;
        return CWidget::RecalcSizePosition(redraw);
    }

    uint32_t m_nTypeID = kLoggingTypeID;
    int32_t m_nSizeChanges = 0;
    int32_t m_nRecalcs = 0;
    error m_nSizeChangedResult = eNoError;

private:
    void Write(const std::string& what) {
        if (m_pLog) {
            m_pLog->push_back(m_Name + ":" + what);
        }
    }

    Log* m_pLog;
    std::string m_Name;
};

// What a registered callback does: it logs "name" (with the key, point or
// message id), then runs the action, takes the event when told to and
// answers the result.
struct SReaction {
    Log* log = nullptr;
    std::string name;
    std::function<void(CWidget*)> action;
    bool take = false;
    error result = eNoError;
    int32_t answer = 0; // for messages
};

inline void Note(SReaction& r, const std::string& what) {
    if (r.log) {
        r.log->push_back(what.empty() ? r.name : r.name + " " + what);
    }
}

inline error PointReaction(void* user, CWidget* widget, CWidget*& taker, gCPoint& p) {
    SReaction& r = *static_cast<SReaction*>(user);
    Note(r, PointText(p));
    if (r.action) {
        r.action(widget);
    }
    if (r.take) {
        taker = widget;
    }
    return r.result;
}

inline error KeyReaction(void* user, CWidget* widget, CWidget*& taker, uint32_t code) {
    SReaction& r = *static_cast<SReaction*>(user);
    Note(r, std::to_string(code));
    if (r.action) {
        r.action(widget);
    }
    if (r.take) {
        taker = widget;
    }
    return r.result;
}

inline error HeartbeatReaction(void* user, CWidget* widget) {
    SReaction& r = *static_cast<SReaction*>(user);
    Note(r, "");
    if (r.action) {
        r.action(widget);
    }
    return r.result;
}

inline int32_t MessageReaction(void* user, CWidget* widget, uint32_t id, void*, uintptr_t) {
    SReaction& r = *static_cast<SReaction*>(user);
    Note(r, std::to_string(id));
    if (r.action) {
        r.action(widget);
    }
    return r.answer;
}

inline error WheelReaction(void* user, CWidget* widget, CWidget*& taker, gCPoint& p,
                           int32_t delta) {
    SReaction& r = *static_cast<SReaction*>(user);
    Note(r, std::to_string(delta) + " at " + PointText(p));
    if (r.action) {
        r.action(widget);
    }
    if (r.take) {
        taker = widget;
    }
    return r.result;
}

// Reactions with addresses that stay put while a test adds more.
class CReactions {
public:
    explicit CReactions(Log* log) : m_pLog(log) {}
    SReaction& Add(std::string name) {
        m_aReactions.push_back(SReaction{m_pLog, std::move(name), {}, false, eNoError, 0});
        return m_aReactions.back();
    }

private:
    Log* m_pLog;
    std::deque<SReaction> m_aReactions;
};
