#include "ui/boxes/NewFile.h"

#include <algorithm>
#include <new>

#include "FileIO/FileTypes.h"
#include "FileIO/gCFTypeList.h"
#include "FileIO/gCFileIO.h"
#include "foundation/ErrorReport.h"
#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "foundation/Rounding.h"
#include "foundation/Utf8.h"
#include "imaging/Image.h"
#include "imaging/ImageIO.h"
#include "paint/ChannelValue.h"
#include "paint/project/ProjectInfo.h"
#include "platform/WindowBase.h"
#include "text/TxEdWidget.h"
#include "text/TxWidget.h"
#include "ui/InterfaceText.h"
#include "ui/SMKBackdrop.h"
#include "ui/boxes/ShownTree.h"
#include "ui/panels/PanelHighlight.h"
#include "ui/panels/PressTracking.h"
#include "widgets/CoWidget.h"
#include "widgets/ImWidget.h"

namespace {

constexpr uint32_t kNewPaintingNameText = 0xB2D05E03;
constexpr uint32_t kWindowSizeText = 0xB2D05E14;
constexpr uint32_t kNoTracingText = 2092;
constexpr uint32_t kTracingNotLoadedText = 0xB2D05E13;
constexpr int32_t kClickSound = 0;
constexpr int32_t kOpenSound = 2;
constexpr int32_t kCloseSound = 3;
// The size fields take at most this many characters.
constexpr int32_t kFieldLength = 4;
// The gap between a field and its label, and between the two size buttons
// and the panel's centre.
constexpr int32_t kGap = 10;

gCString Decimal(int32_t value) {
    gCString text;
    (void)text.Format(u"%d", value); // empty when it cannot be made
    return text;
}

// A field's side, or false when it holds no whole number.
bool ReadSide(const CTxEdWidget* field, int32_t& side) {
    const gCString& text = field->String();
    if (!text.IsInteger()) {
        return false;
    }
    const int64_t value = text.Int64();
    side = CNewFile::ClampedSide(int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)));
    return true;
}

} // namespace

CNewFile::~CNewFile() = default;

int32_t CNewFile::ClampedSide(int32_t side) {
    return std::clamp(side, kSmallestSide, kLargestSide);
}

gCPoint CNewFile::FittedSize(int32_t width, int32_t height) {
    if (width <= kLargestSide && height <= kLargestSide) {
        return gCPoint(width, height);
    }
    const double scale = double(kLargestSide) / double(std::max(width, height));
    return gCPoint(RoundToInt32(float(width * scale), 1, kLargestSide),
                   RoundToInt32(float(height * scale), 1, kLargestSide));
}

void CNewFile::PlaySound(int32_t sound) {
    // A sound that cannot play is no reason to stop the panel.
    (void)SetUIData(eCmdPlaySound, this, sound);
}

error CNewFile::Show(int32_t redraw) {
    if (m_pRoot) {
        return eNoError; // one modal entry, one sound
    }
    if (!m_pBackdrop) {
        return eResourceNotFound;
    }
    CImWidget* root = nullptr;
    if (const error e = PaperBox::AddOverBlur(m_pBackdrop, kRootID, root)) {
        return e;
    }
    m_pRoot = root;
    ForgetTracing();
    if (const error e = BuildShown()) {
        RemoveTree();
        return e;
    }
    PlaySound(kOpenSound);
    if (redraw) {
        // A failed redraw is shown by the backdrop and kept dirty.
        (void)m_pRoot->PassRedraw();
    }
    return eNoError;
}

error CNewFile::HookButtons() {
    const int32_t halfWidth = m_pRoot->Width() / 2;
    for (const uint32_t id : {kCreateID, kCancelID, kSizeToTracingID, kWindowSizeID,
                              kTracingButtonID}) {
        CWidget* button = m_pRoot->FindByID(id);
        if (!button) {
            return eResourceNotFound;
        }
        if (id == kCreateID || id == kCancelID) {
            if (const error e = PaperBox::SetupButton(button, &CNewFile::ButtonClick, this)) {
                return e;
            }
            continue;
        }
        if (const error e = PanelHighlight::GiveTimeStep(button)) {
            return e;
        }
        switch (id) {
        case kTracingButtonID:
            button->SetHeartbeat(&CNewFile::BigButtonHeart, this);
            button->SetButtonDownL(&CNewFile::TraceButtonClick, this);
            break;
        default:
            button->SetHeartbeat(&CNewFile::BigButtonHeart, this);
            button->SetButtonDownL(&CNewFile::BigButtonClick, this);
            // Either side of the centre, 20 apart; moving only marks areas.
            (void)button->SetXPos(id == kSizeToTracingID ? halfWidth - button->Width() - kGap
                                                         : halfWidth + kGap,
                                  0);
            break;
        }
    }
    return eNoError;
}

