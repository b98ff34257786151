#include "foundation/Timing.h"

#include <cmath>

#include "foundation/Clock.h"

namespace {

float SmoothStep(float u) {
    return u * u * (3.0f - 2.0f * u);
}

} // namespace

CTimer::CTimer() {
    const uint64_t now = gCClock::Microseconds();
    m_nSeconds = uint32_t(now / 1000000u);
    m_nMilliseconds = now / 1000u;
    m_nMicroseconds = now;
}

float CTimer::ElapsedMilliseconds() const {
    const uint64_t now = gCClock::Microseconds() / 1000u;
    return float(now - m_nMilliseconds);
}

CTimeStep::CTimeStep(float start, float target, float stepInterval, float stepSize, int32_t running)
    : m_rStepInterval(stepInterval), m_rStepSize(stepSize), m_rCurrent(start), m_rTarget(target),
      m_fRunning(running), m_rStart(start) {}

float CTimeStep::CalcVal() {
    if (m_rCurrent == m_rTarget || !(m_rStepInterval > 0.0f)) {
        m_rCurrent = m_rTarget;
        m_fRunning = 0;
        return m_rCurrent;
    }
    float elapsed = m_StartTime.ElapsedMilliseconds();
    if (m_nCurve == eOvershoot) {
        elapsed *= 0.8f;
    }
    const float n = std::trunc(elapsed / m_rStepInterval);
    const bool up = m_rCurrent < m_rTarget;
    const float direction = up ? std::fabs(m_rStepSize) : -std::fabs(m_rStepSize);
    const float linear = m_rStart + direction * n;
    m_rCurrent = linear;
    if (up ? linear >= m_rTarget : linear <= m_rTarget) {
        m_rCurrent = m_rTarget;
        m_fRunning = 0;
        return m_rTarget;
    }
    const float range = m_rTarget - m_rStart;
    const float t = (linear - m_rStart) / range;
    switch (m_nCurve) {
    case eSmoothStep:
        return m_rStart + SmoothStep(t) * range;
    case eOvershoot:
        return m_rStart + Overshoot(t) * range;
    case eBias:
        return m_rStart + t / ((1.0f / m_rBias - 2.0f) * (1.0f - t) + 1.0f) * range;
    case eGain: {
        const float g = (1.0f / m_rBias - 2.0f) * (1.0f - 2.0f * t);
        const float shaped = t < 0.5f ? t / (g + 1.0f) : (g - t) / (g - 1.0f);
        return m_rStart + shaped * range;
    }
    default:
        return linear;
    }
}

CTimeTrack::CTimeTrack(float start, float end, float period, float steps, ERepeatType repeat,
                       int32_t startNow)
    : m_rStart(start), m_rEnd(end), m_rPeriod(period), m_rSteps(steps), m_nRepeat(repeat) {
    if (startNow) {
        m_fRunning = 1;
    }
}

float CTimeTrack::CalcVal() const {
    const float range = m_rEnd - m_rStart;
    if (range == 0.0f || !(m_rPeriod > 0.0f)) {
        return m_rEnd;
    }
    const float elapsed = m_StartTime.ElapsedMilliseconds();
    float t;
    switch (m_nRepeat) {
    case eLoop: {
        const float x = elapsed / m_rPeriod;
        t = x - std::trunc(x);
        break;
    }
    case eBackAndForth: {
        float x = (elapsed * 0.5f) / m_rPeriod;
        x -= std::trunc(x);
        t = x <= 0.5f ? 2.0f * x : 1.0f - 2.0f * (x - 0.5f);
        break;
    }
    default:
        if (elapsed >= m_rPeriod) {
            return m_rEnd;
        }
        t = elapsed / m_rPeriod;
        break;
    }
    if (m_rSteps > 0.0f) {
        t = std::trunc(t * m_rSteps) / m_rSteps;
    }
    return m_rStart + t * range + 1e-9f;
}

float Overshoot(float t) {
    if (t < 0.8f) {
        return 1.1f * SmoothStep(t / 0.8f);
    }
    if (t < 0.92f) {
        return 1.1f + (0.95f - 1.1f) * SmoothStep((t - 0.8f) / (0.92f - 0.8f));
    }
    return 0.95f + (1.0f - 0.95f) * SmoothStep((t - 0.92f) / (1.0f - 0.92f));
}
