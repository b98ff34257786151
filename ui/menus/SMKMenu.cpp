#include "ui/menus/SMKMenu.h"

#include <algorithm>
#include <string_view>

#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "text/TxWidget.h"
#include "ui/InterfaceText.h"
#include "ui/panels/PanelHighlight.h"
#include "ui/panels/PressTracking.h"
#include "widgets/Backdrop.h"
#include "widgets/CoWidget.h"
#include "widgets/RoRectWidget.h"
#include "widgets/TextList.h"

namespace {

// Only the two bottom corners curved: the menu hangs from a bar.
constexpr uint32_t kBottomCorners = 12;
// User data of a row: its item index, and whether it can carry a tick.
constexpr uint32_t kItemSlot = 0;
constexpr uint32_t kTickableSlot = 7;

// The text from unit `from` on, or up to unit `to`.
gCString Units(const gCString& text, int32_t from, int32_t to) {
    gCString part;
    (void)part.CopyStringFromBuffer(text.GetBuffer() + from, to - from); // empty without memory
    return part;
}

std::u16string_view View(const gCString& text) {
    return text.GetLength() > 0 ? std::u16string_view(text.GetBuffer(), size_t(text.GetLength()))
                                : std::u16string_view();
}

// The shortcut as this desktop writes it.
gCString ShownShortcut(const gCString& shortcut) {
    const char16_t* units = shortcut.GetBuffer();
    const int32_t n = shortcut.GetLength();
    gCString shown;
    if (n == 2 && units[0] == u'F' && units[1] == u'1') {
        (void)shown.CopyString(u"?");
    } else if (n >= 3 && units[0] == u'C' && units[1] == u't' && units[2] == u'l') {
        (void)shown.CopyString(u"Ctrl");
        (void)shown.AppendString(Units(shortcut, 3, n));
    } else {
        shown = shortcut;
    }
    return shown;
}

// A text widget of the row showing the text; its width, or -1 without it.
int32_t ShowText(CWidget* row, uint32_t id, const gCString& text) {
    auto* widget = dynamic_cast<CTxWidget*>(row->FindByID(id));
    if (!widget) {
        return -1;
    }
    // A text that cannot be set leaves the row as loaded.
    (void)widget->SetText(text, 1, 0);
    (void)widget->AlphaChanged(0);
    return widget->Width();
}

CBackdrop* BackdropOfMenu(CWidget* root) {
    return root ? PanelHighlight::BackdropOf(root) : nullptr;
}

} // namespace

CSMKMenu::~CSMKMenu() {
    if (m_pRoot && m_pRoot->Parent()) {
        (void)m_pRoot->Parent()->RemoveChild(m_pRoot, 0); // without a redraw nothing fails
    }
}

CSMKMenu::SItem CSMKMenu::ParseItem(const gCString& text) {
    SItem item;
    gCString rest = text;
    if (rest.GetLength() > 0 && rest.GetBuffer()[0] == u'>') {
        item.m_fTickable = true;
        rest = Units(text, 1, text.GetLength());
    }
    if (View(rest) == View(InterfaceText(kSeparatorText))) {
        item.m_fSeparator = true;
        return item;
    }
    const char16_t* units = rest.GetBuffer();
    const int32_t n = rest.GetLength();
    int32_t colon = -1;
    for (int32_t i = 0; i < n; ++i) {
        if (units[i] == u':') {
            colon = i;
            break;
        }
    }
    if (colon > 0) {
        item.m_Label = Units(rest, 0, colon);
        item.m_Shortcut = ShownShortcut(Units(rest, colon + 1, n));
    } else {
        item.m_Label = rest;
    }
    return item;
}

error CSMKMenu::AddLine(uint32_t id, int32_t& y, CWidget*& line) {
    if (id == kRowID) {
        line = CCoWidget::CreateFromRes(int32_t(id), nullptr, nullptr);
    } else {
        line = CWidget::CreateFromRes(int32_t(id), nullptr, nullptr);
    }
    if (!line) {
        return eResourceNotFound;
    }
    if (const error e = m_pRoot->AddChild(line, 0)) {
        delete line; // still ours when adding fails
        line = nullptr;
        return e;
    }
    (void)line->SetYPos(y, 0); // only marks areas
    y = line->Rect().bottom;
    return eNoError;
}

