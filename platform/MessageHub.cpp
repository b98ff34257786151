#include "platform/MessageHub.h"

int32_t CMessageHub::Message(uint32_t id, void* data, uintptr_t extra) {
    for (int32_t i = 0; i < m_aTargets.GetSize(); ++i) {
        if (int32_t result = m_aTargets[i]->Message(id, data, extra)) {
            return result;
        }
    }
    return 0;
}

error CMessageHub::AddTarget(gCCmdTarget* target) {
    return m_aTargets.Add(target);
}

void CMessageHub::RemoveTarget(gCCmdTarget* target) {
    for (int32_t i = 0; i < m_aTargets.GetSize(); ++i) {
        if (m_aTargets[i] == target) {
            m_aTargets.RemoveAt(i);
            return;
        }
    }
}
