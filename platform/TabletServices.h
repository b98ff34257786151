#pragma once
// Pen and mouse samples for the stroke engine. The input layer stores the
// newest sample of every mouse event; GetPoint reports it shaped by the
// pressure weight. Without a pen the weight itself is the pressure.

#include <cstdint>
#include <memory>

#include "foundation/Error.h"
#include "foundation/Input.h"

struct SDL_Window;

class CXInputPenReader;

class CTabletServices : public CTabletSource {
public:
    CTabletServices();
    ~CTabletServices() override;
    CTabletServices(const CTabletServices&) = delete;
    CTabletServices& operator=(const CTabletServices&) = delete;

    // Rescans the pen devices when the pen reader runs; 0.
    error SetupServices(int32_t flag) override;
    // Starts the pen reader on the application's window. Without X11 (or
    // without its input extension) there is no reader and the mouse path
    // applies; that is not an error.
    error AttachWindow(SDL_Window* window);
    // The pen reader, or null.
    CXInputPenReader* PenReader() const { return m_pPenReader.get(); }

    // Stores the point as the newest sample. A pen pressure is kept within
    // 0..1, and a pressure that is not a number keeps the previous pen
    // pressure (0 when there was none).
    void SetMacData(const CTabletPoint& point);
    // The current sample: 0 for a pen sample, 1 for mouse input.
    int32_t GetPoint(CTabletPoint& point) override;
    void FlushQueue() override {}
    // The primary button held (the application's LButtonDown).
    int32_t ButtonDown() override;
    void SetWacomData(uint32_t) {}

    // The pen pressure p (0..1) shaped by the weight w, as
    // 0..kFullPenPressure.
    static float WeightedPressure(float p, float w);

private:
    CTabletPoint m_LastPoint;
    std::unique_ptr<CXInputPenReader> m_pPenReader;
};
