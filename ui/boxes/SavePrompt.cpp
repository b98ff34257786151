#include "ui/boxes/SavePrompt.h"

#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "ui/panels/PanelHighlight.h"
#include "ui/panels/PressTracking.h"
#include "widgets/Backdrop.h"
#include "widgets/Widget.h"

namespace {

// The answer a button gives.
uint32_t AnswerOf(uint32_t buttonID) {
    switch (buttonID) {
    case CSavePrompt::kSaveID:
        return eCmdSaveAndGo;
    case CSavePrompt::kDiscardID:
        return eCmdDiscardAndGo;
    default:
        return eCmdCancelPrompt;
    }
}

} // namespace

error CSavePrompt::SetupRoot() {
    if (!m_pBackdrop) {
        return eResourceNotFound;
    }
    m_pRoot = m_pBackdrop->FindByID(kRootID);
    if (!m_pRoot) {
        return eResourceNotFound;
    }
    m_pRoot->SetKeyDown(&CSavePrompt::RootKey, this);
    m_pRoot->SetMessage(&CSavePrompt::RootMessage, this);
    for (const uint32_t id : {kSaveID, kDiscardID, kCancelID}) {
        CWidget* button = m_pRoot->FindByID(id);
        if (!button) {
            return eResourceNotFound;
        }
        if (const error e = PanelHighlight::GiveTimeStep(button)) {
            return e;
        }
        button->SetHeartbeat(&CSavePrompt::ButtonHeart, this);
        button->SetButtonDownL(&CSavePrompt::ButtonClick, this);
    }
    return eNoError;
}

void CSavePrompt::PlaySound(int32_t sound) {
    // A sound that cannot play is no reason to stop the prompt.
    (void)SetUIData(eCmdPlaySound, this, sound);
}

error CSavePrompt::Show(int32_t action, int32_t redraw) {
    m_nPendingAction = action;
    if (m_fShown) {
        // Already up: one modal entry, one sound; only the action is new.
        return eNoError;
    }
    if (!m_pRoot || !m_pBackdrop) {
        return eResourceNotFound;
    }
    // Bringing to the front, showing and focusing without a redraw only
    // mark areas for the one below.
    (void)m_pRoot->SetMeHighestPriority(0);
    (void)m_pRoot->SetVisibility(1, 0);
    (void)m_pRoot->SetFocus(0);
    if (const error e = m_pBackdrop->DoModal(m_pRoot)) {
        (void)m_pRoot->SetVisibility(0, 0);
        return e;
    }
    m_fShown = true;
    PlaySound(kOpenSound);
    if (redraw) {
        // A failed redraw is shown by the backdrop and kept dirty.
        (void)m_pRoot->PassRedraw();
    }
    return eNoError;
}

error CSavePrompt::Hide(uint32_t buttonID, int32_t redraw) {
    const uint32_t answer = AnswerOf(buttonID);
    if (m_pBackdrop && m_pBackdrop->TopModal() == m_pRoot) {
        m_pBackdrop->EndModal();
    }
    m_fShown = false;
    if (m_pRoot) {
        (void)m_pRoot->SetVisibility(0, 0);
    }
    PlaySound(kCloseSound);
    if (redraw && m_pRoot) {
        (void)m_pRoot->PassRedraw();
    }
    // Last: the answer may quit, and the prompt with the backdrop.
    return error(SetUIData(answer, this, int64_t(m_nPendingAction)));
}

error CSavePrompt::RootKey(void* user, CWidget* widget, CWidget*& target, uint32_t key) {
    auto* prompt = static_cast<CSavePrompt*>(user);
    target = widget;
    switch (key) {
    case 'y':
    case 'Y':
    case kKeyCodeReturn:
        return prompt->Hide(kSaveID, 1);
    case 'n':
    case 'N':
        return prompt->Hide(kDiscardID, 1);
    case kKeyCodeEscape:
        return prompt->Hide(kCancelID, 1);
    default:
        return eNoError;
    }
}

int32_t CSavePrompt::RootMessage(void* user, CWidget* widget, uint32_t id, void*,
                                 uintptr_t extra) {
    auto* prompt = static_cast<CSavePrompt*>(user);
    if (id != eMsgButtonDownL && id != eMsgButtonDownM && id != eMsgButtonDownR) {
        return 0;
    }
    if (!prompt->m_fShown || prompt->m_pBackdrop->TopModal() != widget) {
        return 0;
    }
    // A press on the box itself that no button took is no choice.
    if (extra && widget->Rect().Contains(*reinterpret_cast<const gCPoint*>(extra))) {
        return 0;
    }
    // The broadcast goes on whatever the answer did.
    (void)prompt->Hide(kCancelID, 1);
    return 0;
}

error CSavePrompt::ButtonClick(void* user, CWidget* button, CWidget*& target, gCPoint&) {
    auto* prompt = static_cast<CSavePrompt*>(user);
    target = button;
    if (!PressTracking::ReleasedOn(prompt->m_pBackdrop, button)) {
        return eNoError; // released off the button: no choice
    }
    prompt->PlaySound(kClickSound);
    return prompt->Hide(uint32_t(button->GetResID()), 1);
}

error CSavePrompt::ButtonHeart(void*, CWidget* button) {
    return PanelHighlight::Beat(PanelHighlight::kButton, button);
}
