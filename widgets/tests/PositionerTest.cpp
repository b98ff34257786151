// The positioner: how the resource's placement rules become the rect, with
// the rounding and clamping of every value, and what a move or a resize
// sets off.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <ostream>

#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/Widget.h"
#include "widgets/tests/TestWidgets.h"

namespace {

using SPositioner = CWidget::SPositioner;

struct SPlacementCase {
    const char* name;
    int32_t parentWidth;
    int32_t parentHeight;
    int32_t stayInParent;
    std::function<void(SPositioner&)> rules;
    gCRect expected;
};

// Failures name the case.
void PrintTo(const SPlacementCase& c, std::ostream* os) {
    *os << c.name;
}

class Placement : public ::testing::TestWithParam<SPlacementCase> {};

TEST_P(Placement, GivesTheRect) {
    const SPlacementCase& c = GetParam();
    CRecordingRoot parent(c.parentWidth, c.parentHeight);
    auto child = std::make_unique<CWidget>();
    child->SetStayInParent(c.stayInParent);
    c.rules(*child->Positioner());
    ASSERT_EQ(parent.AddChild(child.get(), 0), eNoError);
    EXPECT_EQ(child.release()->Rect(), c.expected);
}

constexpr int32_t kMax = 1000000000;

INSTANTIATE_TEST_SUITE_P(
    Positioner, Placement,
    ::testing::Values(
        // 0.5 x 301 = 150.5 rounds to 151; 301 - 0 - 151 = 150.
        SPlacementCase{"HalfFractionFromTheFarSideMinusItsOwnSize", 301, 200, 0,
                       [](SPositioner& p) {
                           p.m_rXSize = 0.5f;
                           p.m_fXSizeFraction = 1;
                           p.m_fXFarSide = 1;
                           p.m_fXMinusOwn = 1;
                           p.m_rYSize = 10;
                       },
                       gCRect(150, 0, 301, 10)},
        // (301 - 100) x 0.5 = 100.5 rounds to 101.
        SPlacementCase{"CentredInAnOddParent", 301, 200, 0,
                       [](SPositioner& p) {
                           p.m_rXSize = 100;
                           p.m_fXCentre = 1;
                           p.m_rXPos = 40; // ignored while centred
                           p.m_rYSize = 10;
                       },
                       gCRect(101, 0, 201, 10)},
        SPlacementCase{"NegativeHalfRoundsAwayFromZero", 301, 200, 0,
                       [](SPositioner& p) {
                           p.m_rXPos = -2.5f;
                           p.m_rYPos = 2.5f;
                           p.m_rXSize = 10;
                           p.m_rYSize = 10;
                       },
                       gCRect(-3, 3, 7, 13)},
        // 0.25 x 301 = 75.25; 0.5 x 201 = 100.5.
        SPlacementCase{"FractionsOfTheParent", 301, 201, 0,
                       [](SPositioner& p) {
                           p.m_rXPos = 0.25f;
                           p.m_fXPosFraction = 1;
                           p.m_rXSize = 20;
                           p.m_rYSize = 0.5f;
                           p.m_fYSizeFraction = 1;
                       },
                       gCRect(75, 0, 95, 101)},
        // The parent-minus flag wins over the fraction flag.
        SPlacementCase{"ParentMinus", 301, 200, 0,
                       [](SPositioner& p) {
                           p.m_rXSize = 20;
                           p.m_fXParentMinus = 1;
                           p.m_fXSizeFraction = 1;
                           p.m_rYSize = 10;
                       },
                       gCRect(0, 0, 281, 10)},
        SPlacementCase{"ParentMinusWiderThanTheParentIsEmpty", 301, 200, 0,
                       [](SPositioner& p) {
                           p.m_rXPos = 7;
                           p.m_rXSize = 500;
                           p.m_fXParentMinus = 1;
                           p.m_rYSize = 10;
                       },
                       gCRect(7, 0, 7, 10)},
        SPlacementCase{"FarSideBottom", 301, 200, 0,
                       [](SPositioner& p) {
                           p.m_rYPos = 10;
                           p.m_fYFarSide = 1;
                           p.m_rXSize = 5;
                           p.m_rYSize = 20;
                       },
                       gCRect(0, 190, 5, 210)},
        SPlacementCase{"StayInParentFromTheLeft", 100, 100, 1,
                       [](SPositioner& p) {
                           p.m_rXPos = -10;
                           p.m_rXSize = 50;
                           p.m_rYPos = 70;
                           p.m_rYSize = 50;
                       },
                       gCRect(0, 50, 50, 100)},
        // (100 - 150) x 0.5 = -25, and a centred axis is never shifted.
        SPlacementCase{"StayInParentNeverShiftsACentredAxis", 100, 100, 1,
                       [](SPositioner& p) {
                           p.m_rXSize = 150;
                           p.m_fXCentre = 1;
                           p.m_rYPos = -10;
                           p.m_rYSize = 50;
                       },
                       gCRect(-25, 0, 125, 50)},
        // Out-of-range floats are clamped to +-1e9 before rounding.
        SPlacementCase{"HugeSizeIsClamped", 301, 200, 0,
                       [](SPositioner& p) {
                           p.m_rXSize = 1e30f;
                           p.m_rYSize = 1e30f;
                           p.m_fYSizeFraction = 1;
                       },
                       gCRect(0, 0, kMax, kMax)},
        SPlacementCase{"HugeFractionFromTheFarSide", 301, 200, 0,
                       [](SPositioner& p) {
                           p.m_rXSize = 1e30f;
                           p.m_fXSizeFraction = 1;
                           p.m_fXFarSide = 1;
                           p.m_fXMinusOwn = 1;
                           p.m_rYPos = -1e30f;
                           p.m_rYSize = 10;
                       },
                       gCRect(301 - kMax, -kMax, 301, -kMax + 10)},
        // 301 - (-1e9) is more than 1e9: the right side is clamped.
        SPlacementCase{"HugeParentMinusClampsTheRightSide", 301, 200, 0,
                       [](SPositioner& p) {
                           p.m_rXSize = -1e30f;
                           p.m_fXParentMinus = 1;
                           p.m_rYSize = 10;
                       },
                       gCRect(0, 0, kMax, 10)},
        // Kept in the parent, a huge rect ends at the parent's far sides.
        SPlacementCase{"HugeRectStaysInParent", 301, 200, 1,
                       [](SPositioner& p) {
                           p.m_rXSize = -1e30f;
                           p.m_fXParentMinus = 1;
                           p.m_rYPos = 1e30f;
                           p.m_rYSize = 1e30f;
                       },
                       gCRect(-kMax, 200 - kMax, 301, 200)},
        // An infinite fraction of an empty parent is not a number: 0.
        SPlacementCase{"InfiniteFractionOfAnEmptyParent", 0, 0, 0,
                       [](SPositioner& p) {
                           p.m_rXSize = std::numeric_limits<float>::infinity();
                           p.m_fXSizeFraction = 1;
                           p.m_rYPos = std::numeric_limits<float>::quiet_NaN();
                           p.m_rYSize = 4;
                       },
                       gCRect(0, 0, 0, 4)}),
    [](const ::testing::TestParamInfo<SPlacementCase>& info) { return info.param.name; });

// A root has nothing to be relative to: with any relative flag it keeps its
// rect.
TEST(Positioner, RootWithARelativeFlagKeepsItsRect) {
    int32_t SPositioner::*const flags[] = {
        &SPositioner::m_fXPosFraction,  &SPositioner::m_fYPosFraction,
        &SPositioner::m_fXFarSide,      &SPositioner::m_fYFarSide,
        &SPositioner::m_fXSizeFraction, &SPositioner::m_fYSizeFraction,
        &SPositioner::m_fXParentMinus,  &SPositioner::m_fYParentMinus,
        &SPositioner::m_fXMinusOwn,     &SPositioner::m_fYMinusOwn,
        &SPositioner::m_fXCentre,       &SPositioner::m_fYCentre,
    };
    for (auto flag : flags) {
        CWidget root;
        ASSERT_EQ(root.SetPosition(5, 6, 0), eNoError);
        ASSERT_EQ(root.SetSize(50, 40, 0), eNoError);
        root.Positioner()->*flag = 1;
        root.Positioner()->m_rXSize = 0.5f;
        root.Positioner()->m_rYPos = 70;
        EXPECT_EQ(root.RecalcSizePosition(0), eNoError);
        EXPECT_EQ(root.Rect(), gCRect(5, 6, 55, 46));
    }
}

TEST(Positioner, SetPositionKeepsMeasuringFromTheFarSide) {
    CRecordingRoot parent(301, 200);
    CWidget* child = AddPlaced(parent, gCRect(0, 0, 20, 10));
    ASSERT_NE(child, nullptr);
    SPositioner& p = *child->Positioner();
    p.m_fXFarSide = 1;
    p.m_fXMinusOwn = 1;
    p.m_fXPosFraction = 1;
    p.m_fXCentre = 1;
    ASSERT_EQ(child->SetPosition(30, 4, 0), eNoError);
    // The fraction and centre flags are gone, the far side stays:
    // 301 - 30 - 20.
    EXPECT_EQ(child->Rect(), gCRect(251, 4, 271, 14));
    EXPECT_EQ(p.m_fXFarSide, 1);
    EXPECT_EQ(p.m_fXMinusOwn, 1);
    EXPECT_EQ(p.m_fXPosFraction, 0);
    EXPECT_EQ(p.m_fXCentre, 0);

    ASSERT_EQ(child->SetXPos(50, 0), eNoError);
    EXPECT_EQ(child->Rect(), gCRect(231, 4, 251, 14));
}

TEST(Positioner, SizeSettersClearTheRelativeSizeFlags) {
    CRecordingRoot parent(300, 200);
    CWidget* child = AddPlaced(parent, gCRect(10, 10, 20, 20));
    ASSERT_NE(child, nullptr);
    SPositioner& p = *child->Positioner();
    p.m_fXSizeFraction = p.m_fYParentMinus = 1;
    ASSERT_EQ(child->SetSize(40, 30, 0), eNoError);
    EXPECT_EQ(child->Rect(), gCRect(10, 10, 50, 40));
    EXPECT_EQ(p.m_fXSizeFraction + p.m_fYParentMinus, 0);

    p.m_fXParentMinus = 1;
    ASSERT_EQ(child->SetHeight(5, 0), eNoError);
    EXPECT_EQ(p.m_fXParentMinus, 1);                   // the other axis keeps its rule
    EXPECT_EQ(child->Rect(), gCRect(10, 10, 270, 15)); // 300 - 40 wide
}

TEST(Positioner, MoveRelativeStartsFromTheRect) {
    CRecordingRoot parent(300, 200);
    CWidget* child = AddPlaced(parent, gCRect(10, 20, 30, 30));
    ASSERT_NE(child, nullptr);
    ASSERT_EQ(child->MoveRelative(gCPoint(5, -25), 0), eNoError);
    EXPECT_EQ(child->Rect(), gCRect(15, -5, 35, 5));
}

// A move shifts the total rect and calls no SizeChanged and no child's
// recalculation; a resize calls each once.
TEST(Positioner, OnlyAResizeRecalculatesTheSubtree) {
    CRecordingRoot root(300, 200);
    auto* panel = static_cast<CLoggingWidget*>(
        AddPlaced(root, std::make_unique<CLoggingWidget>(), gCRect(10, 10, 110, 60)));
    ASSERT_NE(panel, nullptr);
    auto* child = static_cast<CLoggingWidget*>(
        AddPlaced(*panel, std::make_unique<CLoggingWidget>(), gCRect(0, 0, 10, 10)));
    ASSERT_NE(child, nullptr);
    child->Positioner()->m_rXSize = 0.5f;
    child->Positioner()->m_fXSizeFraction = 1;
    panel->m_nSizeChanges = child->m_nRecalcs = 0;

    ASSERT_EQ(panel->SetPosition(40, 50, 0), eNoError);
    EXPECT_EQ(panel->Rect(), gCRect(40, 50, 140, 100));
    EXPECT_EQ(panel->TotalRect(), panel->Rect());
    EXPECT_EQ(panel->m_nSizeChanges, 0);
    EXPECT_EQ(child->m_nRecalcs, 0);
    EXPECT_EQ(child->Rect(), gCRect(0, 0, 10, 10));

    ASSERT_EQ(panel->SetWidth(60, 0), eNoError);
    EXPECT_EQ(panel->m_nSizeChanges, 1);
    EXPECT_EQ(child->m_nRecalcs, 1);
    EXPECT_EQ(child->Rect(), gCRect(0, 0, 30, 10));
}

TEST(Positioner, AFailingChildRecalculationIsReturned) {
    CRecordingRoot root(300, 200);
    CWidget* panel = AddPlaced(root, gCRect(0, 0, 100, 100));
    auto* child = static_cast<CLoggingWidget*>(
        AddPlaced(*panel, std::make_unique<CLoggingWidget>(), gCRect(0, 0, 10, 10)));
    ASSERT_NE(child, nullptr);
    child->Positioner()->m_fXParentMinus = 1;
    child->m_nSizeChangedResult = eOutOfMemory;
    EXPECT_EQ(panel->SetSize(50, 50, 0), eOutOfMemory);
    EXPECT_EQ(panel->Rect(), gCRect(0, 0, 50, 50)); // stored before the children
}

} // namespace
