#pragma once
// Moves an image's origin (a render target's, a matte's) by a widget's left and top for as long as
// the widget and its children draw, and puts it back on every way out.

#include <cstdint>

#include "imaging/ImageBase.h"
#include "widgets/detail/RectMath.h"

namespace widgetdetail {

class COriginShift {
public:
    COriginShift(CImageBase* target, int32_t dx, int32_t dy)
        : m_pTarget(target), m_Saved(target->GetOrigin()) {
        m_pTarget->SetOrigin(
            gCPoint(Saturated(int64_t(m_Saved.x) + dx), Saturated(int64_t(m_Saved.y) + dy)));
    }
    ~COriginShift() { m_pTarget->SetOrigin(m_Saved); }
    COriginShift(const COriginShift&) = delete;
    COriginShift& operator=(const COriginShift&) = delete;

private:
    CImageBase* m_pTarget;
    gCPoint m_Saved;
};

} // namespace widgetdetail
