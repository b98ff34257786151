// The eight words and eight owned objects a widget keeps for the
// application.

#include "widgets/Widget.h"

namespace {

constexpr uint32_t kSlots = 8;

} // namespace

int32_t CWidget::SetUserData(uint32_t index, uint32_t value) {
    if (index >= kSlots) {
        return 0;
    }
    m_anUserData[index] = value;
    return 1;
}

uint32_t CWidget::GetUserData(uint32_t index) const {
    return index < kSlots ? m_anUserData[index] : 0;
}

int32_t CWidget::SetUserObject(uint32_t index, gCResourceObject* object) {
    if (index >= kSlots) {
        return 0;
    }
    m_apUserObjects[index] = object;
    return 1;
}

gCResourceObject* CWidget::GetUserObject(uint32_t index) const {
    return index < kSlots ? m_apUserObjects[index] : nullptr;
}

void CWidget::DestroyUserObjects() {
    for (uint32_t i = 0; i < kSlots; ++i) {
        gCResourceObject* object = m_apUserObjects[i];
        if (!object) {
            continue;
        }
        // One object may sit in several slots; it is deleted once, and its
        // slots are empty before its destructor runs.
        for (uint32_t j = i; j < kSlots; ++j) {
            if (m_apUserObjects[j] == object) {
                m_apUserObjects[j] = nullptr;
            }
        }
        delete object;
    }
}
