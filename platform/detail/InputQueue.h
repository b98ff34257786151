#pragma once
// The application's own queue of input records. Records enter from SDL
// (Pump) or from tests (Inject, InjectText); each one updates the input
// state as it enters, so the polling calls answer from what has arrived,
// and stays queued until the event loop takes it.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "platform/InputEvent.h"
#include "platform/detail/InputState.h"

union SDL_Event;
class CSDLInput;

class CInputQueue {
public:
    // Told of every record as it enters, after the state took it in.
    using Listener = std::function<void(const CInputEvent&)>;
    // What came with an SDL mouse event beyond SDL's own fields.
    using ExtrasSource = std::function<CMouseExtras(const SDL_Event&)>;

    CInputQueue();
    ~CInputQueue();
    CInputQueue(const CInputQueue&) = delete;
    CInputQueue& operator=(const CInputQueue&) = delete;

    void SetListener(Listener listener) { m_Listener = std::move(listener); }
    void SetExtrasSource(ExtrasSource source) { m_ExtrasSource = std::move(source); }

    // Takes in one record and queues it.
    void Inject(CInputEvent e);
    // Takes in typed text as SDL's text input would bring it: one key-down
    // record for each character Mac Roman has.
    void InjectText(const std::string& utf8);
    // Takes in a key pressed or released with its final code, as the
    // decoding would deliver it; letters and digits are known by their
    // place, so IsKeyDown sees them held.
    void InjectKey(uint32_t code, bool down, uint32_t modifiers);
    // Reads every waiting SDL event; nothing before SDL's events start.
    void Pump();

    // Takes the oldest record; false when none waits.
    bool TakeNext(CInputEvent& e);
    // Removes the oldest record of that kind; false when none waits.
    bool TakeFirst(EInputKind kind);
    // Whether a button press or release waits.
    bool ButtonEventWaiting() const;
    int32_t GetCount() const { return int32_t(m_Queue.size()); }
    // Drops every waiting record.
    void Clear() { m_Queue.clear(); }

    const CInputState& State() const { return m_State; }

private:
    std::deque<CInputEvent> m_Queue;
    CInputState m_State;
    std::unique_ptr<CSDLInput> m_pDecoder;
    Listener m_Listener;
    ExtrasSource m_ExtrasSource;
};
