// The child list: order, z-order moves, searching, removing, the refusals
// that keep the tree a tree, and the focus path with what a leaving widget
// takes with it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "testsupport/foundation/FailingMemory.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/Widget.h"
#include "widgets/tests/TestWidgets.h"

namespace {

gCString Text(const char16_t* text) {
    gCString s;
    EXPECT_EQ(s.CopyString(text), eNoError);
    return s;
}

// A parent with four children A, B, C, D at indexes 0..3 (A in front).
class FourChildren : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"D", "C", "B", "A"}) {
            auto child = std::make_unique<CLoggingWidget>(&deleted, name);
            ASSERT_EQ(child->SetVisibility(1, 0), eNoError);
            ASSERT_EQ(parent.AddChild(child.get(), 0), eNoError);
            w[name[0] - 'A'] = child.release();
        }
    }
    // The children front to back by letter.
    std::string Order() const {
        std::string order;
        for (int32_t i = 0; i < parent.ChildCount(); ++i) {
            for (int32_t k = 0; k < 4; ++k) {
                if (parent.Child(i) == w[k]) {
                    order += char('A' + k);
                }
            }
        }
        return order;
    }

    Log deleted;
    CRecordingRoot parent;
    CWidget* w[4] = {};
};

TEST_F(FourChildren, AddChildPutsEachNewChildInFront) {
    EXPECT_EQ(Order(), "ABCD");
    EXPECT_EQ(parent.GetChildIndex(w[2]), 2);
    EXPECT_EQ(w[2]->Parent(), &parent);
    EXPECT_EQ(parent.WidgetTotal(), 5);
}

struct SMoveCase {
    const char* name;
    std::function<error(CWidget& parent, CWidget* const* w)> move;
    const char* order;
};

// Failures name the case.
void PrintTo(const SMoveCase& c, std::ostream* os) {
    *os << c.name;
}

class ZOrder : public FourChildren, public ::testing::WithParamInterface<SMoveCase> {};

TEST_P(ZOrder, Moves) {
    EXPECT_EQ(GetParam().move(parent, w), eNoError);
    EXPECT_EQ(Order(), GetParam().order);
}

INSTANTIATE_TEST_SUITE_P(
    WidgetTree, ZOrder,
    ::testing::Values(
        SMoveCase{"HighestPriority",
                  [](CWidget& p, CWidget* const*) { return p.SetHighestPriority(2, 0); }, "CABD"},
        SMoveCase{"LowestPriority",
                  [](CWidget& p, CWidget* const*) { return p.SetLowestPriority(0, 0); }, "BCDA"},
        SMoveCase{"PriorityOutOfRange",
                  [](CWidget& p, CWidget* const*) { return p.SetHighestPriority(4, 0); }, "ABCD"},
        SMoveCase{"NegativePriority",
                  [](CWidget& p, CWidget* const*) { return p.SetLowestPriority(-1, 0); }, "ABCD"},
        SMoveCase{"MeHighest",
                  [](CWidget&, CWidget* const* w) { return w[3]->SetMeHighestPriority(0); },
                  "DABC"},
        SMoveCase{"MeLowest",
                  [](CWidget&, CWidget* const* w) { return w[1]->SetMeLowestPriority(0); }, "ACDB"},
        SMoveCase{"AboveFromBehind",
                  [](CWidget& p, CWidget* const* w) { return p.MoveAbove(w[3], w[1], 0); }, "ADBC"},
        SMoveCase{"AboveFromInFront",
                  [](CWidget& p, CWidget* const* w) { return p.MoveAbove(w[0], w[2], 0); }, "BACD"},
        SMoveCase{"BelowFromInFront",
                  [](CWidget& p, CWidget* const* w) { return p.MoveBelow(w[0], w[2], 0); }, "BCAD"},
        SMoveCase{"BelowTheLastAppends",
                  [](CWidget& p, CWidget* const* w) { return p.MoveBelow(w[1], w[3], 0); }, "ACDB"},
        SMoveCase{"MeBelow", [](CWidget&, CWidget* const* w) { return w[3]->MoveMeBelow(w[0], 0); },
                  "ADBC"},
        SMoveCase{"MeAbove", [](CWidget&, CWidget* const* w) { return w[0]->MoveMeAbove(w[3], 0); },
                  "BCAD"},
        SMoveCase{"AboveItself",
                  [](CWidget& p, CWidget* const* w) { return p.MoveAbove(w[2], w[2], 0); }, "ABCD"},
        SMoveCase{"BelowNull",
                  [](CWidget& p, CWidget* const* w) { return p.MoveBelow(w[2], nullptr, 0); },
                  "ABCD"},
        SMoveCase{"AboveAForeignWidget",
                  [](CWidget& p, CWidget* const* w) {
                      CWidget stranger;
                      return p.MoveAbove(w[2], &stranger, 0);
                  },
                  "ABCD"}),
    [](const ::testing::TestParamInfo<SMoveCase>& info) { return info.param.name; });

