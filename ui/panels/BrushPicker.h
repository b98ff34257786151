#pragma once
// The brush picker: the floating panel at the window's left edge with
// which the painter chooses the tool, its style, the brush size and the
// pressure weight. Seven tool buttons, a style button shown only for the
// pencils and the palette knife, a preview painted by the current tool
// itself, the size in percent with a smaller and a larger step, the
// pressure button with its slider pop-up, and a hide button that folds the
// panel down to itself. The picker changes the tool, style, size and
// weight only through the backbone's ids, and redraws from what the
// backbone sends back, whoever made the change.

#include <cstdint>
#include <memory>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCArray.h"
#include "foundation/gCCmdTarget.h"

class CBackdrop;
class CImWidget;
class CProxyCanvas;
class CTxWidget;
class CWidget;

class CBrushPicker : public gCCmdTarget {
public:
    static constexpr uint32_t kRootID = 600;
    static constexpr uint32_t kPreviewID = 604;
    static constexpr uint32_t kSizeTextID = 607;
    static constexpr uint32_t kSmallerID = 610;
    static constexpr uint32_t kLargerID = 611;
    static constexpr uint32_t kPressureButtonID = 614;
    static constexpr uint32_t kPressurePopupID = 620;
    static constexpr uint32_t kGripID = 624;
    static constexpr uint32_t kFirstToolID = 721;
    static constexpr int32_t kToolButtons = 7;
    static constexpr uint32_t kHideID = 743;
    static constexpr uint32_t kStyleID = 750;
    // The grip's run inside the pop-up: the weight is x / kGripScale.
    static constexpr int32_t kGripLeft = 1;
    static constexpr int32_t kGripRight = 194;
    static constexpr float kGripScale = 193.0f;
    // The hide button at rest and while pressed.
    static constexpr int32_t kHideRest = -26;
    static constexpr int32_t kHidePressed = -24;

    // The tool id each button sends, by button (id less 721).
    static constexpr int32_t kToolOfButton[kToolButtons] = {0, 1, 6, 7, 3, 4, 5};
    // The button of a tool id, or -1 for a tool without one.
    static int32_t ButtonOfTool(int32_t tool);

    explicit CBrushPicker(CBackdrop* backdrop);
    ~CBrushPicker() override;
    CBrushPicker(const CBrushPicker&) = delete;
    CBrushPicker& operator=(const CBrushPicker&) = delete;

    // Creates the root (600) from the resource file into the backdrop,
    // finds and hooks the widgets, and makes the preview canvas. 21 when
    // the root or a widget is missing, 23 when a time step or the preview
    // cannot be made, else the error of adding the root or of the preview's
    // set-up; it stops at the first failure.
    error SetupRoot();
    // Follows the tool, its style, size and the pressure weight; the
    // preview canvas's error.
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override;

    // Fades the style button in (show non-zero, with the style's image) or
    // out; 0, or the error of asking for the style.
    error ShowStylePicker(int32_t show, int32_t animate);
    // The style's image on the style button for the pencils and the
    // palette knife; nothing for the other tools.
    error UpdateToolStyle(int32_t style, int32_t redraw);
    // The read-out: the size in percent, at least 1; -1.0 asks the
    // backbone for the size.
    error UpdateSizePercent(float size, int32_t redraw);

    // The widgets' callbacks; user is the picker.
    static error ToolHeart(void* user, CWidget* widget);
    static error StyleHeart(void* user, CWidget* widget);
    static error ToolClick(void* user, CWidget* widget, CWidget*& taker, gCPoint& point);
    static error StyleClick(void* user, CWidget* widget, CWidget*& taker, gCPoint& point);
    static error BrushSizeLDown(void* user, CWidget* widget, CWidget*& taker, gCPoint& point);
    static error BrushSizeButton(void* user, CWidget* widget, CWidget*& taker, gCPoint& point);
    static error PressureClick(void* user, CWidget* widget, CWidget*& taker, gCPoint& point);
    static error PressureGripClick(void* user, CWidget* widget, CWidget*& taker, gCPoint& point);
    static error HideClick(void* user, CWidget* widget, CWidget*& taker, gCPoint& point);
    static error PressureKey(void* user, CWidget* widget, CWidget*& taker, uint32_t key);
    static int32_t PressureMessage(void* user, CWidget* widget, uint32_t message, void* data,
                                   uintptr_t extra);

    CWidget* Root() const { return m_pRoot; }
    CWidget* ToolButton(int32_t index) const;
    CTxWidget* SizeText() const { return m_pSizeText; }
    CImWidget* StyleButton() const { return m_pStyleButton; }
    CWidget* PressurePopup() const { return m_pPressurePopup; }
    CProxyCanvas* Preview() const { return m_pPreview.get(); }

private:
    // Holds the press on the widget until the button is released; whether
    // it was released on the widget.
    bool PressConfirmed(CWidget* widget);
    // Closes the pressure pop-up: out of the modal stack, hidden.
    void ClosePopup();
    CWidget* Grip() const;
    // The weight the grip stands for, sent to the backbone.
    void SendGripWeight();
    // The size stepped by step and sent; whether the backbone took it.
    bool StepSize(float& size, float step);

    CBackdrop* m_pBackdrop; // not owned
    CWidget* m_pRoot = nullptr; // belongs to the backdrop's tree
    gCArray<CWidget*> m_aToolButtons;
    CTxWidget* m_pSizeText = nullptr;
    CImWidget* m_pStyleButton = nullptr;
    CWidget* m_pPressurePopup = nullptr;
    std::unique_ptr<CProxyCanvas> m_pPreview;
};
