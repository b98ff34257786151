#pragma once
// The new-painting panel: a modal panel over a blurred picture of the
// window in which the painter sets up a new painting (its width and
// height, one of four papers, the paper colour and an optional tracing
// image whose size the painting can take) before it is made. Creating
// sends the backbone eCmdNewProject with those choices; cancelling leaves
// the painting as it was. The tree is built on every showing and removed
// on every closing.

#include <cstdint>
#include <memory>

#include "FileIO/gCFRef.h"
#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCCmdTarget.h"
#include "ui/boxes/PaperBox.h"

class CCoWidget;
class CSMKBackdrop;
class CTxEdWidget;
class CWidget;

class CNewFile : public gCCmdTarget {
public:
    static constexpr uint32_t kRootID = 2000;
    static constexpr uint32_t kCreateID = 2031;
    static constexpr uint32_t kCancelID = 2032;
    static constexpr uint32_t kSizeToTracingID = 2045;
    static constexpr uint32_t kWindowSizeID = 2046;
    static constexpr uint32_t kColourHolderID = 2079;
    static constexpr uint32_t kWidthFieldID = 2015;
    static constexpr uint32_t kHeightFieldID = 2017;
    static constexpr uint32_t kWidthLabelID = 2081;
    static constexpr uint32_t kHeightLabelID = 2082;
    static constexpr uint32_t kTracingButtonID = 2090;
    static constexpr uint32_t kTracingNameID = 2092;
    static constexpr uint32_t kFirstPaperID = 2070;
    static constexpr int32_t kPaperCount = 4;
    // A fresh painting's paper colour.
    static constexpr uint32_t kDefaultColour = 0xFFFFFFFA;
    // Every side of a painting lies within these.
    static constexpr int32_t kSmallestSide = 100;
    static constexpr int32_t kLargestSide = 5000;

    explicit CNewFile(CSMKBackdrop* backdrop) : m_pBackdrop(backdrop) {}
    ~CNewFile() override;
    CNewFile(const CNewFile&) = delete;
    CNewFile& operator=(const CNewFile&) = delete;

    // Builds the tree anew over the blurred window: the fields hold the
    // window's size (the width field has the keys), paper 0 is chosen, the
    // colour is the default and no tracing image is chosen; modal, with the
    // opening sound. Asked again while shown it does nothing. 23 without
    // the tree or memory, 21 for a missing widget; a failed showing leaves
    // no tree behind and the modal stack as it was.
    error Show(int32_t redraw);
    // Closes; with confirm, first reads the sizes (6, the panel staying as
    // it was, when a field holds no whole number; each side is brought into
    // 100..5000) and afterwards asks the backbone for the new painting.
    // Closed without it after the save prompt's discard, the painting's
    // modified flag goes back to what the prompt found.
    error Hide(int32_t confirm, int32_t redraw);
    // The tracing button's text, the size-to-tracing button and the
    // tracing image's name follow whether one is chosen. 21 without them.
    error UpdateTraceIndicators(int32_t redraw);
    // Lets the painter choose a tracing image; a file that is not a
    // picture is shown once and changes nothing. 0 also when cancelled.
    error PreloadTracingPaper();
    // The tracing image's size, fitted into the largest painting keeping
    // its proportions, into the fields; nothing without one.
    error SizeToTracingPaper();

    static error ButtonClick(void* user, CWidget* widget, CWidget*& target, gCPoint& point);
    static error BigButtonClick(void* user, CWidget* widget, CWidget*& target, gCPoint& point);
    static error TraceButtonClick(void* user, CWidget* widget, CWidget*& target, gCPoint& point);
    static error DentClick(void* user, CWidget* widget, CWidget*& target, gCPoint& point);
    static error RootKey(void* user, CWidget* widget, CWidget*& target, uint32_t key);
    static error TextEditKey(void* user, CWidget* widget, CWidget*& target, uint32_t key);
    static error BigButtonHeart(void* user, CWidget* widget);
    // Shared with the canvas picker.
    static constexpr CWidget::PointProc ColourClick = &PaperBox::ColourClick;
    static constexpr CWidget::HeartbeatProc ButtonHeart = &PaperBox::ButtonHeart;
    static constexpr CWidget::HeartbeatProc DentHeart = &PaperBox::DentHeart;

    // A side typed in a field, brought into the painting's range.
    static int32_t ClampedSide(int32_t side);
    // A picture's size fitted into kLargestSide on both sides, keeping its
    // proportions (halves rounded away from zero); each side at least 1.
    static gCPoint FittedSize(int32_t width, int32_t height);

    CWidget* Root() const { return m_pRoot; }
    CTxEdWidget* WidthField() const { return m_pWidthEdit; }
    CTxEdWidget* HeightField() const { return m_pHeightEdit; }
    CCoWidget* Swatch() const { return m_pColour; }
    const gCFRef* TracingRef() const { return m_pTracingRef.get(); }
    int32_t TracingWidth() const { return m_nTracingWidth; }
    int32_t TracingHeight() const { return m_nTracingHeight; }

private:
    error BuildShown();
    error HookButtons();
    error SetupField(uint32_t id, int32_t value, CTxEdWidget*& field);
    error PlaceSizeLabel(uint32_t id, CTxEdWidget* field, int32_t value);
    error SetupPapers();
    void RemoveTree();
    // The shown tree's widgets forgotten once it is gone.
    void ForgetWidgets();
    void ForgetTracing();
    void PlaySound(int32_t sound);
    // Both fields set to the size, the height's with a redraw.
    void SetFields(int32_t width, int32_t height);
    int32_t ChosenPaper() const;

    CSMKBackdrop* m_pBackdrop; // not owned
    CWidget* m_pRoot = nullptr; // the backdrop's while shown
    CTxEdWidget* m_pWidthEdit = nullptr;
    CTxEdWidget* m_pHeightEdit = nullptr;
    CCoWidget* m_pColour = nullptr;
    std::unique_ptr<gCFRef> m_pTracingRef;
    int32_t m_nTracingWidth = -1;
    int32_t m_nTracingHeight = -1;
};
