#include "widgets/WidgetEffectConstructor.h"

#include <cmath>
#include <memory>
#include <new>

#include "FileIO/FileTypes.h"
#include "FileIO/gCMemFile.h"
#include "foundation/ErrorReport.h"
#include "widgets/Widget.h"
#include "widgets/effects/EffectBorder.h"
#include "widgets/effects/EffectCutout.h"
#include "widgets/effects/EffectGlow.h"
#include "widgets/effects/EffectGradient.h"
#include "widgets/effects/EffectShadow.h"
#include "widgets/effects/EffectTexture.h"

namespace {

// Reads the fields of one chunk in order; the first failure is reported
// with the field's text and ends the reading.
class CFieldReader {
public:
    explicit CFieldReader(gCMemFile* data) : m_pData(data) {}

    bool Int(int32_t& value, const char* text) {
        return Check(m_pData->ReadInt32(value), text);
    }
    bool Real(float& value, const char* text) {
        return Check(m_pData->ReadReal(value), text);
    }
    // A real that must be finite to be used: otherwise the fallback.
    bool Finite(float& value, float fallback, const char* text) {
        if (!Real(value, text)) {
            return false;
        }
        value = std::isfinite(value) ? value : fallback;
        return true;
    }
    bool Failed() const { return m_fFailed; }

private:
    bool Check(error e, const char* text) {
        if (e != eNoError) {
            (void)ReportError(e, text); // shown; the chunk fails
            m_fFailed = true;
            return false;
        }
        return true;
    }

