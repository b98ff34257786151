#include "ui/panels/TracePicker.h"

#include <algorithm>
#include <new>

#include "FileIO/FileTypes.h"
#include "FileIO/gCFRef.h"
#include "FileIO/gCFTypeList.h"
#include "FileIO/gCFileIO.h"
#include "foundation/MessageIds.h"
#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "imaging/Stretcher.h"
#include "paint/ChannelValue.h"
#include "ui/FailureAlert.h"
#include "ui/SMKBackdrop.h"
#include "ui/menus/SMKMenu.h"
#include "ui/panels/PanelHighlight.h"
#include "ui/panels/PanelSupport.h"
#include "widgets/ImWidget.h"
#include "widgets/RoRectWidget.h"
#include "widgets/TextList.h"

namespace {

constexpr uint32_t kChooserFailedText = 0xB2D05E12;
constexpr uint32_t kNotLoadedText = 0xB2D05E13;
constexpr int32_t kClickSound = 0;
// The slide: one pixel a millisecond.
constexpr float kSlideStepInterval = 1.0f;
constexpr uint32_t kAlphaMask = 0xFF000000u;
constexpr uint32_t kWhite = 0x00FFFFFFu;
// The fits of the tracing image, one row each from the stretch row on.
constexpr int32_t kFitCount = 3;

// The centred square of an image of that size: the middle of a wide one,
// the middle of a tall one, halves cut toward zero.
gCRect CentredSquare(int32_t width, int32_t height) {
    if (width > height) {
        const int32_t left = width / 2 - height / 2;
        return gCRect(left, 0, left + height, height);
    }
    const int32_t top = height / 2 - width / 2;
    return gCRect(0, top, width, top + width);
}

} // namespace

CTracePicker::CTracePicker(CSMKBackdrop* backdrop) : m_pBackdrop(backdrop) {}

// The menu takes its tree out of the backdrop as it goes.
CTracePicker::~CTracePicker() = default;

error CTracePicker::SetupRoot() {
    const error e = BuildPanel();
    if (e && m_pRoot) {
        // Nothing is left behind calling a picker that is deleted again.
        m_pMenu.reset();
        if (CWidget* parent = m_pRoot->Parent()) {
            (void)parent->RemoveChild(m_pRoot, 0); // without a redraw nothing fails
        }
        m_pRoot = nullptr;
        m_pPreview = nullptr;
    }
    return e;
}

error CTracePicker::BuildPanel() {
    m_pRoot = m_pBackdrop ? CImWidget::CreateFromRes(int32_t(kRootID), nullptr, nullptr) : nullptr;
    if (const error e = PanelSupport::AddRoot(m_pBackdrop, m_pRoot)) {
        return e;
    }
    (void)m_pRoot->SetYPos(kAway, 0); // only marks: the window is drawn whole later
    m_nPlaced = kAway;
    if (const error e = PanelSupport::GiveStep(m_pRoot, float(kAway), float(kAway),
                                               kSlideStepInterval)) {
        return e;
    }
    m_pRoot->SetHeartbeat(&CTracePicker::RootHeart, this);

    m_pPreview = dynamic_cast<CImWidget*>(m_pRoot->FindByID(kPreviewID));
    if (!m_pPreview || !m_pPreview->Image() || !Placeholder()) {
        return eResourceNotFound;
    }
    m_pPreview->SetButtonDownL(&CTracePicker::PreviewClick, this);
    // The preview is painted in place: it gets an image of its own, of its
    // own size, so that the pool's picture stays as loaded.
    {
        std::unique_ptr<CImage> own(new (std::nothrow)
                                        CImage(m_pPreview->Width(), m_pPreview->Height()));
        if (!own || !own->IsValid()) {
            return eCreateFailed;
        }
        if (const error e = CStretcher::Blit(own.get(), m_pPreview->Image())) {
            return e;
        }
        if (const error e = m_pPreview->SetImage(own.release(), 0, 0)) {
            return e;
        }
    }

    std::unique_ptr<CTextList> list(CTextList::CreateFromRes(kMenuList, nullptr, nullptr));
    if (!list) {
        return eResourceNotFound;
    }
    m_pMenu.reset(new (std::nothrow) CSMKMenu());
    if (!m_pMenu) {
        return eCreateFailed;
    }
    if (const error e = m_pMenu->SetupRoot(list.get(), 1, m_pBackdrop, this)) {
        m_pMenu.reset();
        return e;
    }
    return eNoError;
}

CWidget* CTracePicker::Placeholder() const {
    return m_pPreview ? m_pPreview->Child(0) : nullptr;
}

