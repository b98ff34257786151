#pragma once
// The tracing-paper picker: a small panel at the window's bottom whose
// preview shows, lightened, a square from the middle of the tracing image
// laid under the painting. While there is none, the preview is white with
// a placeholder, and a click on it asks for a picture; while there is one,
// a click opens a menu that clears, reloads, shows or hides the image,
// takes the paint colour from it or fits it to the canvas. The panel
// slides down out of the way until the pointer comes to it, and stays up
// while an image is loaded. The image and its settings are the canvas's:
// the picker asks for them and sets them through the backbone, and
// follows what the backbone passes on.

#include <cstdint>
#include <memory>
#include <optional>

#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCCmdTarget.h"

class CImWidget;
class CSMKBackdrop;
class CSMKMenu;
class CWidget;

class CTracePicker : public gCCmdTarget {
public:
    static constexpr uint32_t kRootID = 500;
    static constexpr uint32_t kPreviewID = 501;
    static constexpr int32_t kMenuList = 854;
    // The root's place above the window's bottom: in view, and away with
    // a strip of it still showing.
    static constexpr int32_t kShown = 10;
    static constexpr int32_t kAway = -90;
    // The menu's rows.
    enum EMenuRow : int32_t {
        eClearRow = 0,
        eLoadRow = 1,
        eShowRow = 2,
        eColourRow = 3,
        eStretchRow = 4, // fit 0; rows 5 and 6 are fits 1 and 2
        eFillRow = 6,
    };

    explicit CTracePicker(CSMKBackdrop* backdrop);
    ~CTracePicker() override;
    CTracePicker(const CTracePicker&) = delete;
    CTracePicker& operator=(const CTracePicker&) = delete;

    // Creates the root (500) into the backdrop at its place away, hooks
    // the slide, finds the preview (501) with the placeholder as its first
    // child and hooks its press, gives the preview an image of its own and
    // builds the menu from the text list 854. 21 when the root, the
    // preview, its image, the placeholder or the list is missing, 23 when
    // the time step, the image or the menu cannot be made, else the error
    // of adding the root or of the menu's set-up. A failure takes the root
    // out of the backdrop again, so no widget is left calling the picker.
    error SetupRoot();
    // Follows new and loaded projects, a loaded and a cleared tracing
    // image, and takes the menu's choice.
    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override;

    // Asks for a picture and has the canvas load it; a failure is shown
    // once (a dialog that could not run has shown its own), a cancel
    // shows nothing. 0.
    error LoadTracingPaper();
    // The loaded state: placeholder hidden, the middle square of the
    // tracing image scaled and lightened into the preview. 23 without an
    // image (or memory for the scaled copy), the preview keeping its
    // pixels; else the scaling's error or 0.
    error PaperLoaded(int32_t redraw);
    // The empty state: placeholder shown, the preview white. 23 without
    // the preview's image.
    error PaperCleared(int32_t redraw);
    // The state of the canvas: its image (rebuilt, also when one was
    // shown already), or empty when it has none and one was shown. The
    // query's error, else that of the state taken.
    error UpdatePickerState(int32_t redraw);

    // A preview channel value v lightened toward white with a true floor:
    // 255 + floor((v - 254) * 170 / 256).
    static uint32_t Lightened(uint32_t v);

    // The widgets' callbacks; user is the picker.
    static error RootHeart(void* user, CWidget* root);
    static error PreviewClick(void* user, CWidget* preview, CWidget*& target, gCPoint& point);

    CImWidget* Root() const { return m_pRoot; }
    CImWidget* Preview() const { return m_pPreview; }
    CWidget* Placeholder() const;
    CSMKMenu* Menu() const { return m_pMenu.get(); }
    int32_t ImageLoaded() const { return m_fImageLoaded; }

private:
    // What SetupRoot does, leaving what it made on a failure.
    error BuildPanel();
    // Ticks the rows as the canvas's settings stand and opens the menu
    // upward from the preview's centre.
    error OpenMenu();
    // Runs the menu's row; any other value (a dismissed menu) does nothing.
    int32_t MenuChoice(int64_t item);
    // Whether the slide wants the panel up: an image is loaded, or the
    // pointer is on the panel.
    bool Raised(const CWidget* rollover) const;

    CSMKBackdrop* m_pBackdrop;    // not owned
    CImWidget* m_pRoot = nullptr; // belongs to the backdrop's tree
    CImWidget* m_pPreview = nullptr;
    int32_t m_fImageLoaded = 0;
    std::unique_ptr<CSMKMenu> m_pMenu;
    // The place the slide last gave the root.
    std::optional<int32_t> m_nPlaced;
};
