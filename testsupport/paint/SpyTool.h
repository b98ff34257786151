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
    // Records the paint colour it is given.
    int32_t ProcessLocalData(uint32_t id, const void*, int64_t value, int32_t) override;
    // The stroke protocol, recorded; the move numbered m_nFailMoveAt (from
    // 1) answers m_eFailCode instead. Nothing is painted.
    error ToolDown(CWidget* widget, CCanvas* canvas, CTabletPoint& sample) override;
    error ToolMove(CWidget* widget, CCanvas* canvas, CTabletPoint& sample) override;
    error ToolUp(CWidget* widget, CCanvas* canvas, CTabletPoint& sample) override;
    uint32_t NoisePos() override { return m_nNoisePos; }
    void SetNoisePos(uint32_t position) override { m_nNoisePos = position; }

    // One stroke call: 'D'own, 'M'ove or 'U'p, with the sample and what the
    // tool held when it came (its flip, its noise position, its paint
    // colour).
    struct SStrokeCall {
        char kind;
        float x;
        float y;
        float pressure;
        int32_t flip;
        uint32_t noisePos;
        uint32_t colour;
    };
    std::vector<SStrokeCall> m_Strokes;
    int32_t m_nFailMoveAt = 0;
    error m_eFailCode = eNoError;
    // The last paint colour given, and how many were.
    uint32_t m_nPaintColour = 0;
    int32_t m_nPaintColours = 0;
    uint32_t m_nNoisePos = 0;

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
