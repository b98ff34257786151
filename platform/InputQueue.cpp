#include "platform/detail/InputQueue.h"

#include <vector>

#include "platform/detail/KeyTable.h"
#include "platform/detail/SDLInput.h"

CInputQueue::CInputQueue() : m_pDecoder(std::make_unique<CSDLInput>()) {}

CInputQueue::~CInputQueue() = default;

void CInputQueue::Inject(CInputEvent e) {
    m_State.Process(e);
    if (m_Listener) {
        m_Listener(e);
    }
    m_Queue.push_back(std::move(e));
}

void CInputQueue::InjectText(const std::string& utf8) {
    std::vector<CInputEvent> records;
    m_pDecoder->TextKeys(utf8.c_str(), m_State.Modifiers(), records);
    for (CInputEvent& e : records) {
        Inject(std::move(e));
    }
}

void CInputQueue::InjectKey(uint32_t code, bool down, uint32_t modifiers) {
    CInputEvent e;
    e.kind = down ? EInputKind::eKeyDown : EInputKind::eKeyUp;
    e.key = code;
    const bool letterOrDigit = (code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z') ||
                               (code >= '0' && code <= '9');
    e.scancode = letterOrDigit ? ScancodeForKey(code) : 0;
    e.modifiers = modifiers;
    Inject(std::move(e));
}

void CInputQueue::Pump() {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) {
        return;
    }
    SDL_Event sdl;
    std::vector<CInputEvent> records;
    while (SDL_PollEvent(&sdl)) {
        records.clear();
        m_pDecoder->Translate(sdl, m_State.Modifiers(), records);
        for (CInputEvent& e : records) {
            if (e.kind == EInputKind::eMouseDown || e.kind == EInputKind::eMouseUp ||
                e.kind == EInputKind::eMouseMove) {
                const CMouseExtras extras = m_ExtrasSource ? m_ExtrasSource(sdl) : CMouseExtras();
                e.pen = extras.pen;
                e.milliseconds = extras.milliseconds; // buttons only carry one
            }
            Inject(std::move(e));
        }
    }
}

bool CInputQueue::TakeNext(CInputEvent& e) {
    if (m_Queue.empty()) {
        return false;
    }
    e = std::move(m_Queue.front());
    m_Queue.pop_front();
    return true;
}

bool CInputQueue::TakeFirst(EInputKind kind) {
    for (auto it = m_Queue.begin(); it != m_Queue.end(); ++it) {
        if (it->kind == kind) {
            m_Queue.erase(it);
            return true;
        }
    }
    return false;
}

bool CInputQueue::ButtonEventWaiting() const {
    for (const CInputEvent& e : m_Queue) {
        if (e.kind == EInputKind::eMouseDown || e.kind == EInputKind::eMouseUp) {
            return true;
        }
    }
    return false;
}