    gCMemFile* m_pData;
    bool m_fFailed = false;
};

// The place an effect goes to.
struct SPlace {
    int32_t layer = 0;
    int32_t overlay = 0;
};

// The colour's red, green and blue into the effect's colour; its alpha
// byte stays.
CPixel KeepAlpha(CPixel effect, int32_t colour) {
    return (uint32_t(effect) & 0xFF000000u) | (uint32_t(colour) & 0x00FFFFFFu);
}

// 'shad' and 'glow': the same fields, texts headed by the kind.
bool ReadShadow(CFieldReader& in, CWidgetEffectShadow& e, SPlace& place, bool glow) {
    const float fallback = glow ? CWidgetEffectGlow::kDefaultRadius
                                : CWidgetEffectShadow::kDefaultRadius;
    int32_t colour = 0;
    float radius = 0.0f;
    int32_t x = 0;
    int32_t y = 0;
    int32_t opacity = 0;
    int32_t clip = 0;
    if (!in.Int(place.layer, glow ? "Glow layer." : "Shadow layer.") ||
        !in.Int(colour, glow ? "Glow colour." : "Shadow colour.")) {
        return false;
    }
    (void)e.SetColour(KeepAlpha(e.Colour(), colour), 0); // detached: only stores
    if (!in.Finite(radius, fallback, glow ? "Glow Radius." : "Shadow Radius.")) {
        return false;
    }
    (void)e.SetRadius(radius, 0);
    if (!in.Int(x, glow ? "Glow XOff." : "Shadow XOff.") ||
        !in.Int(y, glow ? "Glow YOff." : "Shadow YOff.")) {
        return false;
    }
    (void)e.ShadowOffset(gCPoint(x, y), 0);
    if (!in.Int(opacity, glow ? "Glow Opacity." : "Shadow Opacity.")) {
        return false;
    }
    (void)e.Opacity(opacity, 0);
    if (!in.Int(clip, glow ? "Glow Clip to Widget." : "Shadow Clip to Widget.")) {
        return false;
    }
    if (clip >= 0 && clip <= 2) {
        (void)e.SetClipToWidget(clip == 1 ? 1 : 0, 0);
        (void)e.SetOutsideOnly(clip == 2 ? 1 : 0, 0);
    }
    return in.Int(place.overlay, glow ? "Glow Overlay." : "Shadow Overlay.");
}

bool ReadCutout(CFieldReader& in, CWidgetEffectCutout& e, SPlace& place) {
    int32_t colour = 0;
    float radius = 0.0f;
    int32_t x = 0;
    int32_t y = 0;
    int32_t opacity = 0;
    if (!in.Int(place.layer, "Cutout layer.") || !in.Int(colour, "Cutout colour.")) {
        return false;
    }
    (void)e.SetColour(KeepAlpha(e.Colour(), colour), 0);
    if (!in.Finite(radius, CWidgetEffectCutout::kDefaultRadius, "Cutout Radius.")) {
        return false;
    }
    (void)e.SetRadius(radius, 0);
    if (!in.Int(x, "Cutout XOff.") || !in.Int(y, "Cutout YOff.")) {
        return false;
    }
    (void)e.ShadowOffset(gCPoint(x, y), 0);
    if (!in.Int(opacity, "Cutout Opacity.")) {
        return false;
    }
    (void)e.Opacity(opacity, 0);
    return in.Int(place.overlay, "Cutout Overlay.");
}

// The line patterns of the edge styles 0 to 4; any other is solid.
uint32_t EdgePattern(int32_t style) {
    constexpr uint32_t kPatterns[] = {0xFFFFFFFFu, 0x55555555u, 0xCCCCCCCCu, 0xF0F0F0F0u,
                                      0xFCCCFCCCu};
    return style >= 0 && style <= 4 ? kPatterns[style] : 0xFFFFFFFFu;
}

bool ReadBorder(CFieldReader& in, CWidgetEffectBorder& e, SPlace& place) {
    struct SEdge {
        uint32_t bit;
        const char* text;
    };
    const SEdge colours[] = {{CWidgetEffectBorder::eTop, "Border top colour."},
                             {CWidgetEffectBorder::eLeft, "Border left colour."},
                             {CWidgetEffectBorder::eRight, "Border right colour."},
                             {CWidgetEffectBorder::eBottom, "Border bottom colour."}};
    const SEdge actives[] = {{CWidgetEffectBorder::eTop, "Border top edge active."},
                             {CWidgetEffectBorder::eLeft, "Border left edge active."},
                             {CWidgetEffectBorder::eRight, "Border right edge active."},
                             {CWidgetEffectBorder::eBottom, "Border bottom edge active."}};
    if (!in.Int(place.layer, "Border layer.")) {
        return false;
    }
    for (const SEdge& edge : colours) {
        int32_t colour = 0;
        if (!in.Int(colour, edge.text)) {
            return false;
        }
        (void)e.SetEdgeColour(edge.bit, CPixel(uint32_t(colour)), 0);
    }
    uint32_t active = 0;
    for (const SEdge& edge : actives) {
        int32_t on = 0;
        if (!in.Int(on, edge.text)) {
            return false;
        }
        active |= on == 1 ? edge.bit : 0;
    }
    int32_t style = 0;
    if (!in.Int(style, "Border edge style.")) {
        return false;
    }
    (void)e.SetEdgeStyle(active, EdgePattern(style), 0);
    float width = 0.0f;
    if (!in.Finite(width, 1.0f, "Border Width.")) {
        return false;
    }
    (void)e.SetBorderThickness(width, 0);
    int32_t opacity = 0;
    if (!in.Int(opacity, "Border Opacity.")) {
        return false;
    }
    (void)e.Opacity(opacity, 0);
    return in.Int(place.overlay, "Border Overlay.");
}

bool ReadGradient(CFieldReader& in, CWidgetEffectGradient& e, SPlace& place) {
    float angle = 0.0f;
    int32_t blend = 0;
    int32_t type = 0;
    float cx = 0.0f;
    float cy = 0.0f;
    int32_t count = 0;
    if (!in.Int(place.layer, "Gradient layer.") ||
        !in.Finite(angle, 0.0f, "Gradient Effect angle.") ||
        !in.Int(blend, "Gradient Effect blend.") || !in.Int(type, "Gradient Effect type.") ||
        !in.Finite(cx, 0.5f, "Gradient Effect centre x.") ||
        !in.Finite(cy, 0.5f, "Gradient Effect centre y.") ||
        !in.Int(count, "Gradient Effect Num Points.")) {
        return false;
    }
    (void)e.SetAngle(angle, 0);
    (void)e.SetBlendMode(blend, 0);
    (void)e.SetType(type, 0);
    (void)e.SetCentre(cx, cy, 0);
    // Each stop is read before the next: a short chunk ends at its read.
    for (int32_t i = 0; i < count; ++i) {
        int32_t colour = 0;
        float location = 0.0f;
        if (!in.Int(colour, "Gradient Effect Point colour.") ||
            !in.Real(location, "Gradient Effect Point loc.")) {
            return false;
        }
        // A stop the gradient has no place for is left out; the rest loads.
        const error added = e.AddStop(CPixel(uint32_t(colour)), location, 0);
        if (added != eNoError && added != eBadParameter) {
            (void)ReportError(added, "Gradient Effect Point loc."); // shown; fails
            return false;
        }
    }
    int32_t opacity = 0;
    if (!in.Int(opacity, "Gradient Opacity.")) {
        return false;
    }
    (void)e.Opacity(opacity, 0);
    return in.Int(place.overlay, "Gradient Overlay.");
}

// Makes the effect of the code, or reports why not.
CWidgetEffectBase* NewEffect(uint32_t code) {
    struct SKind {
        uint32_t code;
        const char* noMemory;
    };
    constexpr SKind kKinds[] = {
        {FourCC("shad"), "Widget shadow effect."}, {FourCC("glow"), "Widget Glow effect."},
        {FourCC("ctot"), "Widget cutout effect."}, {FourCC("brde"), "Widget border effect."},
        {FourCC("grdf"), "Widget gradient effect."}, {FourCC("txtr"), "Widget texture effect."},
    };
    for (const SKind& kind : kKinds) {
        if (kind.code != code) {
            continue;
        }
        CWidgetEffectBase* effect = nullptr;
        if (code == FourCC("shad")) {
            effect = new (std::nothrow) CWidgetEffectShadow();
        } else if (code == FourCC("glow")) {
            effect = new (std::nothrow) CWidgetEffectGlow();
        } else if (code == FourCC("ctot")) {
            effect = new (std::nothrow) CWidgetEffectCutout();
        } else if (code == FourCC("brde")) {
            effect = new (std::nothrow) CWidgetEffectBorder();
        } else if (code == FourCC("grdf")) {
            effect = new (std::nothrow) CWidgetEffectGradient();
        } else {
            effect = new (std::nothrow) CWidgetEffectTexture();
        }
        if (!effect) {
            (void)ReportError(eCreateFailed, kind.noMemory); // shown; null answers it
        }
        return effect;
    }
    (void)ReportError(eCreateFailed, "Unrecognised type in widget constructor.");
    return nullptr;
}

} // namespace

