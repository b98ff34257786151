// Effect hosting: the nine places, what adding, changing and destroying do
// to an effect and to the total rect, exclusions in owner-local
// coordinates, the order effects hear of moves, and finding an ancestor's
// effect.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/Widget.h"
#include "widgets/WidgetEffectBase.h"
#include "widgets/tests/StubEffect.h"
#include "widgets/tests/TestWidgets.h"

namespace {

using AddFn = error (CWidget::*)(CWidgetEffectBase*, int32_t, int32_t);
using GetFn = CWidgetEffectBase* (CWidget::*)(int32_t) const;

struct SArray {
    char name;
    AddFn add;
    GetFn get;
    uint32_t priority;
};

const SArray kArrays[] = {
    {'U', &CWidget::AddEffectU, &CWidget::EffectUnder, 0},
    {'B', &CWidget::AddEffectB, &CWidget::EffectBetween, 1},
    {'O', &CWidget::AddEffectO, &CWidget::EffectOver, 2},
};

// A root 200 x 100 with a widget at (10, 10, 50, 30).
class EffectHosting : public ::testing::Test {
protected:
    void SetUp() override {
        widget = AddPlaced(root, gCRect(10, 10, 50, 30));
        ASSERT_NE(widget, nullptr);
        root.m_aLog.clear();
    }
    CStubEffect* NewEffect(const std::string& name, const gCRect& extent = gCRect()) {
        return new CStubEffect(&log, name, extent);
    }
    // All nine places filled, named U0 .. O2.
    void FillAllPlaces(CWidget* w) {
        for (const SArray& a : kArrays) {
            for (int32_t i = 0; i < 3; ++i) {
                ASSERT_EQ((w->*a.add)(NewEffect(std::string(1, a.name) + std::to_string(i)), i, 0),
                          eNoError);
            }
        }
        log.clear();
    }