// A move never allocates, so it cannot lose the child on the way.
TEST_F(FourChildren, MovesWorkWithoutMemory) {
    CFailingMemory noMemory;
    EXPECT_EQ(parent.SetLowestPriority(0, 0), eNoError);
    EXPECT_EQ(parent.MoveBelow(w[1], w[3], 0), eNoError);
    EXPECT_EQ(parent.MoveAbove(w[2], w[0], 0), eNoError);
    EXPECT_EQ(Order(), "DBCA");
}

TEST_F(FourChildren, RemoveChildInEachForm) {
    w[1]->SetResName(Text(u"Bee"));
    w[2]->SetResID(77);
    EXPECT_EQ(parent.RemoveChild(w[0], 0), eNoError);
    EXPECT_EQ(parent.RemoveChildByName(Text(u"Bee"), 0), eNoError);
    EXPECT_EQ(parent.RemoveChildByID(77, 0), eNoError);
    EXPECT_EQ(Order(), "D");
    EXPECT_EQ(deleted, (Log{"A:deleted", "B:deleted", "C:deleted"}));
    EXPECT_EQ(parent.RemoveChild(int32_t(0), 0), eNoError);
    EXPECT_EQ(parent.ChildCount(), 0);
}

// What is not a child only gets the redraw.
TEST_F(FourChildren, RemovingWhatIsNotAChildOnlyRedraws) {
    CWidget stranger;
    parent.m_aLog.clear();
    EXPECT_EQ(parent.RemoveChild(&stranger, 1), eNoError);
    EXPECT_EQ(parent.RemoveChild(nullptr, 0), eNoError);
    EXPECT_EQ(parent.RemoveChildByName(Text(u"Nobody"), 1), eNoError);
    EXPECT_EQ(parent.RemoveChildByID(12345, 0), eNoError);
    EXPECT_EQ(Order(), "ABCD");
    EXPECT_EQ(parent.m_aLog, (Log{"redraw", "redraw"}));
}

