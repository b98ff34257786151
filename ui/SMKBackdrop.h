#pragma once
// The main backdrop, until the application's own interface takes its place:
// a backdrop of one colour over the whole window, named "Daublin". It
// composites its tree like any backdrop; it has no widgets yet.

#include <cstdint>

#include "widgets/Backdrop.h"

class CSMKBackdrop : public CBackdrop {
public:
    CSMKBackdrop();
    ~CSMKBackdrop() override;

    // Composites the colour and copies it to the window while the window is
    // still hidden.
    error SetupInterface() override;

    static constexpr uint32_t kColour = 0xFF5B6E7Fu;
};
