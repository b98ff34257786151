#include "platform/TabletServices.h"

#include <algorithm>
#include <cmath>

#include "platform/AppBase.h"
#include "platform/InputEvent.h"
#include "platform/detail/XInputPenReader.h"

CTabletServices::CTabletServices() = default;
CTabletServices::~CTabletServices() = default;

error CTabletServices::SetupServices(int32_t) {
    if (m_pPenReader) {
        m_pPenReader->Rescan();
    }
    return eNoError;
}

error CTabletServices::AttachWindow(SDL_Window* window) {
    m_pPenReader = CXInputPenReader::Create(window);
    return eNoError;
}

void CTabletServices::SetMacData(const CTabletPoint& point) {
    float pressure = point.pressure;
    if (pressure != kNoPenPressure) {
        if (!std::isfinite(pressure)) {
            pressure = m_LastPoint.pressure == kNoPenPressure ? 0.0f : m_LastPoint.pressure;
        }
        pressure = std::clamp(pressure, 0.0f, 1.0f);
    }
    m_LastPoint.x = point.x;
    m_LastPoint.y = point.y;
    m_LastPoint.pressure = pressure;
}

float CTabletServices::WeightedPressure(float p, float w) {
    float weighted;
    if (w < 0.5f) {
        weighted = p * (1.5f * w + 0.25f);
    } else {
        weighted = std::min(1.0f, 2.0f * w * p);
    }
    return weighted * kFullPenPressure;
}

int32_t CTabletServices::GetPoint(CTabletPoint& point) {
    if (m_LastPoint.pressure == kNoPenPressure) {
        CTabletPoint::m_fInverted = 0;
        gCPoint where;
        if (CAppBase::m_pApp) {
            where = CAppBase::m_pApp->CursorLoc();
        }
        point.x = float(where.x);
        point.y = float(where.y);
        point.pressure = m_rWeight;
        return 1;
    }
    point.x = m_LastPoint.x;
    point.y = m_LastPoint.y;
    point.pressure = WeightedPressure(m_LastPoint.pressure, m_rWeight);
    return 0;
}

int32_t CTabletServices::ButtonDown() {
    return CAppBase::m_pApp ? CAppBase::m_pApp->LButtonDown() : 0;
}
