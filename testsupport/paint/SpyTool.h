#pragma once
// A paint tool that records every id reaching it and answers as a test
// scripts; its set-up result is scripted per tool id. RegisterSpyTools
// puts its creator in the backbone's place of every tool id; the tools
// made are listed in creation order, and forgotten by ResetSpyTools.

#include <vector>

#include "paint/PaintTool.h"
#include "paint/ToolId.h"
#include "testsupport/paint/SpyCall.h"

class CSpyTool : public CPaintTool {
public:
    CSpyTool();
    ~CSpyTool() override;

    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override;
    error SetupTool() override;
    int32_t ProcessLocalData(uint32_t, const void*, int64_t, int32_t) override { return 0; }

    CSpyLog m_Log;
    // Its tool id as the creator was asked for it.
    int32_t m_nCreatedAs = -1;

    // The set-up result of each tool id's spies (0 unless set).
    static inline error s_aSetupResult[kToolCount] = {};
    // Every spy alive, in creation order (set-ups that failed included
    // until they are destroyed).
    static inline std::vector<CSpyTool*> s_Alive;
    // Tool ids in the order the creators were asked.
    static inline std::vector<int32_t> s_Created;
};

// Every tool id made as a spy; the set-up results and lists start afresh.
void RegisterSpyTools();
// Removes every creator and clears the scripts.
void ResetSpyTools();
