#pragma once
// The main backdrop, until the interface is built: one colour over the
// whole window, named "Daublin".

#include "platform/Backdrop.h"

class CSMKBackdrop : public CBackdrop {
public:
    CSMKBackdrop();

    // The back buffer in the backdrop's colour.
    error SetSize(int32_t width, int32_t height, int32_t flag) override;

    static constexpr uint32_t kColour = 0xFF5B6E7Fu;
};
