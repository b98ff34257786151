// The inspector's input: the list's messages and row clicks, the buttons,
// the grip and panel drags, keys, and closing.

#include <algorithm>
#include <cstdint>

#include "foundation/AppServices.h"
#include "foundation/Clock.h"
#include "foundation/MessageIds.h"
#include "foundation/ScopeGuards.h"
#include "text/DebugInfoWidget.h"
#include "text/TableWidget.h"
#include "text/TxEdWidget.h"
#include "text/detail/DebugInfoParts.h"
#include "widgets/Backdrop.h"

namespace {

constexpr uint32_t kEscapeKey = 27;
// Two clicks on the same row at most this far apart are a double click.
constexpr uint32_t kDoubleClickMilliseconds = 499;

uint32_t NowMilliseconds() {
    return uint32_t(gCClock::Microseconds() / 1000u);
}

const CWidget* RootOf(const CWidget* widget) {
    while (widget->Parent()) {
        widget = widget->Parent();
    }
    return widget;
}

// Whether a drag may go on: the widget is still in the tree it was in and
// the window that held that tree still holds it.
class CDragWatch {
public:
    explicit CDragWatch(const CWidget* widget)
        : m_pWidget(widget), m_pRoot(RootOf(widget)), m_pWindow(m_pRoot->HoldingWindow()) {}
    bool StillHere() const {
        return RootOf(m_pWidget) == m_pRoot && m_pRoot->HoldingWindow() == m_pWindow;
    }

private:
    const CWidget* m_pWidget;
    const CWidget* m_pRoot;
    const CWindowHost* m_pWindow;
};

bool operator!=(const gCPoint& a, const gCPoint& b) {
    return a.x != b.x || a.y != b.y;
}

} // namespace

int32_t CDebugInfoWidget::Message(uint32_t message, void* data, uintptr_t value) {
    if (message == eMsgButtonDownL) {
        Close(); // nothing of the inspector is touched afterwards
        return eNoError;
    }
    auto* table = dynamic_cast<CTableWidget*>(FindByID(kListID));
    if (!table || data != static_cast<gCCmdTarget*>(table)) {
        return eNoError; // only the list's own notifications
    }
    CWidget* track = FindByID(kTrackID);
    CWidget* grip = FindByID(kGripID);
    switch (message) {
    case eMsgTableRows:
        if (!track || !grip) {
            return eNoError;
        }
        {
            const int32_t height = std::max(10, table->CalcGripHeight(track->Height()));
            if (error e = grip->SetHeight(height, 0)) {
                return e;
            }
            if (error e = track->SetOpacity(height < track->Height() ? 255 : 80, 0)) {
                return e;
            }
        }
        [[fallthrough]];
    case eMsgTableScroll:
        if (!track || !grip) {
            return eNoError;
        }
        return grip->SetYPos(table->CalcGripYPos(track->Height(), grip->Height()),
                             int32_t(value));
    case eMsgTableClick:
        return RowClicked(table);
    default:
        return eNoError;
    }
}

error CDebugInfoWidget::RowClicked(CTableWidget* table) {
    const int32_t row = table->GetSelectedRow(0);
    const uint32_t now = NowMilliseconds();
    if (row >= 0) {
        auto* clicked = reinterpret_cast<CWidget*>(table->GetRowID(row));
        // The row's widget may have gone since the list was filled: it is
        // used only while the tree still holds it.
        if (!clicked || !InTree(clicked)) {
            return eNoError;
        }
        if (clicked == m_pLastClicked && now - m_nClickMilliseconds <= kDoubleClickMilliseconds) {
            if (error e = PopulateTable(table, clicked)) {
                return e;
            }
        }
        if (error e = PopulateInfo(clicked)) {
            return e;
        }
        m_pLastClicked = clicked;
    }
    m_nClickMilliseconds = now;
    return eNoError;
}

error CDebugInfoWidget::KeyDown(CWidget*& taken, uint32_t key) {
    taken = this;
    if (key == kEscapeKey) {
        Close(); // nothing of the inspector is touched afterwards
    }
    return eNoError;
}

void CDebugInfoWidget::Close() {
    CWidget* parent = Parent();
    if (!parent) {
        return;
    }
    // The inspector is deleted when this scope, or the pass around it,
    // ends.
    CPassScope scope;
    if (auto* backdrop = dynamic_cast<CBackdrop*>(parent); backdrop && backdrop->TopModal() == this) {
        backdrop->EndModal();
    }
    (void)parent->RemoveChild(this, 1); // a failed redraw was shown by the redraw
}

error CDebugInfoWidget::ButtonDownL(CWidget*& taken, gCPoint&) {
    taken = this;
    CAppServices* app = CAppServices::Get();
    if (!app) {
        return eNoError;
    }
    // The drag ends with the button, or when the inspector left its tree
    // or the window let the tree go; then nothing of it is touched.
    CPassScope scope;
    const CDragWatch watch(this);
    gCPoint anchor = app->CursorLoc();
    while (app->LButtonStillDown()) {
        const gCPoint now = app->CursorLoc();
        if (now != anchor) {
            if (error e = MoveRelative(now.x - anchor.x, now.y - anchor.y, 1)) {
                return e;
            }
            anchor = now;
        }
        (void)app->AppHeartbeat(); // an idle tick's answer does not end the drag
        if (!watch.StillHere()) {
            return eNoError;
        }
    }
    return eNoError;
}

error CDebugInfoWidget::ButtonProc(void* user, CWidget* widget, CWidget*& taken, gCPoint&) {
    auto* self = static_cast<CDebugInfoWidget*>(user);
    const uint32_t id = uint32_t(widget->GetResID());
    if (id == kAssertButtonID) {
        taken = widget;
        return eNoError;
    }
    auto* field = dynamic_cast<CTxEdWidget*>(self->FindByID(kFindFieldID));
    if (!field) {
        return eNoError;
    }
    const error e =
        id == kByIDButtonID ? self->SearchByID(field->String()) : self->SearchByName(field->String());
    if (e) {
        return e;
    }
    taken = widget;
    return eNoError;
}

error CDebugInfoWidget::ScrollGrip(void* user, CWidget* widget, CWidget*& taken, gCPoint&) {
    auto* table = static_cast<CTableWidget*>(user);
    CWidget* grip = widget;
    CWidget* track = grip->Parent();
    CAppServices* app = CAppServices::Get();
    if (!track || !app) {
        return eNoError;
    }
    // The cursor is hidden while the grip moves and comes back on every
    // way out; the drag ends as the panel's does.
    const CHideCursor hidden;
    CPassScope scope;
    const CDragWatch watch(grip);
    const gCPoint start = app->CursorLoc();
    const gCPoint corner(grip->Rect().left, grip->Rect().top);
    gCPoint anchor = start;
    taken = grip;
    while (app->LButtonStillDown()) {
        const gCPoint now = app->CursorLoc();
        if (now != anchor) {
            const gCPoint place(corner.x + now.x - start.x, corner.y + now.y - start.y);
            if (error e = table->VScroll(track->Height(), grip->Height(), place, 1)) {
                return e;
            }
            anchor = now;
        }
        (void)app->AppHeartbeat(); // an idle tick's answer does not end the drag
        if (!watch.StillHere()) {
            return eNoError;
        }
    }
    (void)table->SetFocus(1); // a failed redraw was shown by the redraw
    return eNoError;
}
