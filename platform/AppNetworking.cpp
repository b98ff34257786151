// The application object's part of the toolkit's data-pipe sessions. This
// program never starts networking; the sessions themselves arrive with the
// networking layer, which replaces these.
#include "platform/AppBase.h"

error CAppBase::AppNetworkingHeartbeat() {
    return eNoError;
}

void CAppBase::ShutDownNetworking() {
    m_fNetworkingUsed = 0;
}
