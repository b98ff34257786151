#include "widgets/effects/EffectBorder.h"

#include <algorithm>

#include "imaging/ImNav.h"
#include "imaging/Image.h"
#include "widgets/Widget.h"
#include "widgets/detail/EffectMath.h"

using effectdetail::OnTarget;

namespace {

// The colour with its alpha weighted by alpha + 1 (0..256), over 256.
CPixel Weighted(CPixel colour, uint32_t alpha) {
    return CPixel::AtOpacity(colour, alpha + 1);
}

} // namespace

CWidgetEffectBorder::CWidgetEffectBorder() {
    (void)SetEdgeStyle(eAllEdges, 0xFFFFFFFFu, 0); // no owner yet: only stores
}

error CWidgetEffectBorder::Changed(int32_t redraw) {
    return m_pOwner ? m_pOwner->EffectChanged(this, redraw) : eNoError;
}

error CWidgetEffectBorder::WidgetChanged() {
    if (!m_pOwner || m_pOwner->Width() <= 0 || m_pOwner->Height() <= 0) {
        return eNoError;
    }
    m_rExtent = gCRect(0, 0, m_pOwner->Width(), m_pOwner->Height());
    return eNoError;
}

error CWidgetEffectBorder::WidgetChanged(CImage*) {
    return WidgetChanged();
}

error CWidgetEffectBorder::RenderEffect(const gCRect& area, CImage* target, uint32_t alpha) {
    if (alpha == 0) {
        return eNoError;
    }
    if (!target) {
        return eBadParameter;
    }
    const gCRect r = OnTarget(area, *target);
    if (r.IsEmpty()) {
        return eNoError;
    }
    CImNav view(target, &r);
    if (!view.IsLocked()) {
        return eOutOfMemory;
    }
    alpha = std::min<uint32_t>(alpha, 255);
    const CPixel::BlendProcPtr blend = CPixel::m_pBlendProc;
    const int32_t w = view.GetWidth();
    const int32_t h = view.GetHeight();
    auto column = [&](int32_t x, CPixel colour) {
        for (int32_t y = 0; y < h; ++y) {
            blend(view.Row(y) + x, colour);
        }
    };
    auto row = [&](int32_t y, CPixel colour) {
        CPixel* p = view.Row(y);
        for (int32_t x = 0; x < w; ++x) {
            blend(p + x, colour);
        }
    };
    if (r.left == 0) {
        column(0, Weighted(m_Left, alpha));
    }
    if (r.top == 0) {
        row(0, Weighted(m_Top, alpha));
    }
    if (r.right == m_rExtent.right) {
        column(w - 1, Weighted(m_Right, alpha));
    }
    if (r.bottom == m_rExtent.bottom) {
        row(h - 1, Weighted(m_Bottom, alpha));
    }
    return eNoError;
}

error CWidgetEffectBorder::SetBorderThickness(float thickness, int32_t redraw) {
    m_rThickness = thickness;
    return Changed(redraw);
}

error CWidgetEffectBorder::SetEdgeStyle(uint32_t edges, uint32_t style, int32_t redraw) {
    if (edges & eTop) {
        m_nTopStyle = style;
    }
    if (edges & eBottom) {
        m_nBottomStyle = style;
    }
    if (edges & eLeft) {
        m_nLeftStyle = style;
    }
    if (edges & eRight) {
        m_nRightStyle = style;
    }
    return Changed(redraw);
}

error CWidgetEffectBorder::SetEdgeColour(uint32_t edges, CPixel colour, int32_t redraw) {
    if (edges & eTop) {
        m_Top = colour;
    }
    if (edges & eBottom) {
        m_Bottom = colour;
    }
    if (edges & eLeft) {
        m_Left = colour;
    }
    if (edges & eRight) {
        m_Right = colour;
    }
    return Changed(redraw);
}

error CWidgetEffectBorder::SetTopLeftColour(CPixel colour, int32_t redraw) {
    return SetEdgeColour(eTop | eLeft, colour, redraw);
}

error CWidgetEffectBorder::SetBottomRightColour(CPixel colour, int32_t redraw) {
    return SetEdgeColour(eBottom | eRight, colour, redraw);
}

uint32_t CWidgetEffectBorder::EdgeStyle(uint32_t edge) const {
    switch (edge) {
    case eTop:
        return m_nTopStyle;
    case eBottom:
        return m_nBottomStyle;
    case eLeft:
        return m_nLeftStyle;
    case eRight:
        return m_nRightStyle;
    default:
        return 0;
    }
}