TEST_F(FourChildren, BadIndexesChangeNothing) {
    parent.m_aLog.clear();
    for (int32_t index : {-1, 4, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(parent.RemoveChild(index, 1), eBadParameter) << index;
        EXPECT_EQ(parent.Child(index), nullptr) << index;
    }
    EXPECT_EQ(Order(), "ABCD");
    EXPECT_TRUE(deleted.empty());
    EXPECT_TRUE(parent.m_aLog.empty());
}

TEST_F(FourChildren, RemoveChildrenAndDestroyChildrenDeleteAll) {
    EXPECT_EQ(parent.RemoveChildren(0), eNoError);
    EXPECT_EQ(deleted, (Log{"D:deleted", "C:deleted", "B:deleted", "A:deleted"}));
    EXPECT_EQ(parent.ChildCount(), 0);

    CWidget holder;
    ASSERT_EQ(holder.AddChild(new CLoggingWidget(&deleted, "E"), 0), eNoError);
    holder.DestroyChildren();
    EXPECT_EQ(deleted.back(), "E:deleted");
    EXPECT_EQ(holder.ChildCount(), 0);
}

TEST(WidgetTree, DeletingAWidgetDeletesItsSubtree) {
    Log deleted;
    auto top = std::make_unique<CLoggingWidget>(&deleted, "top");
    auto* mid = new CLoggingWidget(&deleted, "mid");
    ASSERT_EQ(top->AddChild(mid, 0), eNoError);
    ASSERT_EQ(mid->AddChild(new CLoggingWidget(&deleted, "leaf"), 0), eNoError);
    top.reset();
    EXPECT_EQ(deleted, (Log{"top:deleted", "mid:deleted", "leaf:deleted"}));
}

// A widget deleted directly takes itself out of its parent's list.
TEST_F(FourChildren, ADirectlyDeletedChildLeavesTheList) {
    delete w[1];
    EXPECT_EQ(Order(), "ACD");
    EXPECT_EQ(parent.m_aLeaving, (std::vector<CWidget*>{w[1]}));
}

// FindByName searches depth first from the front: the first child's deep
// widget comes before a later direct child of the same name.
TEST(WidgetTree, FindByNameAndID) {
    CWidget root;
    auto* later = new CWidget;
    auto* first = new CWidget;
    auto* deep = new CWidget;
    ASSERT_EQ(root.AddChild(later, 0), eNoError);
    ASSERT_EQ(root.AddChild(first, 0), eNoError);
    ASSERT_EQ(first->AddChild(deep, 0), eNoError);
    later->SetResName(Text(u"Target"));
    deep->SetResName(Text(u"Target"));
    later->SetResID(5);
    deep->SetResID(5);
    root.SetResID(1);
    first->SetResID(2);

    EXPECT_EQ(root.FindByName(Text(u"Target")), deep);
    EXPECT_EQ(root.FindByID(5), deep);
    EXPECT_EQ(root.FindByID(1), &root);
    EXPECT_EQ(later->FindByName(Text(u"Target")), later);
    EXPECT_EQ(root.FindByName(Text(u"target")), nullptr);
    EXPECT_EQ(root.FindByName(Text(u"Targe")), nullptr);
    EXPECT_EQ(root.FindByName(Text(u"Target\u0301")), nullptr);
    // Nobody else has a name, and an empty name never matches.
    EXPECT_EQ(root.FindByName(gCString()), nullptr);
    EXPECT_EQ(root.FindByName(Text(u"")), nullptr);
}

// AddChild keeps the tree a tree: no null, no self, no ancestor, no widget
// that already has a parent.
TEST(WidgetTree, AddChildRefusals) {
    CRecordingRoot root;
    CWidget* panel = AddPlaced(root, gCRect(0, 0, 50, 50));
    CWidget* inner = AddPlaced(*panel, gCRect(0, 0, 10, 10));
    CRecordingRoot other;
    CWidget* elsewhere = AddPlaced(other, gCRect(0, 0, 10, 10));
    ASSERT_TRUE(panel && inner && elsewhere);
    root.m_aLog.clear();

    struct SRefusal {
        const char* what;
        CWidget* child;
    } refusals[] = {
        {"null", nullptr}, {"itself", inner},    {"parent", panel},
        {"root", &root},   {"own child", inner}, {"parented elsewhere", elsewhere},
    };
    for (const SRefusal& r : refusals) {
        CWidget* target = std::string(r.what) == "own child" ? panel : inner;
        EXPECT_EQ(target->AddChild(r.child, 1), eBadParameter) << r.what;
    }
    EXPECT_EQ(inner->ChildCount(), 0);
    EXPECT_EQ(panel->ChildCount(), 1);
    EXPECT_EQ(elsewhere->Parent(), &other);
    EXPECT_EQ(root.Parent(), nullptr);
    EXPECT_TRUE(root.m_aLog.empty());
}

// When the list cannot grow, or the child's placement fails, the tree is
// as it was and the caller still owns the child.
TEST_F(FourChildren, AFailedAddChildLeavesTheTreeAndTheChildAlone) {
    auto child = std::make_unique<CLoggingWidget>(&deleted, "E");
    ASSERT_EQ(child->SetVisibility(1, 0), eNoError);
    ASSERT_EQ(child->SetSize(10, 10, 0), eNoError);
    child->Positioner()->m_rXSize = 20;
    child->m_nSizeChangedResult = eGenericFailure;
    parent.m_aLog.clear();
    EXPECT_EQ(parent.AddChild(child.get(), 1), eGenericFailure);
    EXPECT_EQ(Order(), "ABCD");
    EXPECT_EQ(parent.ChildCount(), 4);
    EXPECT_EQ(child->Parent(), nullptr);
    EXPECT_TRUE(parent.m_aLog.empty());

    child->m_nSizeChangedResult = eNoError;
    CRecordingRoot empty;
    {
        // The first child is the first allocation of the list.
        CFailingMemory noMemory;
        EXPECT_EQ(empty.AddChild(child.get(), 1), eOutOfMemory);
    }
    EXPECT_EQ(empty.ChildCount(), 0);
    EXPECT_TRUE(empty.m_aLog.empty());
    EXPECT_EQ(child->Parent(), nullptr);
    EXPECT_TRUE(deleted.empty());

    ASSERT_EQ(parent.AddChild(child.get(), 0), eNoError);
    EXPECT_EQ(child.release()->Parent(), &parent);
}

// The focus path runs from the root down to the focused widget, which is
// its own focus child; a hidden or inactive widget stops it.
TEST(WidgetTree, FocusPath) {
    CRecordingRoot root;
    CWidget* panel = AddPlaced(root, gCRect(0, 0, 50, 50));
    CWidget* field = AddPlaced(*panel, gCRect(0, 0, 10, 10));
    CWidget* hidden = AddPlaced(*panel, gCRect(0, 0, 10, 10), 0);
    ASSERT_TRUE(panel && field && hidden);

    EXPECT_EQ(hidden->SetFocus(1), eNoError);
    EXPECT_EQ(panel->ChildWithFocus(), nullptr);

    EXPECT_EQ(field->SetTabFocus(1), eNoError);
    EXPECT_EQ(field->ChildWithFocus(), field);
    EXPECT_EQ(panel->ChildWithFocus(), field);
    EXPECT_EQ(root.ChildWithFocus(), panel);

    panel->SetActive(0);
    CWidget* other = AddPlaced(*panel, gCRect(0, 0, 10, 10));
    EXPECT_EQ(other->SetFocus(0), eNoError);
    EXPECT_EQ(other->ChildWithFocus(), other);
    EXPECT_EQ(panel->ChildWithFocus(), field); // the walk stopped here
}

// A leaving widget takes every pointer into its subtree with it: the
// parent's focus child, and the root is told.
TEST(WidgetTree, LeavingDropsThePointersIntoTheSubtree) {
    CRecordingRoot root;
    CWidget* panel = AddPlaced(root, gCRect(0, 0, 50, 50));
    CWidget* field = AddPlaced(*panel, gCRect(0, 0, 10, 10));
    ASSERT_TRUE(panel && field);
    ASSERT_EQ(field->SetFocus(0), eNoError);

    ASSERT_EQ(panel->RemoveChild(field, 0), eNoError);
    EXPECT_EQ(panel->ChildWithFocus(), nullptr);
    EXPECT_EQ(root.ChildWithFocus(), panel);
    EXPECT_EQ(root.m_aLeaving, (std::vector<CWidget*>{field}));

    CWidget* second = AddPlaced(*panel, gCRect(0, 0, 10, 10));
    ASSERT_EQ(second->SetFocus(0), eNoError);
    root.DestroyChildren();
    EXPECT_EQ(root.ChildWithFocus(), nullptr);
    EXPECT_EQ(root.m_aLeaving.back(), panel);
}

} // namespace
