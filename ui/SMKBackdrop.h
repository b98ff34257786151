#pragma once
// The main backdrop, until the widget toolkit's backdrop takes its place:
// one colour over the whole window, named "Daublin". It is the window's
// root and takes no event.

#include <cstdint>
#include <memory>

#include "foundation/gCCmdTarget.h"
#include "foundation/gCString.h"
#include "imaging/Image.h"
#include "platform/WindowRoot.h"

class CSMKBackdrop : public gCCmdTarget, public CWindowRoot {
public:
    CSMKBackdrop();
    ~CSMKBackdrop() override;

    error PassKeyDown(CWidget*&, uint32_t) override { return eNoError; }
    error PassKeyUp(CWidget*&, uint32_t) override { return eNoError; }
    error PassTimer(CWidget*&, uint32_t) override { return eNoError; }
    error PassMouseMove(CWidget*&, gCPoint&) override { return eNoError; }
    error PassButtonDownL(CWidget*&, gCPoint&) override { return eNoError; }
    error PassButtonUpL(CWidget*&, gCPoint&) override { return eNoError; }
    error PassButtonDownM(CWidget*&, gCPoint&) override { return eNoError; }
    error PassButtonUpM(CWidget*&, gCPoint&) override { return eNoError; }
    error PassButtonDownR(CWidget*&, gCPoint&) override { return eNoError; }
    error PassButtonUpR(CWidget*&, gCPoint&) override { return eNoError; }
    error PassMouseWheel(CWidget*&, int32_t, gCPoint&) override { return eNoError; }
    error PassHeartbeat() override { return eNoError; }
    void PassRolloverTest() override {}
    void ClearRollover() override {}
    int32_t PassMessage(uint32_t, void*, uintptr_t) override { return 0; }
    // Copies the whole back buffer to the window.
    error PassRedraw() override;

    // A back buffer of the size in the backdrop's colour; 5 when it cannot
    // be made (the old one and the size stay).
    error SetSize(int32_t width, int32_t height, int32_t flag) override;
    int32_t Width() const override { return m_nWidth; }
    int32_t Height() const override { return m_nHeight; }
    gCPoint PositionerSize() const override { return gCPoint(m_nWidth, m_nHeight); }
    CImage* BackBuffer() const override { return m_pBackBuffer.get(); }
    error InvalidateClient(int32_t) override { return eNoError; }
    void LocalToDesktop(gCPoint& point) override;
    const gCString& GetName() const override { return m_Name; }

    error SetupInterface() override { return eNoError; }
    void CreationComplete() override {}
    void BackdropClosing() override {}

    void HideCursor() override {}
    void ShowCursor() override {}
    int32_t IsCursorVisible() override { return 0; }
    void UpdateCursorPos() override {}

    void ReleasedByWindow() override { delete this; }

    static constexpr uint32_t kColour = 0xFF5B6E7Fu;

private:
    std::unique_ptr<CImage> m_pBackBuffer;
    gCString m_Name;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
};