error CNewFile::SetupField(uint32_t id, int32_t value, CTxEdWidget*& field) {
    field = dynamic_cast<CTxEdWidget*>(m_pRoot->FindByID(id));
    if (!field) {
        return eResourceNotFound;
    }
    field->SetNumeric(1, 0);
    field->m_nMaxLength = kFieldLength;
    field->SetKeyDown(&CNewFile::TextEditKey, this);
    // The window's sides fit the field; one that did not leaves it empty,
    // which refuses to create until the painter types a size.
    (void)field->SetText(Decimal(value), 1, 0);
    return eNoError;
}

error CNewFile::PlaceSizeLabel(uint32_t id, CTxEdWidget* field, int32_t value) {
    auto* label = dynamic_cast<CTxWidget*>(m_pRoot->FindByID(id));
    if (!label || !field->Parent()) {
        return eResourceNotFound;
    }
    gCPoint corner(field->Rect().right, field->Rect().top);
    field->Parent()->LocalToParent(corner);
    (void)label->SetXPos(corner.x + kGap, 0); // only marks areas
    gCString text = InterfaceText(kWindowSizeText);
    if (const error e = text.AppendString(Decimal(value))) {
        return e;
    }
    return label->SetText(text, 1, 0);
}

error CNewFile::SetupPapers() {
    for (int32_t i = 0; i < kPaperCount; ++i) {
        CWidget* paper = m_pRoot->FindByID(kFirstPaperID + uint32_t(i));
        if (!paper) {
            return eResourceNotFound;
        }
        if (const error e = PaperBox::SetupOption(paper, i == 0, &CNewFile::DentClick, this)) {
            return e;
        }
    }
    return eNoError;
}

error CNewFile::BuildShown() {
    const int32_t W = m_pRoot->Width();
    const int32_t H = m_pRoot->Height();
    if (const error e = HookButtons()) {
        return e;
    }
    CWidget* holder = m_pRoot->FindByID(kColourHolderID);
    m_pColour = holder ? dynamic_cast<CCoWidget*>(holder->Child(0)) : nullptr;
    if (!m_pColour) {
        return eResourceNotFound;
    }
    (void)m_pColour->SetClientColour(kDefaultColour, 0); // only marks areas
    m_pColour->SetButtonDownL(ColourClick, this);
    if (const error e = m_pBackdrop->DoModal(m_pRoot)) {
        return e;
    }
    m_pRoot->SetKeyDown(&CNewFile::RootKey, this);
    if (const error e = SetupField(kWidthFieldID, W, m_pWidthEdit)) {
        return e;
    }
    (void)m_pWidthEdit->SetFocus(0); // only marks areas
    if (const error e = SetupField(kHeightFieldID, H, m_pHeightEdit)) {
        return e;
    }
    if (const error e = PlaceSizeLabel(kWidthLabelID, m_pWidthEdit, W)) {
        return e;
    }
    if (const error e = PlaceSizeLabel(kHeightLabelID, m_pHeightEdit, H)) {
        return e;
    }
    CWidget* tracing = m_pRoot->FindByID(kTracingButtonID);
    CWidget* name = m_pRoot->FindByID(kTracingNameID);
    if (!tracing || !name) {
        return eResourceNotFound;
    }
    (void)name->SetXPos(tracing->Rect().right + kGap, 0); // only marks areas
    if (const error e = UpdateTraceIndicators(0)) {
        return e;
    }
    return SetupPapers();
}

void CNewFile::RemoveTree() {
    // A child in the tree can always be removed.
    (void)ShownTree::Remove(m_pBackdrop, m_pRoot);
    ForgetWidgets();
}

void CNewFile::ForgetWidgets() {
    m_pRoot = nullptr;
    m_pWidthEdit = m_pHeightEdit = nullptr;
    m_pColour = nullptr;
}

void CNewFile::ForgetTracing() {
    m_pTracingRef.reset();
    m_nTracingWidth = m_nTracingHeight = -1;
}

int32_t CNewFile::ChosenPaper() const {
    const int32_t chosen = PaperBox::ChosenIndex(m_pRoot, kFirstPaperID, kPaperCount);
    return chosen >= 0 && chosen < kPaperCount ? chosen : 0;
}

