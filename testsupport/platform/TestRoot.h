#pragma once
// A window root for tests: a back buffer the size of the window, copied
// whole to the window on redraw, and no widget. It deletes itself when the
// window lets it go, after telling the flag a test gave it.

#include <cstdint>
#include <memory>

#include "foundation/gCCmdTarget.h"
#include "foundation/gCString.h"
#include "imaging/Image.h"
#include "platform/WindowRoot.h"

class CTestRoot : public gCCmdTarget, public CWindowRoot {
public:
    // Without memory for the name the window's title is empty; nothing else
    // reads it.
    CTestRoot() { (void)m_Name.CopyString(u"Test"); }

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
    void ClearRollover() override { ++m_nRolloverClears; }
    int32_t PassMessage(uint32_t, void*, uintptr_t) override { return 0; }
    error PassRedraw() override;

    // A new back buffer of the size (transparent black); 6 for a size of 0
    // or less, 5 when it cannot be made.
    error SetSize(int32_t width, int32_t height, int32_t flag) override;
    int32_t Width() const override { return m_nWidth; }
    int32_t Height() const override { return m_nHeight; }
    gCPoint PositionerSize() const override { return gCPoint(m_nWidth, m_nHeight); }
    CImage* BackBuffer() const override { return m_pBackBuffer.get(); }
    error InvalidateClient(int32_t) override {
        m_fInvalid = 1;
        return eNoError;
    }
    void LocalToDesktop(gCPoint& point) override;
    const gCString& GetName() const override { return m_Name; }

    error SetupInterface() override { return eNoError; }
    void CreationComplete() override { m_fCreationComplete = 1; }
    void BackdropClosing() override {}

    void HideCursor() override { m_fCursorVisible = 0; }
    void ShowCursor() override { m_fCursorVisible = 1; }
    int32_t IsCursorVisible() override { return m_fCursorVisible; }
    void UpdateCursorPos() override {}

    void ReleasedByWindow() override;

    int32_t m_fInvalid = 0;
    int32_t m_fCreationComplete = 0;
    int32_t m_fCursorVisible = 0;
    int32_t m_nRolloverClears = 0;
    // Set to 1 when the window lets the root go (the root is deleted then).
    int32_t* m_pReleased = nullptr;

protected:
    std::unique_ptr<CImage> m_pBackBuffer;
    gCString m_Name;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
};