error CSMKMenu::BuildRow(const SItem& item, int32_t index, int32_t& y, int32_t& widest) {
    CWidget* row = nullptr;
    if (const error e = AddLine(kRowID, y, row)) {
        return e;
    }
    if (const error e = PanelHighlight::GiveTimeStep(row)) {
        return e;
    }
    row->SetHeartbeat(&CSMKMenu::ItemHeart, this);
    row->SetButtonDownL(&CSMKMenu::ItemClick, this);
    row->SetButtonUpL(&CSMKMenu::ItemMouseUp, this);
    row->SetUserData(kItemSlot, uint32_t(index));
    if (m_aRows.Add(row) != eNoError) {
        return eOutOfMemory;
    }
    CWidget* tick = row->FindByID(kTickID);
    if (!tick) {
        return eResourceNotFound;
    }
    row->SetUserData(kTickableSlot, item.m_fTickable ? 1 : 0);
    (void)tick->SetVisibility(item.m_fTickable ? 1 : 0, 0); // only marks areas
    int32_t width = ShowText(row, kLabelID, item.m_Label);
    if (width < 0) {
        return eResourceNotFound;
    }
    if (item.m_Shortcut.GetLength() > 0) {
        const int32_t shortcut = ShowText(row, kShortcutID, item.m_Shortcut);
        if (shortcut < 0) {
            return eResourceNotFound;
        }
        width += shortcut + kShortcutMargin;
    } else {
        // A row without a shortcut shows none of the loaded text.
        if (ShowText(row, kShortcutID, gCString()) < 0) {
            return eResourceNotFound;
        }
        width += kLabelMargin;
    }
    widest = std::max(widest, width);
    return eNoError;
}

error CSMKMenu::SetupRoot(CTextList* list, int32_t freeStanding, CWidget* parent,
                          gCCmdTarget* owner) {
    if (!list || !parent || !owner) {
        return eBadParameter;
    }
    m_aRows.RemoveAll();
    m_pRoot = CRoRectWidget::CreateFromRes(int32_t(kRootID), nullptr, nullptr);
    if (!m_pRoot) {
        return eResourceNotFound;
    }
    if (const error e = parent->AddChild(m_pRoot, 0)) {
        delete m_pRoot; // still ours when adding fails
        m_pRoot = nullptr;
        return e;
    }
    int32_t y = 0;
    if (freeStanding) {
        y = kEdge;
    } else {
        (void)m_pRoot->SetCornerFlags(kBottomCorners, 0, 1); // only remakes the image
    }
    m_pOwner = owner;
    m_pRoot->SetMessage(&CSMKMenu::RootMessage, this);
    // An open menu takes every key: none reaches the window behind it.
    m_pRoot->SetKeyDown(&CSMKMenu::RootKey, this);

    int32_t widest = 0;
    bool tickable = false;
    int32_t rows = 0;
    for (int32_t i = 0; i < list->Count(); ++i) {
        const SItem item = ParseItem(list->Text(i));
        if (item.m_fSeparator) {
            CWidget* separator = nullptr;
            if (const error e = AddLine(kSeparatorID, y, separator)) {
                return e;
            }
            continue;
        }
        tickable = tickable || item.m_fTickable;
        if (const error e = BuildRow(item, rows, y, widest)) {
            return e;
        }
        ++rows;
    }
    int32_t tickColumn = 0;
    if (tickable && m_aRows.GetSize() > 0) {
        if (CWidget* tick = m_aRows[0]->FindByID(kTickID)) {
            tickColumn = tick->Width() + kTickGap;
        }
        widest += tickColumn;
    }
    // Sizing and moving without a redraw only mark areas.
    for (int32_t i = 0; i < m_pRoot->ChildCount(); ++i) {
        CWidget* child = m_pRoot->Child(i);
        if (uint32_t(child->GetResID()) != kRowID) {
            continue;
        }
        (void)child->SetWidth(widest, 0);
        if (tickColumn > 0) {
            if (CWidget* label = child->FindByID(kLabelID)) {
                (void)label->SetXPos(label->Rect().left + tickColumn, 0);
            }
        }
        // The shortcut ends as far inside the row's end as the label
        // starts inside its beginning.
        if (CWidget* shortcut = child->FindByID(kShortcutID)) {
            (void)shortcut->SetXPos(widest - kTextInset - shortcut->Width(), 0);
        }
    }
    (void)m_pRoot->SetSize(widest, y + kEdge, 0);
    return eNoError;
}

CWidget* CSMKMenu::Row(int32_t item) const {
    return uint32_t(item) < uint32_t(m_aRows.GetSize()) ? m_aRows[item] : nullptr;
}

bool CSMKMenu::Ticked(int32_t item) const {
    CWidget* row = Row(item);
    CWidget* tick = row ? row->FindByID(kTickID) : nullptr;
    return tick && tick->Opacity() == kTickedOpacity;
}

error CSMKMenu::SetPosition(gCPoint point, int32_t redraw) {
    if (!m_pRoot) {
        return eNoError;
    }
    if (CWidget* parent = m_pRoot->Parent()) {
        parent->BackdropToLocal(point);
    }
    (void)m_pRoot->SetPosition(point.x, point.y, redraw); // a failed redraw stays dirty
    return eNoError;
}

