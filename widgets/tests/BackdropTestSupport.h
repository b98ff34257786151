#pragma once
// The backdrop as its tests drive it: its background settings reachable,
// sized, complete and held by a recording window.

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/Gradient.h"
#include "testsupport/widgets/RecordingHost.h"
#include "widgets/Backdrop.h"

class CTestBackdrop : public CBackdrop {
public:
    void SetGradient(CGradient* gradient) { m_pGradient.reset(gradient); }
    void SetBackgroundImage(CImage* image) { m_pBackgroundImage.reset(image); }
    void SetGradientOpacity(int32_t opacity) { m_nGradientOpacity = opacity; }
    void SetGradientAngle(float angle) { m_rGradientAngle = angle; }
    void SetRadial(int32_t radial, float x, float y) {
        m_fRadialGradient = radial;
        m_rGradientCentreX = x;
        m_rGradientCentreY = y;
    }
    void SetBackgroundColour(uint32_t colour) { m_BackgroundColour = CPixel(colour); }
    // Rollover switched off without forgetting the widget.
    void SwitchRolloverOff() { m_fRolloverEnabled = 0; }

    CPixel BackgroundColour() const { return m_BackgroundColour; }
    int32_t GradientOpacity() const { return m_nGradientOpacity; }
    float GradientAngle() const { return m_rGradientAngle; }
    int32_t Radial() const { return m_fRadialGradient; }
    float CentreX() const { return m_rGradientCentreX; }
    float CentreY() const { return m_rGradientCentreY; }
    CGradient* Gradient() const { return m_pGradient.get(); }
    CImage* BackgroundImage() const { return m_pBackgroundImage.get(); }
    const StructCursorInfo& CursorInfo(int32_t i) const { return m_aCursors[i]; }
};

// The rectangles as "l,t,r,b" texts.
inline std::vector<std::string> RectTexts(const std::vector<gCRect>& rects) {
    std::vector<std::string> out;
    for (const gCRect& r : rects) {
        out.push_back(std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                      std::to_string(r.right) + "," + std::to_string(r.bottom));
    }
    return out;
}
