#pragma once
// The application's own queue of input records. Records enter from SDL
// (Pump) or from tests (Inject); each one updates the input state as it
// enters, so the polling calls answer from what has arrived, and stays
// queued until the event loop takes it.

#include <cstdint>
#include <deque>
#include <functional>

#include "platform/InputEvent.h"
#include "platform/detail/InputState.h"

class CInputQueue {
public:
    // Told of every record as it enters, after the state took it in.
    using Listener = std::function<void(const CInputEvent&)>;
    // The pen sample that came with an SDL mouse event.
    using PenSource = std::function<CPenSample(const SDL_Event&)>;

    CInputQueue() = default;
    ~CInputQueue();
    CInputQueue(const CInputQueue&) = delete;
    CInputQueue& operator=(const CInputQueue&) = delete;

    void SetListener(Listener listener) { m_Listener = std::move(listener); }
    void SetPenSource(PenSource source) { m_PenSource = std::move(source); }

    // Takes in one record and queues it.
    void Inject(CInputEvent e);
    // Reads every waiting SDL event; nothing before SDL's events start.
    void Pump();

    // Takes the oldest record; false when none waits. The taker owns the
    // text of an SDL drop event and frees it with SDL_free.
    bool TakeNext(CInputEvent& e);
    // Removes the oldest record of that kind; false when none waits.
    bool TakeFirst(EInputKind kind);
    // Whether a button press or release waits.
    bool ButtonEventWaiting() const;
    int32_t GetCount() const { return int32_t(m_Queue.size()); }
    // Drops every waiting record.
    void Clear();

    const CInputState& State() const { return m_State; }

private:
    static void Release(CInputEvent& e);

    std::deque<CInputEvent> m_Queue;
    CInputState m_State;
    Listener m_Listener;
    PenSource m_PenSource;
};
