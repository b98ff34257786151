// The inspector panel: its construction, the layout of its children and
// the backdrop's hook.

#include "text/DebugInfoWidget.h"

#include <memory>
#include <new>

#include "text/TableWidget.h"
#include "text/TxEdWidget.h"
#include "text/TxWidget.h"
#include "text/detail/DebugInfoParts.h"
#include "widgets/Backdrop.h"
#include "widgets/CoWidget.h"
#include "widgets/effects/EffectBorder.h"
#include "widgets/effects/EffectCutout.h"
#include "widgets/effects/EffectShadow.h"

namespace {

constexpr float kTextPoints = 12.0f;
constexpr float kTitlePoints = 18.0f;
constexpr int32_t kLineHeight = 15;
constexpr int32_t kListTop = 290;

// The division of the derived colours, taken as floor.
int32_t FloorDiv(int32_t a, int32_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Each channel but alpha through f.
template <typename F> CPixel EachChannel(CPixel colour, F f) {
    const uint32_t c = uint32_t(colour);
    uint32_t out = c & 0xFF000000u;
    for (int32_t shift : {16, 8, 0}) {
        out |= uint32_t(f(int32_t((c >> shift) & 0xFFu))) << shift;
    }
    return CPixel(out);
}

// An effect into place 0 under or over the widget; a refused effect is
// deleted here, one the widget took stays its.
error Attach(CWidget& widget, std::unique_ptr<CWidgetEffectBase> effect, bool over,
             int32_t redraw) {
    if (!effect) {
        return eOutOfMemory;
    }
    CWidgetEffectBase* raw = effect.get();
    const error e = over ? widget.AddEffectO(raw, 0, redraw) : widget.AddEffectU(raw, 0, redraw);
    if (raw->Owner() == &widget) {
        (void)effect.release(); // the widget's now
    }
    return e;
}

// A cut-out of opacity 180 over the widget.
error AddCutout(CWidget& widget, float radius) {
    std::unique_ptr<CWidgetEffectCutout> cutout(new (std::nothrow) CWidgetEffectCutout());
    if (cutout) {
        (void)cutout->SetRadius(radius, 0); // a finite radius is always taken
        (void)cutout->Opacity(180, 0);      // nothing is on screen yet
    }
    return Attach(widget, std::move(cutout), true, 0);
}

// The same with opaque blit on while the cut-out takes the widget's shape.
error AddCutoutOpaque(CWidget& widget, float radius) {
    widget.SetOpaqueBlit(1);
    const error e = AddCutout(widget, radius);
    widget.SetOpaqueBlit(0);
    return e;
}

// A shadow of that radius, offset and opacity under the widget.
error AddShadow(CWidget& widget, const float* radius, gCPoint offset, int32_t opacity,
                int32_t redraw) {
    std::unique_ptr<CWidgetEffectShadow> shadow(new (std::nothrow) CWidgetEffectShadow());
    if (shadow) {
        if (radius) {
            (void)shadow->SetRadius(*radius, 0); // not drawn yet
        }
        (void)shadow->ShadowOffset(offset, 0);
        (void)shadow->Opacity(opacity, 0);
    }
    return Attach(widget, std::move(shadow), false, redraw);
}


} // namespace

// ---------------------------------------------------------------------------
// Shared with the other parts of the inspector

CTxWidget* NewInspectorText(float points) {
    std::unique_ptr<CTxWidget> text(new (std::nothrow) CTxWidget());
    if (!text) {
        return nullptr;
    }
    gCString family;
    if (family.CopyString(kInspectorFont) != eNoError ||
        text->SetFontName(family, 0, 0) != eNoError ||
        text->SetFontPointHeight(points, 0, 0) != eNoError ||
        text->SetVisibility(1, 0) != eNoError) {
        return nullptr;
    }
    return text.release();
}

// ---------------------------------------------------------------------------
// Construction

CDebugInfoWidget::CDebugInfoWidget() {
    m_nEventMask = 0xFFFFFFFFu;
    SetResID(int32_t(kDebugInfoWidgetID));
    SetResName(InspectorUnits(u"CBackdrop Info Widget for Debugging."));
    // The panel is not in a tree yet: nothing can fail to be shown.
    (void)SetRadius(0.0f, 1, 1);
    (void)SetBorderColour(CPixel(0xFF000000u), 1, 1);
    (void)SetBorderWidth(2.5f, 1, 1);
    // A part that cannot be made is left out; the panel works without it.
    if (std::unique_ptr<CTxWidget> title{NewInspectorText(kTitlePoints)}) {
        (void)SetTitleBarHeight(25.0f, 1, 1);
        (void)title->SetClientColour(CPixel(0xFFE0E0FFu), 0);
        (void)title->SetText(InspectorUnits(u"Debugging Information for CWidgets"), 1, 0);
        (void)title->SetYPos(1, 0);
        title->Positioner()->m_fXCentre = 1;
        if (AddChild(title.get(), 1) == eNoError) {
            (void)title.release(); // the panel's now
        }
    }
    (void)AddShadow(*this, nullptr, gCPoint(5, 5), 100, 1);
}

CDebugInfoWidget::~CDebugInfoWidget() = default;

CPixel CDebugInfoWidget::Lightened(CPixel colour) {
    return EachChannel(colour, [](int32_t v) { return v + FloorDiv((256 - v) * 80, 256); });
}

CPixel CDebugInfoWidget::Darkened(CPixel colour) {
    return EachChannel(colour, [](int32_t v) { return v + FloorDiv((1 - v) * 80, 256); });
}

// ---------------------------------------------------------------------------
// Layout

error CDebugInfoWidget::Text(uint32_t id, const gCString& label, int32_t labelX, int32_t valueX,
                             int32_t y, int32_t valueRight) {
    std::unique_ptr<CTxWidget> name(NewInspectorText(kTextPoints));
    if (!name) {
        return eOutOfMemory;
    }
    if (error e = name->SetText(label, 1, 1)) {
        return e;
    }
    if (error e = name->SetPosition(labelX, y, 1)) {
        return e;
    }
    if (AddChild(name.get(), 0) != eNoError) {
        return eOutOfMemory;
    }
    (void)name.release(); // the panel's now
    std::unique_ptr<CTxWidget> value(NewInspectorText(kTextPoints));
    if (!value) {
        return eOutOfMemory;
    }
    value->SetAutoSizeImage(0);
    value->SetResID(int32_t(id));
    if (error e = value->SetPosition(valueX, y, 1)) {
        return e;
    }
    if (error e = value->SetSize(valueRight - valueX, kLineHeight, 1)) {
        return e;
    }
    if (AddChild(value.get(), 0) != eNoError) {
        return eOutOfMemory;
    }
    CTxWidget* field = value.release(); // the panel's now
    return AddCutoutOpaque(*field, 1.7f);
}

error CDebugInfoWidget::CreateButton(uint32_t id, const gCString& text, int32_t x, int32_t y,
                                     int32_t width, int32_t height) {
    std::unique_ptr<CCoWidget> button(new (std::nothrow) CCoWidget());
    if (!button) {
        return eOutOfMemory;
    }
    button->SetOpaqueBlit(1);
    button->SetResID(int32_t(id));
    if (error e = button->SetVisibility(1, 0)) {
        return e;
    }
    if (error e = button->SetPosition(x, y, 1)) {
        return e;
    }
    if (error e = button->SetSize(width, height, 1)) {
        return e;
    }
    button->EnableEvent(CWidget::eLButtonEvent, 0);
    button->SetButtonDownL(&ButtonProc, this);
    if (error e = button->SetClientColour(Darkened(GetClientColour()), 0)) {
        return e;
    }
    if (error e = AddChild(button.get(), 0)) {
        return e;
    }
    CCoWidget* added = button.release(); // the panel's now
    std::unique_ptr<CTxWidget> caption(NewInspectorText(kTextPoints));
    if (!caption) {
        return eOutOfMemory;
    }
    (void)caption->SetClientColour(CPixel(0xFFFFFFFFu), 0); // not drawn yet
    caption->SetActive(0); // clicks fall through to the button
    if (error e = caption->SetText(text, 1, 1)) {
        return e;
    }
    if (error e = caption->SetYPos(0, 0)) {
        return e;
    }
    caption->Positioner()->m_fXCentre = 1;
    if (added->AddChild(caption.get(), 0) != eNoError) {
        return eOutOfMemory;
    }
    (void)caption.release(); // the button's now
    if (error e = Attach(*added, std::unique_ptr<CWidgetEffectBase>(
                                     new (std::nothrow) CWidgetEffectBorder()),
                         true, 0)) {
        return e;
    }
    const float radius = 2.0f;
    return AddShadow(*added, &radius, gCPoint(2, 2), 160, 0);
}

error CDebugInfoWidget::SetupDebugInfoBack(CWidget* widget) {
    const int32_t w = Width();
    const int32_t h = Height();
    const int32_t half = w / 2;
    const int32_t third = w / 3;

    // 1. The find label and 2. the find field.
    {
        std::unique_ptr<CTxWidget> label(NewInspectorText(kTextPoints));
        if (!label) {
            return eOutOfMemory;
        }
        if (error e = label->SetText(InspectorUnits(u"Find Widget:"), 1, 1)) {
            return e;
        }
        if (error e = label->SetPosition(10, 30, 1)) {
            return e;
        }
        if (AddChild(label.get(), 0) != eNoError) {
            return eOutOfMemory;
        }
        (void)label.release(); // the panel's now
    }
    {
        std::unique_ptr<CTxEdWidget> find(new (std::nothrow) CTxEdWidget());
        gCString family;
        if (!find || family.CopyString(kInspectorFont) != eNoError) {
            return eOutOfMemory;
        }
        find->SetResID(int32_t(kFindFieldID));
        if (error e = find->SetVisibility(1, 0)) {
            return e;
        }
        if (error e = find->SetFontName(family, 0, 0)) {
            return e;
        }
        if (error e = find->SetFontPointHeight(kTextPoints, 0, 0)) {
            return e;
        }
        if (error e = find->SetClientColour(Lightened(GetClientColour()), 0)) {
            return e;
        }
        if (error e = find->SetPosition(100, 30, 1)) {
            return e;
        }
        if (error e = find->SetSize(w - 310, kLineHeight, 1)) {
            return e;
        }
        find->SetOpaqueBlit(1);
        if (AddChild(find.get(), 0) != eNoError) {
            return eOutOfMemory;
        }
        if (error e = AddCutout(*find.release(), 1.7f)) { // the field is the panel's now
            return e;
        }
    }
    // 3. The buttons.
    if (error e = CreateButton(kByIDButtonID, InspectorUnits(u"By ID"), w - 200, 30, 50, 15)) {
        return e;
    }
    if (error e = CreateButton(kByNameButtonID, InspectorUnits(u"Name"), w - 140, 30, 50, 15)) {
        return e;
    }
    if (error e = CreateButton(kAssertButtonID, InspectorUnits(u"Assert"), w - 60, 30, 50, 15)) {
        return e;
    }
    // 4. The label and value pairs.
    struct SField {
        uint32_t id;
        const char16_t* label;
        int32_t labelX, valueX, y, valueRight;
    };
    const int32_t col2 = third + 20;
    const int32_t col3 = 2 * third + 20;
    const SField fields[] = {
        {FourCC("name"), u"Resource Name:", 10, 130, 55, w - 10},
        {FourCC("rsid"), u"Resource ID:", 10, 130, 72, half + 60},
        {FourCC("wgty"), u"Widget Type:", half + 120, w - 84, 72, w - 10},
        {FourCC("evky"), u"E Key:", 10, third - 94, 97, third - 20},
        {FourCC("evtm"), u"E Timer:", col2, 2 * third - 94, 97, 2 * third - 20},
        {FourCC("evhb"), u"E Heart:", col3, w - 84, 97, w - 10},
        {FourCC("evbl"), u"E L Button:", 10, third - 94, 114, third - 20},
        {FourCC("evbm"), u"E M Button:", col2, 2 * third - 94, 114, 2 * third - 20},
        {FourCC("evbr"), u"E R Button:", col3, w - 84, 114, w - 10},
        {FourCC("evmm"), u"E Mouse Move:", 10, third - 94, 131, third - 20},
        {FourCC("evms"), u"E Message:", col2, 2 * third - 94, 131, 2 * third - 20},
        {FourCC("rend"), u"RenderProc:", col3, w - 84, 131, w - 10},
        {FourCC("flvs"), u"Visible:", 10, third - 94, 156, third - 20},
        {FourCC("flip"), u"Stay In Parent:", col2, 2 * third - 94, 156, 2 * third - 20},
        {FourCC("flgf"), u"Can Get Focus:", col3, w - 84, 156, w - 10},
        {FourCC("flac"), u"Active:", 10, third - 94, 173, third - 20},
        {FourCC("flpo"), u"Prop Opacity:", col2, 2 * third - 94, 173, 2 * third - 20},
        {FourCC("flob"), u"Opaque Blit:", col3, w - 84, 173, w - 10},
        {FourCC("inop"), u"Opacity:", 10, third - 94, 190, third - 20},
        {FourCC("inot"), u"Opac Thresh:", col2, 2 * third - 94, 190, 2 * third - 20},
        {FourCC("crpr"), u"Client Area:", 10, 90, 215, half - 20},
        {FourCC("crbk"), u"Area Backdrop:", half + 10, half + 100, 215, w - 10},
    };
    for (const SField& f : fields) {
        if (error e = Text(f.id, InspectorUnits(f.label), f.labelX, f.valueX, f.y, f.valueRight)) {
            return e;
        }
    }
    // 5. The warning text.
    {
        std::unique_ptr<CTxWidget> note(NewInspectorText(kTextPoints));
        if (!note) {
            return eOutOfMemory;
        }
        note->SetResID(int32_t(kNoteID));
        (void)note->SetClientColour(CPixel(0xFFFF0000u), 0); // not drawn yet
        if (error e = note->SetWordWrap(1, 1, 1)) {
            return e;
        }
        note->SetAutoSizeImage(0);
        if (error e = note->SetPosition(10, 240, 1)) {
            return e;
        }
        if (error e = note->SetSize(w - 20, 45, 1)) {
            return e;
        }
        if (AddChild(note.get(), 0) != eNoError) {
            return eOutOfMemory;
        }
        if (error e = AddCutoutOpaque(*note.release(), 1.7f)) { // the panel's now
            return e;
        }
    }
    (void)PassRedraw(); // a failed redraw was shown by the redraw
    // 6. The list area, 7. the scroll track and 8. its grip.
    const int32_t listHeight = h - 300;
    std::unique_ptr<CCoWidget> track(new (std::nothrow) CCoWidget());
    if (!track) {
        return eOutOfMemory;
    }
    track->SetResID(int32_t(kTrackID));
    if (error e = track->SetSize(16, listHeight, 1)) {
        return e;
    }
    if (error e = track->SetPosition(w - 26, kListTop, 1)) {
        return e;
    }
    if (error e = track->SetVisibility(1, 0)) {
        return e;
    }
    if (error e = track->SetClientColour(CPixel(0x50606080u), 0)) {
        return e;
    }
    if (error e = AddCutout(*track, 2.0f)) {
        return e;
    }
    if (error e = AddChild(track.get(), 0)) {
        return e;
    }
    CCoWidget* scroll = track.release(); // the panel's now
    scroll->EnableEvent(0x178u, 0);
    std::unique_ptr<CCoWidget> owned(new (std::nothrow) CCoWidget());
    if (!owned) {
        return eOutOfMemory;
    }
    owned->SetResID(int32_t(kGripID));
    if (error e = owned->SetSize(16, listHeight, 1)) {
        return e;
    }
    if (error e = owned->SetPosition(0, 0, 1)) {
        return e;
    }
    if (error e = owned->SetVisibility(1, 0)) {
        return e;
    }
    if (error e = owned->SetClientColour(CPixel(0x706090FFu), 0)) {
        return e;
    }
    if (error e = scroll->AddChild(owned.get(), 0)) {
        return e;
    }
    CCoWidget* grip = owned.release(); // the track's now
    grip->SetStayInParent(1);
    // 9. The list.
    std::unique_ptr<CTableWidget> list(new (std::nothrow) CTableWidget());
    gCString family;
    if (!list || family.CopyString(kInspectorFont) != eNoError) {
        return eOutOfMemory;
    }
    list->SetResID(int32_t(kListID));
    for (int32_t selected : {0, 1}) {
        CTextRenderer attributes;
        selected ? list->GetSelectedTextAttributes(attributes) : list->GetTextAttributes(attributes);
        attributes.m_sFontName = family;
        attributes.m_rPointHeight = kTextPoints;
        attributes.m_nPixelHeight = 0;
        if (error e = selected ? list->SetSelectedTextAttributes(attributes, 0)
                               : list->SetTextAttributes(attributes, 0)) {
            return e;
        }
    }
    if (error e = list->SetClientColour(CPixel(0xFF9898B8u), 0)) {
        return e;
    }
    if (error e = list->SetAltRowColour(CPixel(0xFF9898C0u), 0)) {
        return e;
    }
    if (error e = list->SetUseTextShadow(0, 0)) {
        return e;
    }
    list->SetAutoSelectRow(1);
    if (error e = list->SetMultiSelect(0, 0)) {
        return e;
    }
    list->EnableEvent(0xFFFFFFFFu, 0);
    list->SetOpaqueBlit(1);
    if (error e = AddCutout(*list, 2.0f)) {
        return e;
    }
    if (error e = AddChild(list.get(), 0)) {
        return e;
    }
    CTableWidget* table = list.release(); // the panel's now
    table->m_pMessageTarget = this;
    if (error e = table->SetSize(w - 38, listHeight, 0)) {
        return e;
    }
    if (error e = table->SetPosition(10, kListTop, 0)) {
        return e;
    }
    if (error e = table->SetVisibility(1, 0)) {
        return e;
    }
    // 10. The grip drags the list.
    grip->SetButtonDownL(&ScrollGrip, table);
    // 11. The list and the fields.
    if (error e = PopulateTable(table, widget)) {
        return e;
    }
    (void)PassRedraw(); // a failed redraw was shown by the redraw
    return PopulateInfo(widget);
}

// ---------------------------------------------------------------------------
// The backdrop's hook

namespace {

CRoRectWidget* CreateInspector() {
    return new (std::nothrow) CDebugInfoWidget();
}

error SetupInspector(CRoRectWidget* inspector, CWidget* shown) {
    auto* panel = dynamic_cast<CDebugInfoWidget*>(inspector);
    return panel ? panel->SetupDebugInfoBack(shown) : eBadParameter;
}

void InspectorSubtreeLeaving(CWidget* inspector, CWidget* leaving) {
    if (auto* panel = dynamic_cast<CDebugInfoWidget*>(inspector)) {
        panel->ForgetSubtree(leaving);
    }
}

const CBackdrop::SInspectorHook kHook{&CreateInspector, &SetupInspector,
                                      &InspectorSubtreeLeaving};

} // namespace

void RegisterDebugInfoWidget() {
    CBackdrop::SetInspectorHook(&kHook);
}
