#include "platform/QuitSignals.h"

namespace {

volatile std::sig_atomic_t s_fQuitAsked = 0;

extern "C" void NoteQuitSignal(int) {
    s_fQuitAsked = 1;
}

} // namespace

CQuitSignals::CQuitSignals() {
    struct sigaction action {};
    action.sa_handler = &NoteQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, &m_OldTerm);
    sigaction(SIGINT, &action, &m_OldInt);
}

CQuitSignals::~CQuitSignals() {
    sigaction(SIGTERM, &m_OldTerm, nullptr);
    sigaction(SIGINT, &m_OldInt, nullptr);
}

bool CQuitSignals::Take() {
    if (!s_fQuitAsked) {
        return false;
    }
    s_fQuitAsked = 0;
    return true;
}
