#include "foundation/gCCmdTarget.h"

namespace {

int32_t Forward(gCCmdTarget* module, uint32_t id, const void* sender, int64_t value, int32_t set) {
    return module ? module->ProcessData(id, sender, value, set) : 0;
}

} // namespace

int32_t gCCmdTarget::Message(uint32_t, void*, uintptr_t) {
    return 0;
}

int32_t gCCmdTarget::SetUIData(uint32_t id, const void* sender, int64_t value) {
    return Forward(m_pUIModule, id, sender, value, 1);
}

int32_t gCCmdTarget::SetBackboneData(uint32_t id, const void* sender, int64_t value) {
    return Forward(m_pBackboneModule, id, sender, value, 1);
}

int32_t gCCmdTarget::GetUIData(uint32_t id, const void* sender, int64_t value) {
    return Forward(m_pUIModule, id, sender, value, 0);
}

int32_t gCCmdTarget::GetBackboneData(uint32_t id, const void* sender, int64_t value) {
    return Forward(m_pBackboneModule, id, sender, value, 0);
}

int32_t gCCmdTarget::ProcessData(uint32_t, const void*, int64_t, int32_t) {
    return 0;
}
