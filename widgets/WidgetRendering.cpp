// The widget's own drawing as the render passes call it: a registered
// render procedure, or the class's RenderArea.

#include "widgets/Widget.h"

error CWidget::RenderArea(const gCRect&, CImage*, uint32_t) {
    return eNoError;
}

error CWidget::PreRenderNotification(const gCRect&, CImage*, uint32_t) {
    return eNoError;
}

error CWidget::DoRenderArea(const gCRect& local, CImage* target, uint32_t alpha) {
    if (RenderProc proc = CallbackOf<RenderProc>(eRenderEntry)) {
        return proc(UserOf(eRenderEntry), this, local, target, alpha);
    }
    return RenderArea(local, target, alpha);
}

int32_t CWidget::OpaquePixel(gCPoint&) {
    return m_nOpaqueThreshold != 0 ? 1 : 0;
}

error CWidget::GetAlpha(CImage8*) {
    return eNoError;
}
