#include "platform/detail/InputQueue.h"

#include "platform/detail/SDLInput.h"

CInputQueue::~CInputQueue() {
    Clear();
}

void CInputQueue::Inject(CInputEvent e) {
    m_State.Process(e);
    if (m_Listener) {
        m_Listener(e);
    }
    m_Queue.push_back(e);
}

void CInputQueue::Pump() {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) {
        return;
    }
    SDL_Event sdl;
    while (SDL_PollEvent(&sdl)) {
        CInputEvent e;
        if (!TranslateSDLEvent(sdl, m_State.Modifiers(), e)) {
            continue;
        }
        if (e.kind == EInputKind::eMouseDown || e.kind == EInputKind::eMouseUp ||
            e.kind == EInputKind::eMouseMove) {
            e.pen = m_PenSource ? m_PenSource(sdl) : CPenSample();
        }
        Inject(e);
    }
}

bool CInputQueue::TakeNext(CInputEvent& e) {
    if (m_Queue.empty()) {
        return false;
    }
    e = m_Queue.front();
    m_Queue.pop_front();
    return true;
}

bool CInputQueue::TakeFirst(EInputKind kind) {
    for (auto it = m_Queue.begin(); it != m_Queue.end(); ++it) {
        if (it->kind == kind) {
            Release(*it);
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

void CInputQueue::Clear() {
    for (CInputEvent& e : m_Queue) {
        Release(e);
    }
    m_Queue.clear();
}

void CInputQueue::Release(CInputEvent& e) {
    if (e.kind == EInputKind::eOther &&
        (e.sdl.type == SDL_DROPFILE || e.sdl.type == SDL_DROPTEXT)) {
        SDL_free(e.sdl.drop.file);
        e.sdl.drop.file = nullptr;
    }
}
