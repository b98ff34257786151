#pragma once
// The about box: who made the program and how to support it, over a
// blurred picture of the window as it was when the box opened.

#include "ui/boxes/LinkBox.h"

class CAboutBox : public CLinkBox {
public:
    static constexpr SIds kIds{1100, 1143, 1144, 1145};

    explicit CAboutBox(CBackdrop* backdrop) : CLinkBox(backdrop, kIds) {}

protected:
    CWidget* CreateRoot() override;
    void BeforeAdding() override;
    void PaintBackground() override;
};
