#pragma once
// Timed values for interface animations, read once per heartbeat tick.
// CTimer records a moment; CTimeStep moves a value to a target in fixed
// steps over time, shaped by an easing curve; CTimeTrack runs a value
// between two ends over a period, once, in a loop or back and forth.

#include <cstdint>

#include "foundation/gCCmdTarget.h"

class CTimer : public gCCmdTarget {
public:
    CTimer();

    // Milliseconds since the recorded moment.
    float ElapsedMilliseconds() const;

    uint32_t m_nSeconds = 0;
    uint64_t m_nMilliseconds = 0;
    uint64_t m_nMicroseconds = 0;
};

class CTimeStep : public gCCmdTarget {
public:
    enum ECurve : int32_t { eLinear = 0, eSmoothStep = 1, eOvershoot = 2, eBias = 3, eGain = 4 };

    CTimeStep(float start, float target, float stepInterval, float stepSize, int32_t running);

    // Advances the linear value and returns it shaped by the curve. A step
    // interval of 0 or less gives the target at once.
    float CalcVal();

    float m_rStepInterval;
    float m_rStepSize;
    float m_rCurrent;
    float m_rTarget;
    int32_t m_fRunning;
    float m_rStart;
    CTimer m_StartTime;
    int32_t m_nCurve = eSmoothStep;
    float m_rBias = 0.75f;
};

class CTimeTrack : public gCCmdTarget {
public:
    enum ERepeatType : int32_t { eOnce = 0, eLoop = 1, eBackAndForth = 2 };

    CTimeTrack(float start, float end, float period, float steps, ERepeatType repeat,
               int32_t startNow);

    // The value at the current time. A period of 0 or less gives the end
    // value.
    float CalcVal() const;

    float m_rStart;
    float m_rEnd;
    float m_rPeriod;
    float m_rSteps;
    ERepeatType m_nRepeat;
    int32_t m_fRunning = 0;
    CTimer m_StartTime;
};

// The easing curve that rises past 1 and settles back: 0 at 0, 1.1 at 0.8,
// 0.95 at 0.92 and 1 at 1.
float Overshoot(float t);