CWidgetEffectBase* CWidgetEffectConstructor::ConstructEffect(int32_t code, CWidget* widget,
                                                             gCMemFile* data) {
    std::unique_ptr<CWidgetEffectBase> effect(NewEffect(uint32_t(code)));
    if (!effect) {
        return nullptr;
    }
    SPlace place;
    if (data) {
        CFieldReader in(data);
        bool read = true;
        switch (uint32_t(code)) {
        case FourCC("shad"):
        case FourCC("glow"):
            read = ReadShadow(in, static_cast<CWidgetEffectShadow&>(*effect), place,
                              uint32_t(code) == FourCC("glow"));
            break;
        case FourCC("ctot"):
            read = ReadCutout(in, static_cast<CWidgetEffectCutout&>(*effect), place);
            break;
        case FourCC("brde"):
            read = ReadBorder(in, static_cast<CWidgetEffectBorder&>(*effect), place);
            break;
        case FourCC("grdf"):
            read = ReadGradient(in, static_cast<CWidgetEffectGradient&>(*effect), place);
            break;
        default: // 'txtr' has no fields
            break;
        }
        if (!read) {
            return nullptr;
        }
    }
    if (!widget) {
        return effect.release();
    }
    const bool over = place.overlay != 0;
    CWidgetEffectBase* raw = effect.release(); // the widget may take it now
    const error e = over ? widget->AddEffectO(raw, place.layer, 0)
                         : widget->AddEffectU(raw, place.layer, 0);
    if (e == eNoError) {
        return raw;
    }
    (void)ReportError(e, "Shadow add to parent failed."); // shown; null answers it
    // An add refused outright leaves the effect ours; one whose rebuild
    // failed has stored it, and the widget deletes it with its place.
    const bool held = over ? widget->EffectOver(place.layer) == raw
                           : widget->EffectUnder(place.layer) == raw;
    if (held) {
        if (over) {
            widget->DestroyEffectO(place.layer);
        } else {
            widget->DestroyEffectU(place.layer);
        }
    } else {
        delete raw;
    }
    return nullptr;
}
