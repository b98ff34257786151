#pragma once
// The colour picker: the floating panel at the window's right edge with
// which the painter chooses the paint colour. A quarter-disc main area and
// a strip beside it (six arrangements of hue, lightness and saturation, or
// red, green and blue, see ColourAreas.h), an indicator in each, a swatch
// of the colour, a dropper that takes the colour the window shows under
// the pointer, an auto-clean switch with its image, a type button with the
// type's name, and a hide button that folds the body away together with
// the clean-brush panel.
//
// The paint colour belongs to the backbone: the picker reports what the
// painter picks as eMsgPaintColour with itself as sender, and follows
// every colour that comes back through the hub. A colour it sent itself
// never changes its hue, lightness and saturation, so a grey keeps the
// hue the painter chose.

#include <cstdint>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCCmdTarget.h"
#include "ui/panels/ColourAreas.h"

class CCoWidget;
class CImWidget;
class CSMKBackdrop;
class CWidget;

class CColourPicker : public gCCmdTarget {
public:
    using EType = ColourAreas::EType;

    static constexpr uint32_t kRootID = 400;
    static constexpr uint32_t kSwatchID = 411;
    static constexpr uint32_t kHideID = 412;
    static constexpr uint32_t kBodyID = 420;
    static constexpr uint32_t kStripID = 422;
    static constexpr uint32_t kMainID = 425;
    static constexpr uint32_t kOptionsID = 450;
    static constexpr uint32_t kTypeLabelID = 454;
    static constexpr uint32_t kAutoCleanImageID = 458;
    static constexpr uint32_t kAutoCleanID = 465;
    static constexpr uint32_t kTypeID = 466;
    static constexpr uint32_t kDropperID = 470;
    static constexpr uint32_t kCleanBrushRootID = 900;
    // The type label stands centred on this x of the options area.
    static constexpr int32_t kTypeLabelCentre = 118;
    // The hide button at rest and while pressed.
    static constexpr int32_t kHideRest = 34;
    static constexpr int32_t kHidePressed = 32;

    explicit CColourPicker(CSMKBackdrop* backdrop);
    CColourPicker(const CColourPicker&) = delete;
    CColourPicker& operator=(const CColourPicker&) = delete;

    // Creates the root (400) into the backdrop, finds and hooks the
    // widgets, paints the areas and reports the colour. 21 when the root or
    // a widget is missing (the body 420 included), 23 when a time step
    // cannot be made, 6 when the main area is not wider than 38 pixels,
    // the strip not higher than 1, or an area's image is not its widget's
    // size; else the error of adding the root, of a render step, of the
    // auto-clean query or of the report. It stops at the first failure.
    error SetupRoot();
    // Shows type 0 to 5: both areas repainted, the label and the
    // indicators. 6 for any other type, which keeps the type shown.
    error SetPickerType(int32_t type);
    // The next type, after 5 the first; 0.
    error ToggleMode();
    // The type's name, centred on the options area's x 118; 21 without
    // the label.
    error UpdateTypeIndicator(int32_t redraw);
    // The auto-clean image's frame: 1 when on, 0 when off; 21 without it.
    error UpdateBrushToggle(int32_t on, int32_t redraw);
    // The swatch shows the colour, opaque; 6 without a swatch.
    error RenderSwatch();
    // The areas painted for the colour state; 6 without the area, 5 when
    // its image cannot be locked.
    error RenderMain();
    error RenderVert();
    // Both indicators placed on the colour; 6 without an area or an
    // indicator, else the error of moving one.
    error PositionIndicators();

    // A colour from elsewhere is taken in; whoever sent it, what depends on
    // the colour is repainted. eCmdAutoClean shows the flag.
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override;

    // A press in an area, tracked until the release: each new point picks,
    // every pass reports the colour. The error of a report ends it.
    error MainLButtonDown(CWidget*& target, gCPoint& point);
    error VertLButtonDown(CWidget*& target, gCPoint& point);

    // The widgets' callbacks; user is the picker.
    static error MainLButtonDownProc(void* user, CWidget* widget, CWidget*& target, gCPoint& point);
    static error VertLButtonDownProc(void* user, CWidget* widget, CWidget*& target, gCPoint& point);
    static error HideClick(void* user, CWidget* widget, CWidget*& target, gCPoint& point);
    static error OptionsClick(void* user, CWidget* widget, CWidget*& target, gCPoint& point);
    static error DropperClick(void* user, CWidget* widget, CWidget*& target, gCPoint& point);
    static error OptionsHeart(void* user, CWidget* widget);
    static error DropperHeart(void* user, CWidget* widget);

    CWidget* Root() const { return m_pRoot; }
    CImWidget* MainArea() const { return m_pMain; }
    CImWidget* Strip() const { return m_pStrip; }
    const ColourAreas::SColourState& State() const { return m_State; }
    int32_t Type() const { return m_State.type; }

private:
    // The area press: pick is the area's rule for a point inside it.
    template <typename Pick> error TrackArea(CImWidget* area, CWidget*& target, Pick pick);
    // The dropper's loop once the button is held: panels hidden on the
    // first pass, each new point inside the back buffer reported opaque.
    // Whether it ran.
    bool RunDropper();
    error ReportColour();

    CSMKBackdrop* m_pBackdrop; // not owned
    // The widgets belong to the backdrop's tree.
    CWidget* m_pRoot = nullptr;
    CImWidget* m_pStrip = nullptr;
    CImWidget* m_pMain = nullptr;
    CWidget* m_pMainIndicator = nullptr;
    CWidget* m_pStripIndicator = nullptr;
    CCoWidget* m_pSwatch = nullptr;
    CWidget* m_pOptions = nullptr;
    CWidget* m_pAutoCleanButton = nullptr;
    CWidget* m_pTypeButton = nullptr;
    CWidget* m_pBody = nullptr;
    ColourAreas::SColourState m_State;
};
