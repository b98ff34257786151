#pragma once
// A window for a backdrop under test: it records the rectangles copied to
// the screen and the places asked for, and answers a content origin and an
// active flag a test sets.
//
//   CRecordingHost host;
//   backdrop.SetHost(&host);
//   ASSERT_EQ(backdrop.PassRedraw(), eNoError);
//   EXPECT_EQ(host.m_aCopies.size(), 1u);

#include <cstdint>
#include <vector>

#include "platform/WindowRoot.h"

class CRecordingHost : public CWindowHost {
public:
    error CopyToScreen(CImage&, const gCRect* rects, int32_t count) override {
        m_aCopies.emplace_back(rects, rects + count);
        return m_nCopyResult;
    }
    gCPoint ContentOrigin() const override { return m_Origin; }
    // Recorded as the rectangle x, y, x + width, y + height.
    error SetSizeAndPosition(int32_t x, int32_t y, int32_t width, int32_t height,
                             int32_t) override {
        m_aPlaces.emplace_back(x, y, x + width, y + height);
        return eNoError;
    }
    int32_t IsActive() const override { return m_fActive; }

    // One entry per CopyToScreen: the rectangles, in order.
    std::vector<std::vector<gCRect>> m_aCopies;
    std::vector<gCRect> m_aPlaces;
    gCPoint m_Origin;
    int32_t m_fActive = 1;
    error m_nCopyResult = eNoError;
};
