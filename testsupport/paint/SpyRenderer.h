#pragma once
// A renderer that records what reaches it and answers as a test scripts.

#include "paint/relight/Renderer.h"
#include "testsupport/paint/SpyCall.h"

class CSpyRenderer : public CRenderer {
public:
    explicit CSpyRenderer(int32_t id = 0) : CRenderer(id) {}

    int32_t ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) override {
        return m_Log.Record(id, sender, value, set);
    }
    error SetupRenderer() override { return eNoError; }
    error Render(CImage*, CCanvas&, int32_t) override {
        ++m_nRenders;
        return eNoError;
    }

    CSpyLog m_Log;
    int32_t m_nRenders = 0;
};