    Log log;
    CRecordingRoot root{200, 100};
    CWidget* widget = nullptr;
};

TEST_F(EffectHosting, AnOccupiedPlaceLosesItsEffectBeforeTheNewOneIsTaken) {
    for (const SArray& a : kArrays) {
        SCOPED_TRACE(a.name);
        ASSERT_EQ((widget->*a.add)(NewEffect("old"), 1, 0), eNoError);
        CStubEffect* fresh = NewEffect("new");
        log.clear();
        ASSERT_EQ((widget->*a.add)(fresh, 1, 0), eNoError);
        EXPECT_EQ(log, (Log{"old deleted", "new changed"}));
        EXPECT_EQ((widget->*a.get)(1), fresh);
        EXPECT_EQ(fresh->Priority(), a.priority);
        EXPECT_EQ(fresh->Owner(), widget);
        widget->DestroyEffects();
    }
}

TEST_F(EffectHosting, PlacesOutsideTheArrayAndUnfitEffectsAreRefused) {
    for (const SArray& a : kArrays) {
        for (int32_t index : {-1, 3, 7}) {
            SCOPED_TRACE(std::string(1, a.name) + std::to_string(index));
            auto effect = std::make_unique<CStubEffect>(nullptr, "stray");
            EXPECT_EQ((widget->*a.add)(effect.get(), index, 1), eBadParameter);
            EXPECT_EQ(effect->Owner(), nullptr);
            EXPECT_EQ((widget->*a.get)(index), nullptr);
        }
        EXPECT_EQ((widget->*a.add)(nullptr, 0, 0), eBadParameter);
    }
    EXPECT_EQ(root.m_aLog, Log{});
    // An effect that another widget holds stays there.
    CStubEffect* held = NewEffect("held");
    ASSERT_EQ(widget->AddEffectU(held, 0, 0), eNoError);
    CWidget* other = AddPlaced(root, gCRect(0, 0, 5, 5));
    EXPECT_EQ(other->AddEffectO(held, 0, 0), eBadParameter);
    EXPECT_EQ(other->EffectOver(0), nullptr);
    EXPECT_EQ(held->Owner(), widget);
    widget->DestroyEffectU(5); // nothing there, nothing done
    EXPECT_EQ(widget->EffectUnder(0), held);
}

TEST_F(EffectHosting, UpdateAllEffectsGoesThroughThePlacesByIndexFirst) {
    FillAllPlaces(widget);
    ASSERT_EQ(widget->UpdateAllEffects(), eNoError);
    EXPECT_EQ(log, (Log{"U0 changed", "B0 changed", "O0 changed", "U1 changed", "B1 changed",
                        "O1 changed", "U2 changed", "B2 changed", "O2 changed"}));

    static_cast<CStubEffect*>(widget->EffectBetween(1))->m_nChangedResult = eOutOfMemory;
    log.clear();
    EXPECT_EQ(widget->UpdateAllEffects(), eOutOfMemory);
    EXPECT_EQ(log, (Log{"U0 changed", "B0 changed", "O0 changed", "U1 changed", "B1 changed"}));
}

TEST_F(EffectHosting, AFailingRebuildKeepsTheEffectAndLeavesTheTotalRect) {
    CStubEffect* effect = NewEffect("U0", gCRect(-8, -8, 48, 28));
    effect->m_nChangedResult = eOutOfMemory;
    EXPECT_EQ(widget->AddEffectU(effect, 0, 1), eOutOfMemory);
    EXPECT_EQ(widget->EffectUnder(0), effect); // the widget owns it
    EXPECT_EQ(widget->TotalRect(), gCRect(10, 10, 50, 30));
    EXPECT_EQ(root.m_aLog, Log{});
}

TEST_F(EffectHosting, AnExtentBeyondTheRectGrowsAndInvalidatesTheTotalRect) {
    ASSERT_EQ(widget->AddEffectU(NewEffect("U0", gCRect(-8, -8, 48, 28)), 0, 1), eNoError);
    EXPECT_EQ(widget->TotalRect(), gCRect(2, 2, 58, 38));
    // Once as the effect changed, once more as it was added, with the redraw.
    EXPECT_EQ(root.m_aLog, (Log{"dirty 2,2,58,38", "dirty 2,2,58,38", "redraw"}));

    // A move shifts the total rect with the rect.
    ASSERT_EQ(widget->SetPosition(20, 20, 0), eNoError);
    EXPECT_EQ(widget->TotalRect(), gCRect(12, 12, 68, 48));
}

TEST_F(EffectHosting, TheTotalRectUnitesTheExtentsAndIgnoresEmptyOnes) {
    ASSERT_EQ(widget->AddEffectU(NewEffect("U0", gCRect(-4, 0, 40, 20)), 0, 0), eNoError);
    ASSERT_EQ(widget->AddEffectO(NewEffect("O2", gCRect(0, -6, 45, 20)), 2, 0), eNoError);
    EXPECT_EQ(widget->TotalRect(), gCRect(6, 4, 55, 30));

    widget->DestroyEffects();
    ASSERT_EQ(widget->AddEffectU(NewEffect("inside", gCRect(10, 10, 20, 20)), 0, 0), eNoError);
    ASSERT_EQ(widget->AddEffectB(NewEffect("far", gCRect(500, 500, 500, 900)), 0, 0), eNoError);
    EXPECT_EQ(widget->TotalRect(), gCRect(10, 10, 50, 30));
    widget->DestroyEffects();
    ASSERT_EQ(widget->AddEffectB(NewEffect("empty", gCRect()), 1, 0), eNoError);
    EXPECT_EQ(widget->TotalRect(), gCRect(10, 10, 50, 30));
}

TEST_F(EffectHosting, FindFirstParentEffectTakesTheNearestAncestorsEffect) {
    CWidget* parent = AddPlaced(*widget, gCRect(0, 0, 30, 10));
    CWidget* child = AddPlaced(*parent, gCRect(0, 0, 10, 10));
    auto typed = [this](const char* name, uint32_t type) {
        CStubEffect* e = NewEffect(name);
        e->m_nTypeID = type;
        return e;
    };
    ASSERT_EQ(widget->AddEffectB(typed("far a", FourCC("aaaa")), 1, 0), eNoError);
    ASSERT_EQ(widget->AddEffectO(typed("far b", FourCC("bbbb")), 0, 0), eNoError);
    CStubEffect* nearB = typed("near b", FourCC("bbbb"));
    ASSERT_EQ(parent->AddEffectU(nearB, 2, 0), eNoError);

    EXPECT_EQ(child->FindFirstParentEffect(FourCC("bbbb")), nearB);
    EXPECT_EQ(child->FindFirstParentEffect(FourCC("aaaa")), widget->EffectBetween(1));
    EXPECT_EQ(child->FindFirstParentEffect(FourCC("zzzz")), nullptr);
    // Under before between before over on one widget.
    CStubEffect* over = typed("over", FourCC("cccc"));
    CStubEffect* under = typed("under", FourCC("cccc"));
    ASSERT_EQ(parent->AddEffectO(over, 0, 0), eNoError);
    ASSERT_EQ(parent->AddEffectU(under, 1, 0), eNoError);
    EXPECT_EQ(child->FindFirstParentEffect(FourCC("cccc")), under);
}

TEST_F(EffectHosting, ExclusionsAreOwnerLocalForInvalidationToo) {
    CStubEffect* effect = NewEffect("U0", gCRect(-8, -8, 48, 28));
    ASSERT_EQ(widget->AddEffectU(effect, 0, 0), eNoError);
    root.m_aLog.clear();

    ASSERT_EQ(effect->AddExclusion(gCRect(5, 5, 15, 15), 1), eNoError);
    EXPECT_EQ(root.m_aLog, (Log{"dirty 15,15,25,25", "redraw"}));
    EXPECT_EQ(effect->Exclusions().GetCount(), 1);

    root.m_aLog.clear();
    ASSERT_EQ(effect->AddExclusion(gCRect(-20, -20, -5, -5), 0), eNoError); // half in the shadow
    EXPECT_EQ(root.m_aLog, (Log{"dirty 2,2,5,5"}));

    root.m_aLog.clear();
    ASSERT_EQ(effect->RemoveExclusion(gCRect(5, 5, 15, 15), 0), eNoError);
    EXPECT_EQ(root.m_aLog, (Log{"dirty 15,15,25,25"}));

    root.m_aLog.clear();
    ASSERT_EQ(effect->AddExclusion(gCRect(100, 100, 110, 110), 1), eNoError); // outside
    EXPECT_EQ(root.m_aLog, (Log{"redraw"}));

    root.m_aLog.clear();
    ASSERT_EQ(effect->ResetExclusion(1), eNoError);
    EXPECT_TRUE(effect->Exclusions().IsEmpty());
    EXPECT_EQ(root.m_aLog, (Log{"dirty 2,2,58,38", "redraw"}));

    root.m_aLog.clear();
    ASSERT_EQ(effect->SetOpacity(100, 0), eNoError);
    EXPECT_EQ(effect->Opacity(), 100);
    EXPECT_EQ(root.m_aLog, (Log{"dirty 2,2,58,38"}));

    // Detached, an effect only stores.
    CStubEffect detached(nullptr, "detached");
    EXPECT_EQ(detached.AddExclusion(gCRect(0, 0, 4, 4), 1), eNoError);
    EXPECT_EQ(detached.ResetExclusion(1), eNoError);
    EXPECT_EQ(detached.SetOpacity(7, 1), eNoError);
    EXPECT_EQ(detached.Opacity(), 7);
}

TEST_F(EffectHosting, MovesReachUnderAndBetweenThenChildrenThenOver) {
    CWidget* child = AddPlaced(*widget, gCRect(5, 5, 15, 15));
    ASSERT_EQ(widget->AddEffectO(NewEffect("O0"), 0, 0), eNoError);
    ASSERT_EQ(widget->AddEffectB(NewEffect("B1"), 1, 0), eNoError);
    ASSERT_EQ(widget->AddEffectU(NewEffect("U1"), 1, 0), eNoError);
    ASSERT_EQ(widget->AddEffectB(NewEffect("B0"), 0, 0), eNoError);
    ASSERT_EQ(widget->AddEffectU(NewEffect("U0"), 0, 0), eNoError);
    ASSERT_EQ(child->AddEffectU(NewEffect("child"), 0, 0), eNoError);
    log.clear();

    gCRect moved(10, 10, 50, 30);
    ASSERT_EQ(widget->EffectParentMoved(widget, moved), eNoError);
    EXPECT_EQ(log, (Log{"U0 moved 10,10,50,30", "B0 moved 10,10,50,30", "U1 moved 10,10,50,30",
                        "B1 moved 10,10,50,30", "child moved 0,0,40,20", "O0 moved 10,10,50,30"}));

    // Moving the widget tells of its old and new rects.
    log.clear();
    ASSERT_EQ(widget->SetPosition(20, 20, 0), eNoError);
    EXPECT_EQ(log.front(), "U0 moved 10,10,50,30");
    EXPECT_EQ(log.back(), "O0 moved 20,20,60,40");

    // Hidden, or without a parent, nothing hears.
    log.clear();
    ASSERT_EQ(widget->SetVisibility(0, 0), eNoError);
    log.clear();
    ASSERT_EQ(widget->EffectParentMoved(widget, moved), eNoError);
    ASSERT_EQ(root.EffectParentMoved(&root, moved), eNoError);
    EXPECT_EQ(log, Log{});
}

TEST_F(EffectHosting, TheWidgetDeletesItsEffects) {
    FillAllPlaces(widget);
    widget->DestroyEffectB(1);
    EXPECT_EQ(log, (Log{"B1 deleted"}));
    EXPECT_EQ(widget->EffectBetween(1), nullptr);
    log.clear();
    widget->DestroyEffects();
    EXPECT_EQ(log, (Log{"U0 deleted", "U1 deleted", "U2 deleted", "B0 deleted", "B2 deleted",
                        "O0 deleted", "O1 deleted", "O2 deleted"}));

    FillAllPlaces(widget);
    ASSERT_EQ(root.RemoveChild(widget, 0), eNoError);
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) { return line.ends_with(" deleted"); }),
              9);
}

} // namespace
