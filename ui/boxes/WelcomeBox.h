#pragma once
// The welcome box: greets a first run and comes back when asked for; a
// veil over the whole window with the box centred on it.

#include "ui/boxes/LinkBox.h"

class CWelcomeBox : public CLinkBox {
public:
    static constexpr SIds kIds{2400, 2433, 2434, 2435};

    explicit CWelcomeBox(CBackdrop* backdrop) : CLinkBox(backdrop, kIds) {}

protected:
    CWidget* CreateRoot() override;
};
