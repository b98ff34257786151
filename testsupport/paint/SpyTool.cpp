#include "testsupport/paint/SpyTool.h"

#include <algorithm>
#include <array>
#include <new>
#include <utility>

#include "foundation/Input.h"
#include "foundation/MessageIds.h"
#include "paint/Backbone.h"

namespace {

int32_t s_nCreating = -1;

template <int32_t Id> CPaintTool* MakeSpy() {
    CSpyTool::s_Created.push_back(Id);
    s_nCreating = Id;
    return new (std::nothrow) CSpyTool;
}

// The spy creator of every tool id, by id.
template <int32_t... Ids>
constexpr std::array<CPaintToolCreator, kToolCount>
SpyCreators(std::integer_sequence<int32_t, Ids...>) {
    return {&MakeSpy<Ids>...};
}

} // namespace

CSpyTool::CSpyTool() : m_nCreatedAs(s_nCreating) {
    s_Alive.push_back(this);
}

CSpyTool::~CSpyTool() {
    s_Alive.erase(std::remove(s_Alive.begin(), s_Alive.end(), this), s_Alive.end());
}

int32_t CSpyTool::ProcessData(uint32_t id, const void* sender, int64_t value, int32_t set) {
    if (const int32_t r = m_Log.Record(id, sender, value, set)) {
        return r;
    }
    return CPaintTool::ProcessData(id, sender, value, set);
}

int32_t CSpyTool::ProcessLocalData(uint32_t id, const void*, int64_t value, int32_t) {
    if (id == eMsgPaintColour) {
        m_nPaintColour = uint32_t(value);
        ++m_nPaintColours;
    }
    return 0;
}

error CSpyTool::ToolDown(CWidget* widget, CCanvas* canvas, CTabletPoint& sample) {
    m_Strokes.push_back({'D', sample.x, sample.y, sample.pressure, ProfileFlip(), m_nNoisePos,
                         m_nPaintColour});
    return CPaintTool::ToolDown(widget, canvas, sample);
}

error CSpyTool::ToolMove(CWidget* widget, CCanvas* canvas, CTabletPoint& sample) {
    m_Strokes.push_back({'M', sample.x, sample.y, sample.pressure, ProfileFlip(), m_nNoisePos,
                         m_nPaintColour});
    int32_t moves = 0;
    for (const SStrokeCall& c : m_Strokes) {
        moves += c.kind == 'M' ? 1 : 0;
    }
    if (moves == m_nFailMoveAt) {
        return m_eFailCode;
    }
    return CPaintTool::ToolMove(widget, canvas, sample);
}

error CSpyTool::ToolUp(CWidget* widget, CCanvas* canvas, CTabletPoint& sample) {
    m_Strokes.push_back({'U', sample.x, sample.y, sample.pressure, ProfileFlip(), m_nNoisePos,
                         m_nPaintColour});
    return CPaintTool::ToolUp(widget, canvas, sample);
}

error CSpyTool::SetupTool() {
    const bool known = m_nCreatedAs >= 0 && m_nCreatedAs < kToolCount;
    return known ? s_aSetupResult[m_nCreatedAs] : eNoError;
}

void RegisterSpyTools() {
    ResetSpyTools();
    constexpr auto creators = SpyCreators(std::make_integer_sequence<int32_t, kToolCount>());
    for (int32_t id = 0; id < kToolCount; ++id) {
        CSMKBackbone::SetToolCreator(id, creators[id]);
    }
}

void ResetSpyTools() {
    for (int32_t id = 0; id < kToolCount; ++id) {
        CSMKBackbone::SetToolCreator(id, nullptr);
        CSpyTool::s_aSetupResult[id] = eNoError;
    }
    CSpyTool::s_Created.clear();
}