int32_t CTracePicker::ProcessData(uint32_t id, const void* sender, int64_t value, int32_t) {
    switch (id) {
    case eCmdNewProject:
    case eCmdLoadProject:
        return UpdatePickerState(1);
    case eCmdLoadTracing:
        (void)PaperLoaded(1); // a preview that cannot show it keeps its pixels
        return 0;
    case eCmdClearTracing:
        (void)PaperCleared(1);
        return 0;
    case eCmdMenuChoice:
        // Only this picker's menu; the menu bar's choices are the bar's.
        if (!m_pMenu || sender != m_pMenu.get()) {
            return 0;
        }
        return MenuChoice(value);
    default:
        return 0;
    }
}

int32_t CTracePicker::MenuChoice(int64_t item) {
    if (uint64_t(item) > uint64_t(eFillRow)) {
        return 0; // dismissed (-1), or no row of this menu
    }
    switch (int32_t(item)) {
    case eClearRow:
        return SetBackboneData(eCmdClearTracing, this, 0);
    case eLoadRow:
        return LoadTracingPaper();
    case eShowRow:
        return SetBackboneData(eCmdTracingMode, this, 2);
    case eColourRow: {
        int32_t pick = 0;
        if (const int32_t e = GetBackboneData(eCmdTracingSetting2, this, ChannelValueOf(&pick))) {
            return e;
        }
        pick = pick == 0 ? 1 : 0;
        return SetBackboneData(eCmdTracingSetting2, this, ChannelValueOf(&pick));
    }
    default: {
        int32_t fit = int32_t(item) - eStretchRow;
        return SetBackboneData(eCmdTracingSetting3, this, ChannelValueOf(&fit));
    }
    }
}

error CTracePicker::LoadTracingPaper() {
    gCFTypeList types;
    // A list that cannot be made leaves the dialog with what it holds.
    if (types.SetDefaultList(eImageFilesFlag) == eNoError &&
        types.AddListType({eAllImageFiles, eLastTypeIndex}) == eNoError) {
        (void)types.SetDefaultEntry(eAllImageFiles); // an entry of the list just made
    }
    gCFRef file;
    const error asked = gCFileIO::InitLoadFRef(file, &types);
    if (m_pBackdrop) {
        m_pBackdrop->RefreshTabletServices();
    }
    if (asked == eNoError) {
        if (const int32_t e = SetBackboneData(eCmdLoadTracing, this, ChannelValueOf(&file))) {
            ShowFailure(e, kNotLoadedText, &file);
        }
    } else if (asked != eHandled && !DialogShownItself(asked)) {
        // A cancel shows nothing.
        ShowFailure(asked, kChooserFailedText, nullptr);
    }
    return eNoError;
}

uint32_t CTracePicker::Lightened(uint32_t v) {
    // The shift of a negative number is the floor of its division.
    return uint32_t(255 + ((int32_t(v) - 254) * 170 >> 8));
}

error CTracePicker::PaperLoaded(int32_t redraw) {
    m_fImageLoaded = 1;
    if (CWidget* placeholder = Placeholder()) {
        (void)placeholder->SetVisibility(0, 0); // only marks
    }
    CImage* tracing = nullptr;
    if (GetBackboneData(eCmdGetTracing, this, ChannelValueOf(&tracing)) != 0 || !tracing ||
        !tracing->IsValid() || tracing->IsCompressed() || !m_pPreview || !m_pPreview->Image()) {
        return eCreateFailed;
    }
    CImage scaled(m_pPreview->Width(), m_pPreview->Height());
    if (!scaled.IsValid()) {
        return eCreateFailed;
    }
    {
        const gCRect square = CentredSquare(tracing->GetWidth(), tracing->GetHeight());
        CImNav to(&scaled);
        CImNav from(tracing, &square);
        if (!to.IsLocked() || !from.IsLocked()) {
            return eCreateFailed;
        }
        if (const error e = CStretcher::StretchBlit(&to, &from, 1)) {
            return e;
        }
    }
    {
        CImNav from(&scaled);
        CImNav shown(m_pPreview->Image());
        if (!from.IsLocked() || !shown.IsLocked()) {
            return eCreateFailed;
        }
        const int32_t width = std::min(from.GetWidth(), shown.GetWidth());
        const int32_t height = std::min(from.GetHeight(), shown.GetHeight());
        for (int32_t y = 0; y < height; ++y) {
            const CPixel* in = from.Row(y);
            CPixel* out = shown.Row(y);
            for (int32_t x = 0; x < width; ++x) {
                const uint32_t p = uint32_t(in[x]);
                const uint32_t r = Lightened((p >> 16) & 0xFFu);
                const uint32_t g = Lightened((p >> 8) & 0xFFu);
                const uint32_t b = Lightened(p & 0xFFu);
                out[x] = CPixel((uint32_t(out[x]) & kAlphaMask) | r << 16 | g << 8 | b);
            }
        }
    }
    return m_pPreview->InvalidateClient(redraw);
}

