// The small stores (user data and owned user objects), conversions between
// coordinate spaces, the searches up the parent chain, and the choice
// between a render procedure and the class's own drawing.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "imaging/Image.h"
#include "testsupport/widgets/RecordingRoot.h"
#include "widgets/Widget.h"
#include "widgets/tests/TestWidgets.h"

namespace {

TEST(UserSlots, OnlyIndexesZeroToSevenAreStored) {
    CWidget w;
    const struct {
        uint32_t index;
        int32_t accepted;
    } cases[] = {{0, 1}, {7, 1}, {8, 0}, {uint32_t(-1), 0}, {0x80000000u, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(w.SetUserData(c.index, 0xA0000000u + c.index), c.accepted) << c.index;
        EXPECT_EQ(w.GetUserData(c.index), c.accepted ? 0xA0000000u + c.index : 0u) << c.index;
        EXPECT_EQ(w.SetUserObject(c.index, nullptr), c.accepted) << c.index;
        EXPECT_EQ(w.GetUserObject(c.index), nullptr) << c.index;
    }
    // Nothing refused landed in a slot.
    for (uint32_t i = 1; i < 7; ++i) {
        EXPECT_EQ(w.GetUserData(i), 0u) << i;
    }
}

class CCountedObject : public gCResourceObject {
public:
    explicit CCountedObject(int32_t* deletions) : m_pDeletions(deletions) {}
    ~CCountedObject() override { ++*m_pDeletions; }

private:
    int32_t* m_pDeletions;
};

// The widget owns its user objects and deletes each once, also one that
// sits in two slots.
TEST(UserSlots, UserObjectsAreDeletedOnce) {
    int32_t deletions = 0;
    auto w = std::make_unique<CWidget>();
    auto shared = std::make_unique<CCountedObject>(&deletions);
    auto single = std::make_unique<CCountedObject>(&deletions);
    ASSERT_EQ(w->SetUserObject(2, shared.get()), 1);
    ASSERT_EQ(w->SetUserObject(5, shared.release()), 1); // owned by the widget
    ASSERT_EQ(w->SetUserObject(7, single.release()), 1);
    w->DestroyUserObjects();
    EXPECT_EQ(deletions, 2);
    for (uint32_t i = 0; i < 8; ++i) {
        EXPECT_EQ(w->GetUserObject(i), nullptr);
    }
    ASSERT_EQ(w->SetUserObject(0, new CCountedObject(&deletions)), 1); // owned by the widget
    w.reset();
    EXPECT_EQ(deletions, 3);
}

// Root at (5, 5) (its position never enters) > panel at (10, 20) > child
// at (3, 4).
class Coordinates : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(root.SetPosition(5, 5, 0), eNoError);
        panel = AddPlaced(root, gCRect(10, 20, 110, 80));
        child = AddPlaced(*panel, gCRect(3, 4, 13, 14));
        ASSERT_TRUE(panel && child);
    }

    CRecordingRoot root{200, 100};
    CWidget* panel = nullptr;
    CWidget* child = nullptr;
};

TEST_F(Coordinates, BackdropAndParentRoundTrips) {
    gCPoint p(50, 60);
    child->BackdropToLocal(p);
    EXPECT_EQ(p, gCPoint(37, 36));
    child->LocalToBackdrop(p);
    EXPECT_EQ(p, gCPoint(50, 60));

    gCRect r(0, 0, 10, 10);
    child->LocalToBackdrop(r);
    EXPECT_EQ(r, gCRect(13, 24, 23, 34));
    child->BackdropToLocal(r);
    EXPECT_EQ(r, gCRect(0, 0, 10, 10));

    child->LocalToParent(r);
    EXPECT_EQ(r, gCRect(3, 4, 13, 14));
    child->ParentToLocal(r);
    EXPECT_EQ(r, gCRect(0, 0, 10, 10));

    // Outside a tree a widget converts to itself.
    CWidget loose;
    ASSERT_EQ(loose.SetPosition(7, 8, 0), eNoError);
    gCPoint q(1, 2);
    loose.BackdropToLocal(q);
    loose.LocalToBackdrop(q);
    loose.DesktopToLocal(q);
    loose.LocalToDesktop(q);
    EXPECT_EQ(q, gCPoint(1, 2));
}

// The desktop forms climb to the root, whose own forms (the backdrop's)
// place the window.
class CWindowedRoot : public CRecordingRoot {
public:
    using CRecordingRoot::DesktopToLocal;
    using CRecordingRoot::LocalToDesktop;
    void DesktopToLocal(gCPoint& p) override { p = p - gCPoint(100, 50); }
    void LocalToDesktop(gCPoint& p) override { p = p + gCPoint(100, 50); }
};

