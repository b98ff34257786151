#include "platform/App.h"

CApp::CApp() {
    m_fInTimer = 0;
    m_fMBarHidden = 0;
    m_fMBarWasHidden = 0;
}