error CTracePicker::PaperCleared(int32_t redraw) {
    m_fImageLoaded = 0;
    if (CWidget* placeholder = Placeholder()) {
        (void)placeholder->SetVisibility(1, 0); // only marks
    }
    if (!m_pPreview || !m_pPreview->Image()) {
        return eCreateFailed;
    }
    {
        CImNav shown(m_pPreview->Image());
        if (!shown.IsLocked()) {
            return eCreateFailed;
        }
        for (int32_t y = 0; y < shown.GetHeight(); ++y) {
            CPixel* row = shown.Row(y);
            for (int32_t x = 0; x < shown.GetWidth(); ++x) {
                row[x] = CPixel((uint32_t(row[x]) & kAlphaMask) | kWhite);
            }
        }
    }
    return m_pPreview->InvalidateClient(redraw);
}

error CTracePicker::UpdatePickerState(int32_t redraw) {
    CImage* tracing = nullptr;
    if (const int32_t e = GetBackboneData(eCmdGetTracing, this, ChannelValueOf(&tracing))) {
        return error(e);
    }
    // An image that came with a project while another was shown is
    // previewed afresh.
    if (tracing) {
        return PaperLoaded(redraw);
    }
    return m_fImageLoaded ? PaperCleared(redraw) : eNoError;
}

bool CTracePicker::Raised(const CWidget* rollover) const {
    // One test for raising and lowering; where the cursor is plays no part,
    // so the panel never hesitates between the two.
    return m_fImageLoaded != 0 || rollover == m_pRoot || rollover->IsInHierarchy(m_pRoot) != 0;
}

error CTracePicker::RootHeart(void* user, CWidget* root) {
    auto* picker = static_cast<CTracePicker*>(user);
    CBackdrop* backdrop = PanelHighlight::BackdropOf(root);
    const CWidget* rollover = backdrop ? backdrop->WidgetRollover() : nullptr;
    if (!picker || !rollover) {
        return eNoError;
    }
    const float target = picker->Raised(rollover) ? float(kShown) : float(kAway);
    return PanelHighlight::Slide(root, target, picker->m_nPlaced, kAway, kShown);
}

error CTracePicker::PreviewClick(void* user, CWidget* preview, CWidget*& target, gCPoint&) {
    auto* picker = static_cast<CTracePicker*>(user);
    target = preview;
    if (!PanelSupport::Confirmed(picker->m_pBackdrop, preview)) {
        return eNoError;
    }
    (void)picker->SetUIData(eCmdPlaySound, picker, kClickSound); // a missing sound is silence
    if (!picker->m_fImageLoaded) {
        return picker->LoadTracingPaper();
    }
    return picker->OpenMenu();
}

error CTracePicker::OpenMenu() {
    if (!m_pMenu || !m_pMenu->Root() || !m_pPreview) {
        return eNoError;
    }
    // The ticks follow the canvas; a setting that cannot be read ticks
    // nothing.
    (void)m_pMenu->SetAllTicks(0);
    int32_t fit = -1;
    (void)GetBackboneData(eCmdTracingSetting3, this, ChannelValueOf(&fit));
    if (fit >= 0 && fit < kFitCount) {
        (void)m_pMenu->SetItemTick(eStretchRow + fit, 1);
    }
    int32_t shown = 0;
    (void)GetBackboneData(eCmdTracingMode, this, ChannelValueOf(&shown));
    if (shown == 1) {
        (void)m_pMenu->SetItemTick(eShowRow, 1);
    }
    int32_t pick = 0;
    (void)GetBackboneData(eCmdTracingSetting2, this, ChannelValueOf(&pick));
    if (pick != 0) {
        (void)m_pMenu->SetItemTick(eColourRow, 1);
    }
    const gCRect& r = m_pPreview->Rect();
    gCPoint at((r.left + r.right) >> 1, (r.top + r.bottom) >> 1);
    if (CWidget* parent = m_pPreview->Parent()) {
        parent->LocalToBackdrop(at);
    }
    at.y -= m_pMenu->Root()->Height();
    (void)m_pMenu->SetPosition(at, 0); // always 0
    return m_pMenu->Show(1);
}
