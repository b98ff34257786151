// The rounded panel's settings and how a change reaches its picture.

#include "widgets/RoRectWidget.h"

error CRoRectWidget::SetRadius(float radius, int32_t remake, int32_t redraw) {
    m_rRadius = radius;
    return ApplyChanges(remake, redraw);
}

error CRoRectWidget::SetBorderWidth(float width, int32_t remake, int32_t redraw) {
    m_rBorderWidth = width;
    return ApplyChanges(remake, redraw);
}

error CRoRectWidget::SetTitleBarHeight(float height, int32_t remake, int32_t redraw) {
    m_rTitleBarHeight = height;
    return ApplyChanges(remake, redraw);
}

error CRoRectWidget::SetBorderColour(CPixel colour, int32_t remake, int32_t redraw) {
    m_BorderColour = colour;
    return ApplyChanges(remake, redraw);
}

error CRoRectWidget::SetCornerFlags(uint32_t flags, int32_t remake, int32_t redraw) {
    m_nCornerFlags = flags;
    return ApplyChanges(remake, redraw);
}

error CRoRectWidget::AddCornerFlags(uint32_t flags, int32_t remake, int32_t redraw) {
    m_nCornerFlags |= flags;
    return ApplyChanges(remake, redraw);
}

error CRoRectWidget::RemoveCornerFlags(uint32_t flags, int32_t remake, int32_t redraw) {
    m_nCornerFlags &= ~flags;
    return ApplyChanges(remake, redraw);
}

error CRoRectWidget::SetClientColour(CPixel colour, int32_t remake, int32_t redraw) {
    if (error e = CCoWidget::SetClientColour(colour, 0)) {
        return e;
    }
    return ApplyChanges(remake, redraw);
}

error CRoRectWidget::ApplyChanges(int32_t remake, int32_t redraw) {
    if (remake) {
        HoldImage(nullptr);
        if (error e = SizeChanged()) {
            return e;
        }
        if (error e = AlphaChanged(0)) {
            return e;
        }
    }
    if (m_fVisible) {
        if (error e = InvalidateClient(0)) {
            return e;
        }
    }
    return redraw ? PassRedraw() : eNoError;
}

error CRoRectWidget::SetImage(CImage*, int32_t, int32_t) {
    return eNoError;
}

error CRoRectWidget::SetImageList(gCImageList*) {
    return eNoError;
}

error CRoRectWidget::SetImage(int32_t, int32_t, int32_t) {
    return eNoError;
}

error CRoRectWidget::AdvanceFrame(int32_t, int32_t) {
    return eNoError;
}
