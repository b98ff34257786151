#include "testsupport/paint/RecordingTool.h"

int32_t CRecordingTool::Count(EKind kind) const {
    int32_t n = 0;
    for (const SCall& c : m_Calls) {
        n += c.kind == kind ? 1 : 0;
    }
    return n;
}

error CRecordingTool::Log(EKind kind, const pointStruct& pt, int32_t flag, gCRect* rect) {
    const bool fail = m_nFailAt > 0 && static_cast<int32_t>(m_Calls.size()) + 1 == m_nFailAt;
    const error result = fail ? m_FailCode : eNoError;
    m_Calls.push_back({kind, pt, flag, result});
    if (rect != nullptr && m_bMark && !fail) {
        *rect = m_MarkRect;
    }
    return result;
}