error CNewFile::Hide(int32_t confirm, int32_t redraw) {
    if (!m_pRoot || !m_pBackdrop) {
        return eNoError;
    }
    CProjectInfo info;
    if (confirm) {
        if (!m_pWidthEdit || !m_pHeightEdit || !ReadSide(m_pWidthEdit, info.m_nWidth) ||
            !ReadSide(m_pHeightEdit, info.m_nHeight)) {
            return eBadParameter; // the panel stays as it was
        }
        info.m_nCanvasSetting = m_pColour ? uint32_t(m_pColour->GetClientColour())
                                          : kDefaultColour;
        if (m_pTracingRef) {
            info.m_TracingPath = m_pTracingRef->FileReference();
        }
        info.m_nPaperTexture = uint32_t(ChosenPaper());
        info.m_Name = InterfaceText(kNewPaintingNameText);
    }
    if (const error e = ShownTree::Remove(m_pBackdrop, m_pRoot)) {
        return e;
    }
    ForgetWidgets();
    if (confirm) {
        const int32_t prevented = m_pBackdrop->RedrawPrevented();
        m_pBackdrop->SetRedrawPrevented(1);
        const int32_t sent = SetBackboneData(eCmdNewProject, this, ChannelValueOf(&info));
        if (CWindowBase::m_pThis) {
            m_pBackdrop->SetRedrawPrevented(prevented);
        }
        if (sent) {
            return error(sent);
        }
    } else if (m_pBackdrop->RestoreModified()) {
        int32_t modified = m_pBackdrop->PromptModified();
        if (const int32_t e = SetBackboneData(eCmdModified, this, ChannelValueOf(&modified))) {
            return error(e);
        }
    }
    m_pBackdrop->SetRestoreModified(0);
    PlaySound(kCloseSound);
    if (redraw) {
        // A failed redraw is shown by the backdrop and kept dirty.
        (void)m_pBackdrop->PassRedraw();
    }
    return eNoError;
}

error CNewFile::UpdateTraceIndicators(int32_t redraw) {
    CWidget* button = m_pRoot ? m_pRoot->FindByID(kTracingButtonID) : nullptr;
    auto* caption = button ? dynamic_cast<CTxWidget*>(button->Child(0)) : nullptr;
    CWidget* sizeButton = m_pRoot ? m_pRoot->FindByID(kSizeToTracingID) : nullptr;
    auto* name = m_pRoot ? dynamic_cast<CTxWidget*>(m_pRoot->FindByID(kTracingNameID)) : nullptr;
    if (!caption || !sizeButton || !name) {
        return eResourceNotFound;
    }
    const bool chosen = m_pTracingRef != nullptr;
    // The list's entries and the opacities are the tree's own: setting
    // them only marks areas for the redraw below.
    (void)caption->SetText(chosen ? 1 : 0, 1, 0);
    sizeButton->SetActive(chosen ? 1 : 0);
    (void)sizeButton->SetOpacity(chosen ? 255 : 40, 0);
    gCString text;
    if (chosen) {
        text = m_pTracingRef->FileName();
        (void)text.AppendString(m_pTracingRef->TypeString()); // the name alone without memory
    } else {
        text = InterfaceText(kNoTracingText);
    }
    (void)name->SetText(text, 1, 0);
    (void)name->SetOpacity(chosen ? 160 : 80, 0);
    if (redraw) {
        // A failed redraw is shown by the backdrop and kept dirty.
        (void)m_pRoot->PassRedraw();
    }
    return eNoError;
}

error CNewFile::PreloadTracingPaper() {
    gCFTypeList types;
    if (const error e = types.SetDefaultList(eImageFilesFlag)) {
        return e;
    }
    if (const error e = types.AddListType({eAllImageFiles, eLastTypeIndex})) {
        return e;
    }
    (void)types.SetDefaultEntry(eAllImageFiles); // an entry of the list just made
    gCFRef chosen;
    const error picked = gCFileIO::InitLoadFRef(chosen, &types);
    m_pBackdrop->RefreshTabletServices();
    if (picked == eHandled) {
        return eNoError;
    }
    if (picked) {
        return picked;
    }
    // The picture is read before anything changes: a file that is no
    // picture leaves the earlier choice, its size and the indicators.
    CImage image;
    if (const error e = gCImageIO::ReadImage(chosen, image)) {
        std::string detail = gStringToUtf8(InterfaceText(kTracingNotLoadedText));
        detail.push_back('\n');
        detail.append(chosen.PosixPath());
        (void)ReportError(e, detail.c_str()); // shown once; answered
        return eNoError;
    }
    auto ref = std::unique_ptr<gCFRef>(new (std::nothrow) gCFRef(chosen));
    if (!ref) {
        return eCreateFailed;
    }
    m_pTracingRef = std::move(ref);
    m_nTracingWidth = image.GetWidth();
    m_nTracingHeight = image.GetHeight();
    return UpdateTraceIndicators(1);
}

