#include "platform/detail/InputState.h"

#include <SDL_scancode.h>

static_assert(kScancodeCount == SDL_NUM_SCANCODES);

void CInputState::Process(CInputEvent& e) {
    if (e.button == kButtonPrimary) {
        if (e.kind == EInputKind::eMouseDown) {
            m_nPrimaryAs = (e.modifiers & kModControl) ? kButtonSecondary : kButtonPrimary;
            e.button = m_nPrimaryAs;
        } else if (e.kind == EInputKind::eMouseUp) {
            e.button = m_nPrimaryAs;
        }
    }
    switch (e.kind) {
    case EInputKind::eMouseDown:
    case EInputKind::eMouseUp:
    case EInputKind::eMouseMove:
        m_nModifiers = e.modifiers;
        m_Pointer = e.point;
        break;
    case EInputKind::eKeyDown:
    case EInputKind::eKeyUp:
        m_nModifiers = e.modifiers;
        if (e.scancode > 0 && e.scancode < kScancodeCount) {
            m_Keys.set(size_t(e.scancode), e.kind == EInputKind::eKeyDown);
        }
        break;
    default:
        break;
    }
    if (e.kind == EInputKind::eMouseDown) {
        m_nButtons |= Bit(e.button);
    } else if (e.kind == EInputKind::eMouseUp) {
        m_nButtons &= ~Bit(e.button);
        m_nReleaseModifiers = e.modifiers;
        m_ReleasePoint = e.point;
    }
}

void CInputState::Reset() {
    *this = CInputState();
}

int32_t CInputState::IsButtonDown(int32_t button) const {
    return (m_nButtons & Bit(button)) != 0;
}

int32_t CInputState::IsScancodeDown(int32_t scancode) const {
    if (scancode <= 0 || scancode >= kScancodeCount) {
        return 0;
    }
    return m_Keys.test(size_t(scancode));
}
