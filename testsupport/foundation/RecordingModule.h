#pragma once
// A stand-in UI or backbone module for tests: it records every call that
// reaches its ProcessData and answers with a result a test sets.

#include <cstdint>
#include <vector>

#include "foundation/gCCmdTarget.h"

class CRecordingModule : public gCCmdTarget {
public:
    struct Call {
        uint32_t id;
        const void* sender;
        int64_t value;
        int32_t set;
    };

    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override {
        m_Calls.push_back({id, sender, value, set});
        return m_nResult;
    }

    std::vector<Call> m_Calls;
    int32_t m_nResult = 0;
};
