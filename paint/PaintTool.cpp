#include "paint/PaintTool.h"

#include <cmath>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "paint/Backbone.h"
#include "paint/ChannelValue.h"

namespace {

constexpr float kDefaultLinearSize = 0.3f;

// The address of the image's first pixel, or null for an image without
// pixels; 5 when it has pixels that cannot be locked.
error FirstPixel(CImage* image, CPixel*& first) {
    first = nullptr;
    if (!image || !image->IsValid()) {
        return eNoError;
    }
    CImNav view(image);
    if (!view.IsLocked() || !view.GetData()) {
        return eOutOfMemory;
    }
    first = view.GetData();
    return eNoError;
}

} // namespace

CPaintTool::CPaintTool() {
    // A name that cannot be made leaves it empty until SetupTool names the
    // tool.
    (void)m_Name.CopyString("Paint Tool");
}

int32_t CPaintTool::ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) {
    const bool pointed = id == eCmdToolSize || id == eCmdToolLinearSize || id == eCmdToolStyle;
    if (pointed && value == 0) {
        return eBadParameter; // these carry the address of their value
    }
    switch (id) {
    case eCmdToolSize:
        if (set) {
            return SetToolSize(*ChannelPointer<int32_t>(value));
        }
        *ChannelPointer<int32_t>(value) = ToolSize();
        return 0;
    case eCmdSizeDown:
        return ModSetting(-1);
    case eCmdSizeUp:
        return ModSetting(1);
    case eCmdToolLinearSize:
        if (set) {
            SetToolLinearSize(*ChannelPointer<float>(value));
        } else {
            *ChannelPointer<float>(value) = ToolLinearSize();
        }
        return 0;
    case eCmdToolStyle:
        if (set) {
            SetToolStyle(*ChannelPointer<int32_t>(value));
        } else {
            *ChannelPointer<int32_t>(value) = ToolStyle();
        }
        return 0;
    default:
        return ProcessLocalData(id, sender, value, set);
    }
}

error CPaintTool::SetSources(CImage* l0, CImage* l1, CImage* l2, CImage* l3) {
    CPixel* first = nullptr;
    error e = FirstPixel(l0, first);
    if (e != eNoError) {
        return e;
    }
    if (first) {
        m_pLayer0 = first;
        m_nLayerWidth = l0->GetWidth();
        m_nLayerHeight = l0->GetHeight();
    }
    CPixel** targets[] = {&m_pLayer1, &m_pLayer2};
    CImage* images[] = {l1, l2};
    for (int i = 0; i < 2; ++i) {
        if ((e = FirstPixel(images[i], first)) != eNoError) {
            return e;
        }
        if (first) {
            *targets[i] = first;
        }
    }
    // L3 unchecked: an image that cannot be locked leaves no address.
    if (FirstPixel(l3, first) == eNoError) {
        m_pLayer3 = first;
    } else {
        m_pLayer3 = nullptr;
    }
    return eNoError;
}

void CPaintTool::SetToolLinearSize(float size) {
    if (!std::isfinite(size)) {
        m_rLinearSize = kDefaultLinearSize;
        return;
    }
    m_rLinearSize = size < 0.0f ? 0.0f : (size > 1.0f ? 1.0f : size);
}

CPixel CPaintTool::CurrentColour() {
    if (CSMKBackbone* backbone = CSMKBackbone::Registered()) {
        return backbone->CurrentColour();
    }
    return 0xFF000000u;
}

void CPaintTool::BeginStroke() {
    if (m_StrokeTraits.strokePressureCap > 0.0f) {
        RaiseStrokeCap();
        SetProfileFlip(0);
    }
}

void CPaintTool::RaiseStrokeCap() {
    if (m_StrokeTraits.strokePressureCap > 0.0f) {
        SetMaxPencilPressure(m_StrokeTraits.strokePressureCap);
    }
}

void CPaintTool::EndStroke() {
    if (m_StrokeTraits.strokePressureCap > 0.0f) {
        SetMaxPencilPressure(1.0f);
    }
}

void CPaintTool::ClearSources() {
    m_pLayer0 = m_pLayer1 = m_pLayer2 = nullptr;
    m_nLayerWidth = m_nLayerHeight = 0;
}
