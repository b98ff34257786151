#pragma once
// The clean-brush panel: a glass of water and an inset button at the
// window's bottom, near the right edge. A click on the inset gives the
// current tool fresh paint of the current colour and tints the water a
// little toward that colour, so the glass slowly takes on the colours
// rinsed out. The panel is wanted only while oil paint is the tool and
// auto-clean is off; otherwise it slides down out of view, and back up
// when both hold again.

#include <cstdint>
#include <optional>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCCmdTarget.h"
#include "imaging/Pixel.h"

class CBackdrop;
class CImage;
class CImWidget;
class CWidget;

class CCleanBrush : public gCCmdTarget {
public:
    static constexpr uint32_t kRootID = 900;
    static constexpr uint32_t kGlassID = 910;
    static constexpr int32_t kGlassImageID = 911;
    static constexpr int32_t kTintImageID = 912;
    // The root's place above the window's bottom: shown, away, and at
    // start when not wanted.
    static constexpr int32_t kShown = 10;
    static constexpr int32_t kAway = -100;
    static constexpr int32_t kStartAway = -90;
    // The water's colour before the first clean.
    static constexpr uint32_t kFirstGlassColour = 0xFF87FFFE;
    // Each clean moves the water this far toward the paint, out of 256.
    static constexpr int32_t kTintLevel = 80;

    explicit CCleanBrush(CBackdrop* backdrop) : m_pBackdrop(backdrop) {}
    CCleanBrush(const CCleanBrush&) = delete;
    CCleanBrush& operator=(const CCleanBrush&) = delete;

    // Creates the root (900) into the backdrop, places it by the auto-clean
    // flag, hooks the slide and the inset, finds the glass and its images
    // and fills the glass. 21 when the root or the glass widget is missing,
    // 23 when the time step cannot be made or an image does not load, else
    // the error of adding the root, of the flag's query or of the filling.
    error SetupRoot();
    // Moves the water's colour 80/256 of the way toward colour (the first
    // time to colour itself) and paints the glass: the tint mask takes the
    // colour and multiplies the glass picture. 21 without the glass or its
    // images, 6 when the mask cannot be locked, else the mix's error; the
    // colour changes only when the glass was painted.
    error SetGlassColour(CPixel colour, int32_t redraw);
    // The next water colour after a clean toward colour.
    static CPixel Tinted(CPixel glass, CPixel colour);

    // Follows the auto-clean flag and the selected tool; 0.
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override;

    // The widgets' callbacks; user is the panel.
    static error RootHeart(void* user, CWidget* root);
    static error InsetClick(void* user, CWidget* button, CWidget*& target, gCPoint& point);

    CImWidget* Root() const { return m_pRoot; }
    CImWidget* Glass() const { return m_pGlass; }
    CPixel GlassColour() const { return m_GlassColour; }
    int32_t Wanted() const { return m_fWanted; }
    int32_t Oil() const { return m_fOil; }

private:
    CBackdrop* m_pBackdrop;       // not owned
    CImWidget* m_pRoot = nullptr; // belongs to the backdrop's tree
    int32_t m_fWanted = 0;
    int32_t m_fOil = 0;
    CImWidget* m_pGlass = nullptr;
    CImage* m_pTint = nullptr;       // the image pool's
    CImage* m_pGlassImage = nullptr; // the image pool's
    CPixel m_GlassColour{0};
    // The place the slide last gave the root; none while the root keeps
    // the resource file's.
    std::optional<int32_t> m_nPlaced;
};