error CSMKMenu::Show(int32_t redraw) {
    CBackdrop* backdrop = BackdropOfMenu(m_pRoot);
    if (!m_pRoot || !backdrop) {
        return eNoError;
    }
    for (int32_t i = 0; i < m_aRows.GetSize(); ++i) {
        CWidget* row = m_aRows[i];
        if (CTimeStep* step = PanelHighlight::TimeStepOf(row)) {
            *step = CTimeStep(0.0f, 0.0f, step->m_rStepInterval, 1.0f, 1);
        }
        (void)row->SetOpacity(0, 0); // only marks areas
    }
    if (m_fShown) {
        return eNoError; // already up: one modal entry
    }
    m_pRoot->SetActive(1);
    (void)m_pRoot->SetMeHighestPriority(0);
    (void)m_pRoot->SetVisibility(1, 0);
    if (const error e = backdrop->DoSoftModal(m_pRoot)) {
        (void)m_pRoot->SetVisibility(0, 0);
        return e;
    }
    m_fShown = true;
    if (redraw) {
        (void)m_pRoot->PassRedraw(); // a failed redraw is shown by the backdrop
    }
    return eNoError;
}

error CSMKMenu::Hide(int32_t item, int32_t) {
    if (!m_pRoot) {
        return eNoError;
    }
    CBackdrop* backdrop = BackdropOfMenu(m_pRoot);
    if (backdrop && backdrop->TopModal() == m_pRoot) {
        backdrop->EndModal();
    }
    m_fShown = false;
    m_pRoot->SetActive(0);
    (void)m_pRoot->SetVisibility(0, 1); // a failed redraw is shown by the backdrop
    // Last: the owner's command may end the window, the owner and this menu.
    gCCmdTarget* owner = m_pOwner;
    return owner ? error(owner->ProcessData(eCmdMenuChoice, this, int64_t(item), 1)) : eNoError;
}

error CSMKMenu::SetItemTick(int32_t item, int32_t on) {
    CWidget* row = Row(item);
    if (!row) {
        return eBadParameter;
    }
    if (row->GetUserData(kTickableSlot) != 1) {
        return eNoError;
    }
    CWidget* tick = row->FindByID(kTickID);
    if (!tick) {
        return eResourceNotFound;
    }
    const uint32_t opacity = on ? kTickedOpacity : 0;
    if (tick->Opacity() != opacity) {
        (void)tick->SetOpacity(opacity, 0); // only marks areas
    }
    return eNoError;
}

error CSMKMenu::SetAllTicks(int32_t on) {
    for (int32_t i = 0; i < m_aRows.GetSize(); ++i) {
        (void)SetItemTick(i, on); // every row is in range; one without a mark stays
    }
    return eNoError;
}

error CSMKMenu::ItemHeart(void*, CWidget* row) {
    return PanelHighlight::Beat(PanelHighlight::kMenuRow, row);
}

error CSMKMenu::ItemClick(void* user, CWidget* row, CWidget*& target, gCPoint&) {
    auto* menu = static_cast<CSMKMenu*>(user);
    target = row;
    const int32_t item = int32_t(row->GetUserData(kItemSlot));
    if (!PressTracking::ReleasedOn(BackdropOfMenu(menu->m_pRoot), row)) {
        return eNoError; // released elsewhere: the menu stays open
    }
    // A sound that cannot play is no reason to lose the choice.
    (void)menu->SetUIData(eCmdPlaySound, menu, kChosenSound);
    // The owner's answer: a failed command is shown once, by the window.
    return menu->Hide(item);
}

error CSMKMenu::ItemMouseUp(void*, CWidget* row, CWidget*& target, gCPoint&) {
    target = row;
    return eNoError;
}

error CSMKMenu::RootKey(void* user, CWidget* root, CWidget*& target, uint32_t key) {
    auto* menu = static_cast<CSMKMenu*>(user);
    target = root;
    if (key == kKeyCodeEscape && menu->m_fShown) {
        (void)menu->Hide(-1); // no choice: the owner has nothing to report
    }
    return eNoError;
}

int32_t CSMKMenu::RootMessage(void* user, CWidget* root, uint32_t id, void*, uintptr_t extra) {
    auto* menu = static_cast<CSMKMenu*>(user);
    if ((id != eMsgButtonDownL && id != eMsgButtonDownM && id != eMsgButtonDownR) ||
        !menu->m_fShown) {
        return 0;
    }
    // A press on the menu itself that no row took (its margin, a
    // separator) is no choice and keeps it open.
    if (extra && root->Rect().Contains(*reinterpret_cast<const gCPoint*>(extra))) {
        return 0;
    }
    (void)menu->Hide(-1); // no choice: the owner has nothing to report
    return 0;
}
