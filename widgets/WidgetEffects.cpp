// The widget's side of its effects: nine places, three under its own
// pixels, three between them and its children, three over everything.
// Nothing attaches an effect yet, so the places stay empty and the total
// rect is the rect.

#include "widgets/Widget.h"

namespace {

CWidgetEffectBase* Place(CWidgetEffectBase* const (&places)[3], int32_t index) {
    return index >= 0 && index < 3 ? places[index] : nullptr;
}

} // namespace

CWidgetEffectBase* CWidget::EffectUnder(int32_t index) const {
    return Place(m_apEffectsU, index);
}

CWidgetEffectBase* CWidget::EffectBetween(int32_t index) const {
    return Place(m_apEffectsB, index);
}

CWidgetEffectBase* CWidget::EffectOver(int32_t index) const {
    return Place(m_apEffectsO, index);
}

bool CWidget::HasEffects() const {
    for (int32_t i = 0; i < 3; ++i) {
        if (m_apEffectsU[i] || m_apEffectsB[i] || m_apEffectsO[i]) {
            return true;
        }
    }
    return false;
}

error CWidget::UpdateAllEffects() {
    return eNoError;
}

error CWidget::EffectParentMoved(CWidget*, gCRect&) {
    return eNoError;
}

void CWidget::RebuildTotalAreaRect() {
    m_TotalRect = m_Rect;
}

void CWidget::DestroyEffects() {}
