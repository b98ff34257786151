// Dirty area: what each setter hands up to the root, clipped at every
// level, and when only the redraw arrives. The root logs "dirty l,t,r,b"
// for each rectangle that reaches it and "redraw" for each redraw.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/Widget.h"
#include "widgets/tests/TestWidgets.h"

namespace {

// A root 200 x 100 with a widget of its own type at (10, 10, 50, 30).
class Invalidation : public ::testing::Test {
protected:
    void SetUp() override {
        widget = AddPlaced<CLoggingWidget>(root, gCRect(10, 10, 50, 30));
        ASSERT_NE(widget, nullptr);
        root.m_aLog.clear();
    }

    CRecordingRoot root{200, 100};
    CLoggingWidget* widget = nullptr;
};

struct SAddCase {
    const char* name;
    int32_t visible;
    int32_t redraw;
    Log expected;
};

// Failures name the case.
void PrintTo(const SAddCase& c, std::ostream* os) {
    *os << c.name;
}

class AddingAChild : public ::testing::TestWithParam<SAddCase> {};

TEST_P(AddingAChild, InvalidatesWhatItCovers) {
    const SAddCase& c = GetParam();
    CRecordingRoot root(200, 100);
    auto child = std::make_unique<CLoggingWidget>();
    ASSERT_EQ(child->SetPosition(10, 10, 0), eNoError);
    ASSERT_EQ(child->SetSize(40, 20, 0), eNoError);
    ASSERT_EQ(child->SetVisibility(c.visible, 0), eNoError);
    ASSERT_EQ(root.AddChild(child.release(), c.redraw), eNoError);
    EXPECT_EQ(root.m_aLog, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Invalidation, AddingAChild,
    ::testing::Values(SAddCase{"Visible", 1, 0, {"dirty 10,10,50,30"}},
                      SAddCase{"VisibleRedrawn", 1, 1, {"dirty 10,10,50,30", "redraw"}},
                      SAddCase{"Hidden", 0, 0, {}}, SAddCase{"HiddenRedrawn", 0, 1, {"redraw"}}),
    [](const ::testing::TestParamInfo<SAddCase>& info) { return info.param.name; });

struct SSetterCase {
    const char* name;
    int32_t startVisible;
    std::function<error(CWidget&)> set;
    Log expected;
};

// Failures name the case.
void PrintTo(const SSetterCase& c, std::ostream* os) {
    *os << c.name;
}

class Setter : public Invalidation, public ::testing::WithParamInterface<SSetterCase> {};

TEST_P(Setter, HandsUpItsArea) {
    const SSetterCase& c = GetParam();
    ASSERT_EQ(widget->SetVisibility(c.startVisible, 0), eNoError);
    root.m_aLog.clear();
    EXPECT_EQ(c.set(*widget), eNoError);
    EXPECT_EQ(root.m_aLog, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Invalidation, Setter,
    ::testing::Values(
        SSetterCase{
            "Show", 0, [](CWidget& w) { return w.SetVisibility(1, 0); }, {"dirty 10,10,50,30"}},
        SSetterCase{"HideAndRedraw",
                    1,
                    [](CWidget& w) { return w.SetVisibility(0, 1); },
                    {"dirty 10,10,50,30", "redraw"}},
        SSetterCase{"ShowAgainOnlyRedraws",
                    1,
                    [](CWidget& w) { return w.SetVisibility(1, 1); },
                    {"redraw"}},
        SSetterCase{
            "HideAgainDoesNothing", 0, [](CWidget& w) { return w.SetVisibility(0, 0); }, {}},
        SSetterCase{
            "Fade", 1, [](CWidget& w) { return w.SetOpacity(128, 0); }, {"dirty 10,10,50,30"}},
        SSetterCase{"SameOpacityStillRedraws",
                    1,
                    [](CWidget& w) { return w.SetOpacity(255, 1); },
                    {"redraw"}},
        SSetterCase{
            "FadeWhileHidden", 0, [](CWidget& w) { return w.SetOpacity(10, 1); }, {"redraw"}},
        SSetterCase{"PropagateOpacity",
                    1,
                    [](CWidget& w) { return w.SetPropagateOpacity(0, 1); },
                    {"dirty 10,10,50,30", "redraw"}},
        // The old and the new coverage, each clipped to the parent.
        SSetterCase{"MoveOutOfTheParent",
                    1,
                    [](CWidget& w) { return w.SetPosition(180, 90, 1); },
                    {"dirty 10,10,50,30", "dirty 180,90,200,100", "redraw"}},
        SSetterCase{
            "MoveWhileHidden", 0, [](CWidget& w) { return w.MoveRelative(5, 5, 1); }, {"redraw"}},
        SSetterCase{"Grow",
                    1,
                    [](CWidget& w) { return w.SetSize(60, 20, 0); },
                    {"dirty 10,10,50,30", "dirty 10,10,70,30", "dirty 10,10,70,30"}},
        SSetterCase{"SameSizeStillInvalidates",
                    1,
                    [](CWidget& w) { return w.SetWidth(40, 1); },
                    {"dirty 10,10,50,30", "redraw"}},
        SSetterCase{"InvalidateArea",
                    0,
                    [](CWidget& w) { return w.InvalidateArea(gCRect(-5, 5, 10, 50), 0); },
                    {"dirty 10,15,20,30"}},
        SSetterCase{"InvalidateAreaOutside",
                    1,
                    [](CWidget& w) { return w.InvalidateArea(gCRect(50, 0, 60, 5), 1); },
                    {"redraw"}},
        SSetterCase{"RaiseAVisibleChild",
                    1,
                    [](CWidget& w) { return w.SetMeHighestPriority(1); },
                    {"dirty 10,10,50,30", "redraw"}},
        SSetterCase{"LowerAHiddenChild",
                    0,
                    [](CWidget& w) { return w.SetMeLowestPriority(1); },
                    {"redraw"}},
        SSetterCase{"RemoveVisible",
                    1,
                    [](CWidget& w) { return w.Parent()->RemoveChild(&w, 1); },
                    {"dirty 10,10,50,30", "redraw"}},
        SSetterCase{"RemoveHidden",
                    0,
                    [](CWidget& w) { return w.Parent()->RemoveChild(&w, 1); },
                    {"redraw"}}),
    [](const ::testing::TestParamInfo<SSetterCase>& info) { return info.param.name; });

// A drawing widget ('drwg') is not invalidated by the size setters: only
// its change of coverage arrives.
TEST_F(Invalidation, ADrawingWidgetIsNotInvalidatedBySizeSetters) {
    widget->m_nTypeID = kDrawingWidgetTypeID;
    EXPECT_EQ(widget->SetSize(60, 20, 0), eNoError);
    EXPECT_EQ(root.m_aLog, (Log{"dirty 10,10,50,30", "dirty 10,10,70,30"}));
    root.m_aLog.clear();
    EXPECT_EQ(widget->SetHeight(20, 1), eNoError);
    EXPECT_EQ(root.m_aLog, (Log{"redraw"}));
}

// Inside a panel at (20, 20, 120, 80): a child's rectangles are converted
// to the root's coordinates and clipped to the panel on the way.
TEST(InvalidationInAPanel, IsClippedToThePanel) {
    CRecordingRoot root(200, 100);
    CWidget* panel = AddPlaced<CLoggingWidget>(root, gCRect(20, 20, 120, 80));
    CWidget* child = AddPlaced<CLoggingWidget>(*panel, gCRect(10, 10, 50, 30));
    ASSERT_TRUE(panel && child);
    root.m_aLog.clear();

    ASSERT_EQ(child->SetPosition(80, 50, 0), eNoError);
    EXPECT_EQ(root.m_aLog, (Log{"dirty 30,30,70,50", "dirty 100,70,120,80"}));

    root.m_aLog.clear();
    ASSERT_EQ(child->InvalidateTotal(1), eNoError);
    EXPECT_EQ(root.m_aLog, (Log{"dirty 100,70,120,80", "redraw"}));

    // A hidden panel passes only the redraw.
    ASSERT_EQ(panel->SetVisibility(0, 0), eNoError);
    root.m_aLog.clear();
    ASSERT_EQ(child->InvalidateTotal(1), eNoError);
    ASSERT_EQ(child->InvalidateClient(0), eNoError);
    ASSERT_EQ(child->SetOpacity(3, 1), eNoError);
    ASSERT_EQ(child->MoveRelative(-10, 0, 0), eNoError);
    EXPECT_EQ(root.m_aLog, (Log{"redraw", "redraw"}));
}

// A plain container draws nothing: showing or hiding it invalidates only
// what lies under its children, through nested containers; unless it
// blits opaquely, which invalidates its whole area.
TEST(InvalidationOfAContainer, CoversOnlyItsChildren) {
    CRecordingRoot root(200, 100);
    CWidget* container = AddPlaced(root, gCRect(10, 10, 110, 60));
    ASSERT_NE(container, nullptr);
    CWidget* nested = AddPlaced(*container, gCRect(30, 0, 80, 40));
    ASSERT_NE(nested, nullptr);
    ASSERT_NE(AddPlaced<CLoggingWidget>(*nested, gCRect(5, 5, 15, 15)), nullptr);
    ASSERT_NE(AddPlaced<CLoggingWidget>(*container, gCRect(0, 0, 20, 20)), nullptr);
    root.m_aLog.clear();

    ASSERT_EQ(container->SetVisibility(0, 0), eNoError);
    EXPECT_EQ(root.m_aLog, (Log{"dirty 10,10,30,30", "dirty 45,15,55,25"}));

    root.m_aLog.clear();
    container->SetOpaqueBlit(1);
    ASSERT_EQ(container->SetVisibility(1, 1), eNoError);
    EXPECT_EQ(root.m_aLog, (Log{"dirty 10,10,110,60", "redraw"}));
}

// A root hands a coverage change, made local, to its own dirty area.
TEST(InvalidationAtTheRoot, CoverageIsMadeLocal) {
    CRecordingRoot root(200, 100);
    ASSERT_EQ(root.SetPosition(7, 3, 0), eNoError);
    root.m_aLog.clear();
    ASSERT_EQ(root.PassChangeCoverageToParent(gCRect(10, 10, 20, 20), 0), eNoError);
    EXPECT_EQ(root.m_aLog, (Log{"dirty 3,7,13,17"}));
}

// Errors of the root come back from the setters that reach it.
TEST_F(Invalidation, TheRootsErrorsComeBack) {
    root.m_nRedrawResult = eOutOfMemory;
    EXPECT_EQ(widget->SetVisibility(1, 1), eOutOfMemory);
    root.m_nRedrawResult = eNoError;
    root.m_nDirtyResult = eGenericFailure;
    EXPECT_EQ(widget->SetVisibility(0, 0), eGenericFailure);
    EXPECT_EQ(widget->Visible(), 0); // hidden all the same
}

} // namespace