void CNewFile::SetFields(int32_t width, int32_t height) {
    // Sizes the fields cannot hold leave them as they were.
    if (m_pWidthEdit) {
        (void)m_pWidthEdit->SetText(Decimal(width), 1, 0);
    }
    if (m_pHeightEdit) {
        (void)m_pHeightEdit->SetText(Decimal(height), 1, 1);
    }
}

error CNewFile::SizeToTracingPaper() {
    if (m_nTracingWidth < 0 && m_nTracingHeight < 0) {
        return eNoError;
    }
    const gCPoint fitted = FittedSize(m_nTracingWidth, m_nTracingHeight);
    SetFields(fitted.x, fitted.y);
    return eNoError;
}

error CNewFile::ButtonClick(void* user, CWidget* widget, CWidget*& target, gCPoint&) {
    auto* panel = static_cast<CNewFile*>(user);
    target = widget;
    if (!PressTracking::ReleasedOn(panel->m_pBackdrop, widget)) {
        return eNoError;
    }
    panel->PlaySound(kClickSound);
    return panel->Hide(uint32_t(widget->GetResID()) == kCreateID ? 1 : 0, 1);
}

error CNewFile::BigButtonClick(void* user, CWidget* widget, CWidget*& target, gCPoint&) {
    auto* panel = static_cast<CNewFile*>(user);
    target = widget;
    if (!PressTracking::ReleasedOn(panel->m_pBackdrop, widget)) {
        return eNoError;
    }
    panel->PlaySound(kClickSound);
    if (uint32_t(widget->GetResID()) == kWindowSizeID) {
        panel->SetFields(panel->m_pRoot->Width(), panel->m_pRoot->Height());
        return eNoError;
    }
    return panel->SizeToTracingPaper();
}

error CNewFile::TraceButtonClick(void* user, CWidget* widget, CWidget*& target, gCPoint&) {
    auto* panel = static_cast<CNewFile*>(user);
    target = widget;
    if (!PressTracking::ReleasedOn(panel->m_pBackdrop, widget)) {
        return eNoError;
    }
    panel->PlaySound(kClickSound);
    if (panel->m_pTracingRef) {
        panel->ForgetTracing();
        return panel->UpdateTraceIndicators(1);
    }
    return panel->PreloadTracingPaper();
}

error CNewFile::DentClick(void* user, CWidget* widget, CWidget*& target, gCPoint&) {
    auto* panel = static_cast<CNewFile*>(user);
    target = widget;
    if (!PressTracking::ReleasedOn(panel->m_pBackdrop, widget)) {
        return eNoError;
    }
    panel->PlaySound(kClickSound);
    (void)PaperBox::Choose(panel->m_pRoot, kFirstPaperID, kPaperCount, widget);
    return eNoError;
}

error CNewFile::RootKey(void* user, CWidget* widget, CWidget*& target, uint32_t key) {
    auto* panel = static_cast<CNewFile*>(user);
    target = widget;
    if (key == kKeyCodeReturn) {
        // Sizes that are no numbers keep the panel open; nothing to show.
        (void)panel->Hide(1, 1);
    } else if (key == kKeyCodeEscape) {
        (void)panel->Hide(0, 1);
    }
    return eNoError;
}

error CNewFile::TextEditKey(void* user, CWidget* widget, CWidget*& target, uint32_t key) {
    auto* panel = static_cast<CNewFile*>(user);
    auto* field = dynamic_cast<CTxEdWidget*>(widget);
    if (!field) {
        return eNoError;
    }
    if (key == kKeyCodeReturn || key == kKeyCodeEscape) {
        target = field;
        (void)panel->m_pRoot->SetFocus(0); // only marks areas
    } else if (key == kKeyCodeTab) {
        target = field;
        CTxEdWidget* other = field == panel->m_pWidthEdit ? panel->m_pHeightEdit
                                                          : panel->m_pWidthEdit;
        if (other) {
            (void)other->SetFocus(0);
        }
    }
    return field->KeyDown(target, key);
}

error CNewFile::BigButtonHeart(void*, CWidget* widget) {
    return PanelHighlight::Beat(PanelHighlight::kBigButton, widget);
}
