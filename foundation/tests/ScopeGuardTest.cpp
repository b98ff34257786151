#include <gtest/gtest.h>

#include <algorithm>

#include "foundation/ScopeGuards.h"
#include "testsupport/foundation/FakeAppServices.h"

namespace {

struct State {
    int32_t heartbeat, system, vantor;
    bool operator==(const State&) const = default;
};

std::ostream& operator<<(std::ostream& os, const State& s) {
    return os << "{heartbeat " << s.heartbeat << ", system " << s.system << ", drawn " << s.vantor
              << "}";
}

State Read(const CFakeAppServices& app) {
    return {app.m_fHeartbeat, app.m_fSystemCursor, app.m_fVantorCursor};
}

void Set(CFakeAppServices& app, const State& s) {
    app.m_fHeartbeat = s.heartbeat;
    app.m_fSystemCursor = s.system;
    app.m_fVantorCursor = s.vantor;
}

int32_t Calls(const CFakeAppServices& app) {
    return app.m_nStartHeartbeatCalls + app.m_nStopHeartbeatCalls + app.m_nShowSystemCursorCalls +
           app.m_nHideSystemCursorCalls + app.m_nShowVantorCursorCalls + app.m_nHideCursorCalls;
}

// Runs a guard's scope: the state inside it and the calls made so far.
struct Inside {
    State state;
    int32_t calls;
};

template <typename Guard> Inside InGuard(CFakeAppServices& app) {
    const Guard guard;
    return {Read(app), Calls(app)};
}

struct GuardCase {
    const char* name;
    Inside (*scope)(CFakeAppServices&);
    State before, during, after;
    int32_t restoreCalls; // calls made by the guard's end
};

void PrintTo(const GuardCase& c, std::ostream* os) {
    *os << c.name;
}

class Guard : public ::testing::TestWithParam<GuardCase> {};

TEST_P(Guard, ChangesItsStateAndRestoresOnlyWhatItChanged) {
    const GuardCase& c = GetParam();
    CFakeAppServices app;
    Set(app, c.before);
    const Inside inside = c.scope(app);
    EXPECT_EQ(inside.state, c.during);
    EXPECT_EQ(Read(app), c.after);
    EXPECT_EQ(Calls(app) - inside.calls, c.restoreCalls);
}

// The scope of each guard kind.
const auto kStop = &InGuard<CStopHeartbeat>;
const auto kHideSystem = &InGuard<CHideSystemCursor>;
const auto kShowSystem = &InGuard<CShowSystemCursor>;
const auto kHideBoth = &InGuard<CHideCursor>;

INSTANTIATE_TEST_SUITE_P(
    Cases, Guard,
    ::testing::Values(
        GuardCase{"stop_running_heartbeat", kStop, {1, 0, 1}, {0, 0, 1}, {1, 0, 1}, 1},
        GuardCase{"stop_stopped_heartbeat", kStop, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}, 0},
        GuardCase{"hide_visible_system_cursor", kHideSystem, {1, 1, 0}, {1, 0, 0}, {1, 1, 0}, 1},
        GuardCase{"hide_hidden_system_cursor", kHideSystem, {1, 0, 1}, {1, 0, 1}, {1, 0, 1}, 0},
        GuardCase{"show_hidden_system_cursor", kShowSystem, {1, 0, 0}, {1, 1, 0}, {1, 0, 0}, 1},
        GuardCase{"show_visible_system_cursor", kShowSystem, {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, 0},
        // Showing the system cursor hides the drawn one, which is not this
        // guard's to bring back.
        GuardCase{"show_system_over_drawn_cursor", kShowSystem, {1, 0, 1}, {1, 1, 0}, {1, 0, 0}, 1},
        GuardCase{"hide_cursor_system_visible", kHideBoth, {1, 1, 0}, {1, 0, 0}, {1, 1, 0}, 1},
        GuardCase{"hide_cursor_drawn_visible", kHideBoth, {1, 0, 1}, {1, 0, 0}, {1, 0, 1}, 1},
        GuardCase{"hide_cursor_none_visible", kHideBoth, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

enum GuardKind { kStopHeartbeat, kHideSystemCursor, kShowSystemCursor, kHideCursor };

void Nest(const int* order, int n);

template <typename G> void NestIn(const int* order, int n) {
    const G guard;
    Nest(order + 1, n - 1);
}

// Constructs the guards in the given order, each inside the one before.
void Nest(const int* order, int n) {
    using Scope = void (*)(const int*, int);
    static const Scope kScopes[] = {&NestIn<CStopHeartbeat>, &NestIn<CHideSystemCursor>,
                                    &NestIn<CShowSystemCursor>, &NestIn<CHideCursor>};
    if (n > 0) {
        kScopes[order[0]](order, n);
    }
}

TEST(GuardNesting, EveryOrderRestoresHeartbeatAndSystemCursor) {
    const State starts[] = {{1, 0, 1}, {0, 0, 1}, {1, 1, 0}, {0, 1, 0}, {1, 0, 0}, {0, 0, 0}};
    int order[] = {kStopHeartbeat, kHideSystemCursor, kShowSystemCursor, kHideCursor};
    int orders = 0;
    do {
        const bool hideCursorOutside = std::find(order, order + 4, kHideCursor) <
                                       std::find(order, order + 4, kShowSystemCursor);
        for (const State& start : starts) {
            CFakeAppServices app;
            Set(app, start);
            Nest(order, 4);
            const State end = Read(app);
            SCOPED_TRACE(testing::Message() << "order " << order[0] << order[1] << order[2]
                                            << order[3] << ", start " << start);
            EXPECT_EQ(end.heartbeat, start.heartbeat);
            EXPECT_EQ(end.system, start.system);
            EXPECT_EQ(app.m_nStartHeartbeatCalls, start.heartbeat);
            // The drawn cursor comes back when CHideCursor encloses the guard
            // that shows the system cursor, as in an error report.
            EXPECT_EQ(end.vantor, hideCursorOutside ? start.vantor : 0);
        }
        ++orders;
    } while (std::next_permutation(order, order + 4));
    EXPECT_EQ(orders, 24);
}

TEST(GuardNesting, WithoutApplicationServicesGuardsDoNothing) {
    ASSERT_EQ(CAppServices::Get(), nullptr);
    const int order[] = {kHideCursor, kShowSystemCursor, kStopHeartbeat, kHideSystemCursor};
    Nest(order, 4);
}

} // namespace
