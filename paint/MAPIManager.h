#pragma once
// Sending the picture by mail: there is no mail service to hand it to, so
// the manager says it is unavailable and every operation does nothing.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/gCCmdTarget.h"
#include "foundation/gCString.h"

class CImage;

class CSMKMAPIManager : public gCCmdTarget {
public:
    virtual error Initialise() { return eNoError; }
    // The availability flag: 0, never changed.
    virtual int32_t MAPIAvailable() { return m_fAvailable; }
    virtual error SendPicture(gCString, CImage*) { return eNoError; }

private:
    int32_t m_fAvailable = 0;
};
