#pragma once
// The toolkit's concrete application class; the application derives its
// own from it.

#include "platform/AppMac.h"

class CApp : public CAppMac {
public:
    CApp();
    ~CApp() override = default;
};