TEST(CoordinatesOnTheDesktop, ClimbToTheRoot) {
    CWindowedRoot root;
    CWidget* panel = AddPlaced(root, gCRect(10, 20, 110, 80));
    ASSERT_NE(panel, nullptr);
    gCPoint p(130, 70);
    panel->DesktopToLocal(p);
    EXPECT_EQ(p, gCPoint(20, 0));
    gCRect r(0, 0, 5, 5);
    panel->LocalToDesktop(r);
    EXPECT_EQ(r, gCRect(110, 70, 115, 75));
}

TEST_F(Coordinates, AncestorsOnly) {
    gCString name;
    ASSERT_EQ(name.CopyString(u"Panel"), eNoError);
    panel->SetResName(name);
    panel->SetResID(0x50414E4C);
    child->SetResName(name);
    child->SetResID(9);

    EXPECT_EQ(child->IsInHierarchy(child), 0);
    EXPECT_EQ(child->IsInHierarchy(panel), 1);
    EXPECT_EQ(child->IsInHierarchy(static_cast<CWidget*>(&root)), 1);
    EXPECT_EQ(panel->IsInHierarchy(child), 0);
    EXPECT_EQ(child->IsInHierarchy(name), 1);
    EXPECT_EQ(panel->IsInHierarchy(name), 0); // its own name does not count
    EXPECT_EQ(child->IsInHierarchy(uint32_t(0x50414E4C)), 1);
    EXPECT_EQ(child->IsInHierarchy(uint32_t(9)), 0);
    EXPECT_EQ(child->FindInHierarchy(name), panel);
    EXPECT_EQ(child->FindInHierarchy(uint32_t(0)), &root);
    EXPECT_EQ(child->FindInHierarchy(gCString()), nullptr);
}

struct SRenderRecord {
    gCRect area;
    CImage* target = nullptr;
    uint32_t alpha = 0;
    CWidget* widget = nullptr;
};

error RecordRender(void* user, CWidget* widget, const gCRect& area, CImage* target,
                   uint32_t alpha) {
    auto& record = *static_cast<SRenderRecord*>(user);
    record = {area, target, alpha, widget};
    return eFileExists;
}

class CDrawingWidget : public CWidget {
public:
    error RenderArea(const gCRect&, CImage*, uint32_t) override {
        ++m_nRenders;
        return eNoError;
    }
    int32_t m_nRenders = 0;
};

// A render procedure replaces the class's drawing, even a subclass's.
TEST(Rendering, ARenderProcedureReplacesRenderArea) {
    CDrawingWidget w;
    CImage target(4, 4);
    ASSERT_EQ(w.DoRenderArea(gCRect(0, 0, 2, 2), &target, 200), eNoError);
    EXPECT_EQ(w.m_nRenders, 1);

    SRenderRecord record;
    w.SetRenderProc(&RecordRender, &record);
    EXPECT_EQ(w.EventsHandled(), uint32_t(CWidget::eMessageEvent));
    EXPECT_EQ(w.DoRenderArea(gCRect(1, 2, 3, 4), &target, 77), eFileExists);
    EXPECT_EQ(w.m_nRenders, 1);
    EXPECT_EQ(record.area, gCRect(1, 2, 3, 4));
    EXPECT_EQ(record.target, &target);
    EXPECT_EQ(record.alpha, 77u);
    EXPECT_EQ(record.widget, &w);
}

TEST(SmallMembers, DefaultsAndEmptyPlaces) {
    CWidget w;
    EXPECT_EQ(w.TypeID(), 0x77646774u);
    EXPECT_EQ(w.GetResType(), 0x77646774u);
    EXPECT_EQ(w.Visible(), 0);
    EXPECT_EQ(w.Active(), 1);
    EXPECT_EQ(w.CanGetFocus(), 1);
    EXPECT_EQ(w.Opacity(), 255u);
    EXPECT_EQ(w.PropagateOpacity(), 1);
    EXPECT_EQ(w.EventsHandled(), 0x80u);
    EXPECT_EQ(w.WidgetTotal(), 1);
    gCPoint p(0, 0);
    EXPECT_EQ(w.OpaquePixel(p), 0);
    w.SetOpaqueThreshold(1);
    EXPECT_EQ(w.OpaquePixel(p), 1);
    for (int32_t i : {-1, 0, 2, 3}) {
        EXPECT_EQ(w.EffectUnder(i), nullptr);
        EXPECT_EQ(w.EffectBetween(i), nullptr);
        EXPECT_EQ(w.EffectOver(i), nullptr);
    }
    // Stored as given, beyond 255 too.
    EXPECT_EQ(w.SetOpacity(300, 0), eNoError);
    EXPECT_EQ(w.Opacity(), 300u);
}

} // namespace
