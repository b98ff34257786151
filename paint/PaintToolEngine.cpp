// The stroke engine every paint tool shares: pen samples in, evenly spaced
// and smoothed stroke points out, one painted per move, with the composite
// relit and shown at intervals that follow the pen's speed.

#include <algorithm>
#include <cmath>

#include "foundation/Clock.h"
#include "foundation/Input.h"
#include "foundation/Rounding.h"
#include "paint/PaintTool.h"
#include "paint/SharpTurn.h"
#include "paint/canvas/Canvas.h"
#include "paint/relight/Renderer.h"

namespace {

// Dabs between display updates: pen held still, slow, faster; and while
// ToolUp drains the points that piled up.
constexpr int32_t kStillDabs = 30;
constexpr int32_t kSlowDabs = 2;
constexpr int32_t kFastDabs = 15;
constexpr int32_t kDrainDabs = 80;
// While moving, at most one relight a display refresh (60 Hz) unless a held
// pen's run of dabs waits: dabs painted in between gather their spans and
// are relit together, so what shows lags the pen by at most a refresh.
constexpr uint64_t kRefreshMicroseconds = 16667;
// Points ready to paint that a move leaves waiting: past them a move paints
// up to kMostAhead more, so the release has few left to drain while the
// samples come a few pixels apart. At least two wait, so that a point
// painted early has the direction of the point after it settled.
constexpr int32_t kMostWaiting = 2;
constexpr int32_t kMostAhead = 2;
bool g_HoldToPace = false;
// The direction of a click that has none of its own: down and to the right.
constexpr float kDiagonal = 0.70710677f;
// The largest magnitude a rounded pressure or distance keeps: sums of two
// of them stay inside int32_t.
constexpr int32_t kIntLimit = 1 << 30;

float Distance(float ax, float ay, float bx, float by) {
    const float dx = bx - ax, dy = by - ay;
    return std::sqrt(dx * dx + dy * dy);
}

// The vector scaled to unit length; a zero vector stays zero.
void Normalise(float& x, float& y) {
    if (x == 0.0f && y == 0.0f) {
        return;
    }
    const float length = std::sqrt(x * x + y * y);
    x /= length;
    y /= length;
}

// Empty: an edge lies on its opposite, so no width or no height. Swapped
// corners do not make a rectangle empty by this test.
bool IsBlank(const gCRect& r) {
    return r.left == r.right || r.top == r.bottom;
}

// The dirty rectangle grown by what a dab changed; a dab that reports no
// change adds nothing.
void Grow(gCRect& dirty, const gCRect& rect) {
    if (IsBlank(rect)) {
        return;
    }
    dirty = IsBlank(dirty) ? rect : dirty.United(rect);
}

} // namespace

void CPaintTool::HoldToPace(bool hold) {
    g_HoldToPace = hold;
}

bool CPaintTool::IsCorner(float ax, float ay, float bx, float by) {
    Normalise(ax, ay);
    Normalise(bx, by);
    const float sx = ax + bx, sy = ay + by;
    return IsSharpTurn(sx, sy, ETurnEdge::eEdgeGoesOn);
}

float CPaintTool::DoSpline(float p0, float p1, float p2, float p3, float t) {
    const float t2 = t * t;
    const float t3 = t2 * t;
    return 0.5f * (2.0f * p1 + (p2 - p0) * t + (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3) * t2 +
                   (-p0 + 3.0f * p1 - 3.0f * p2 + p3) * t3);
}

error CPaintTool::ToolDown(CWidget*, CCanvas* canvas, CTabletPoint& sample) {
    m_rPointSpacing = m_StrokeTraits.spacingPerSize * m_rLinearSize + 1.0f;
    m_nDabNum = 0;
    m_nPeakPressure = 0;
    m_nDabsSinceUpdate = 0;
    // The stroke's first relight is due at once.
    m_nLastRelight = gCClock::Microseconds() - kRefreshMicroseconds;
    m_fDabEndDue = 1;
    if (canvas) {
        // A layer that cannot be locked leaves no address; the tools check.
        (void)SetSources(canvas->Layer(0), canvas->Layer(1), canvas->Layer(2), canvas->Layer(3));
    }
    m_DirtyRect = gCRect();
    if (canvas) {
        canvas->ResetInvLut();
    }
    m_aStrokePoints.RemoveAll();
    m_nLastStrokePoint = -1;
    m_nRawCursor = m_nRenderCursor = m_nDirectionCursor = m_nSmoothingCursor = 0;
    m_nPaceCursor = 0;

    // A stroke that ended without its release, or whose end failed, never
    // joins this one.
    m_aRawPoints.RemoveAll();
    pointStruct first;
    first.x = sample.x;
    first.y = sample.y;
    m_LastRawPoint = first;
    // Without room for the first sample the stroke paints nothing.
    (void)m_aRawPoints.Add(first);
    return eNoError;
}

error CPaintTool::ToolMove(CWidget* widget, CCanvas* canvas, CTabletPoint& sample) {
    const int32_t pressure = RoundToInt32(sample.pressure, -kIntLimit, kIntLimit);
    m_nPeakPressure = std::max(m_nPeakPressure, pressure);
    const int32_t n = RoundToInt32(Distance(m_LastRawPoint.x, m_LastRawPoint.y, sample.x, sample.y),
                                   -kIntLimit, kIntLimit);

    if (n > 0) {
        pointStruct raw;
        raw.x = sample.x;
        raw.y = sample.y;
        raw.pressure = pressure;
        // A sample without room is skipped; the stroke goes on with the
        // points it has.
        if (m_aRawPoints.Add(raw) == eNoError) {
            m_LastRawPoint = raw;
            const int32_t i = m_nRawCursor;
            const pointStruct& a = m_aRawPoints[i];
            const pointStruct& b = m_aRawPoints[i + 1];
            const float d = Distance(a.x, a.y, b.x, b.y);
            if (d >= m_rPointSpacing) {
                Spline(d);
            } else {
                AddStrokePt(a, 0);
                ++m_nRawCursor;
            }
        }
    }

    if (m_aStrokePoints.GetSize() < 6) {
        return eNoError;
    }
    // One point a move is the pace, and a point painted on it sees the
    // stroke as it stands at that move; a point painted ahead of the pace
    // only once its successor's direction is settled, so every point is
    // painted from the same stroke points whichever way it comes.
    const bool paced = m_nPaceCursor < m_nDirectionCursor;
    if (paced) {
        ++m_nPaceCursor;
    }
    int32_t painted = 0;
    if (m_nRenderCursor < m_nPaceCursor) {
        if (const error e = PaintNextPoint(canvas, 0); e != eNoError) {
            --m_nPaceCursor; // the point is tried again at the next move
            return e;
        }
        ++painted;
    }
    for (int32_t ahead = 0; !g_HoldToPace && ahead < kMostAhead &&
                            m_nDirectionCursor - m_nRenderCursor > kMostWaiting;
         ++ahead) {
        if (const error e = PaintNextPoint(canvas, 0); e != eNoError) {
            return e;
        }
        ++painted;
    }
    if (painted == 0) {
        return eNoError;
    }
    const int32_t threshold = n == 0 ? kStillDabs : (n <= 3 ? kSlowDabs : kFastDabs);
    // Due by the pen's pace once a refresh has passed; however fast the
    // samples come, never more than a held pen's run of dabs unrelit, so
    // the spans gathered stay close to the paint.
    const bool due = m_nDabsSinceUpdate >= kStillDabs ||
                     (m_nDabsSinceUpdate >= threshold && RefreshDue());
    if (due && !IsBlank(m_DirtyRect)) {
        if (const error r = RenderDirty(canvas); r != eNoError) {
            return r;
        }
        if (canvas) {
            canvas->ShowStrokeArea(widget, m_DirtyRect, 0);
        }
        m_nDabsSinceUpdate = 0;
    }
    return eNoError;
}

error CPaintTool::ToolUp(CWidget* widget, CCanvas* canvas, CTabletPoint& sample) {
    const int32_t count = m_aStrokePoints.GetSize();
    if (m_nRenderCursor != 0 || count > 3) {
        // The stroke tapers off to nothing, unless the tool's line keeps its
        // weight to the end.
        pointStruct end;
        end.x = sample.x;
        end.y = sample.y;
        end.pressure =
            m_StrokeTraits.tailKeepsPressure && count > 0 ? m_aStrokePoints[count - 1].pressure : 0;
        AddStrokePt(end, 1);
        // The point just added only shapes the tail.
        while (m_nRenderCursor < count) {
            // A piece that fails is left out; the rest of the stroke still
            // paints and the stroke ends whole.
            (void)PaintNextPoint(canvas, 1);
            if ((m_nDabsSinceUpdate > kDrainDabs || m_nRenderCursor == count) &&
                !IsBlank(m_DirtyRect)) {
                if (const error r = RenderDirty(canvas); r != eNoError) {
                    return r;
                }
                m_nDabsSinceUpdate = 0;
                if (canvas) {
                    canvas->ShowStrokeArea(widget, m_DirtyRect, 1);
                }
            }
        }
    } else {
        // Too short to draw as a line: one dab at the release, pointing
        // from the press to the release, or the way the last one did.
        float dx = 0.0f, dy = 0.0f, d = 0.0f;
        if (m_aRawPoints.GetSize() > 0) {
            dx = sample.x - m_aRawPoints[0].x;
            dy = sample.y - m_aRawPoints[0].y;
            d = std::sqrt(dx * dx + dy * dy);
        }
        if (d != 0.0f) {
            m_rDirectionX = dx / d;
            m_rDirectionY = dy / d;
        } else if (m_rDirectionX == 0.0f && m_rDirectionY == 0.0f) {
            m_rDirectionX = m_rDirectionY = kDiagonal;
        }
        pointStruct q;
        q.x = sample.x;
        q.y = sample.y;
        q.pressure = m_nPeakPressure;
        q.dx = m_rDirectionX;
        q.dy = m_rDirectionY;
        if (const error e = SetFirstPt(q, 1); e != eNoError) {
            return e;
        }
        gCRect rect;
        if (const error e = Dab(q, rect, canvas); e != eNoError) {
            return e;
        }
        Grow(m_DirtyRect, rect);
        if (!IsBlank(m_DirtyRect)) {
            if (const error r = RenderDirty(canvas); r != eNoError) {
                return r;
            }
            if (canvas) {
                canvas->ShowStrokeArea(widget, m_DirtyRect, 1);
            }
        }
    }

    const error e = DabEnd();
    if (e == eNoError) {
        m_fDabEndDue = 0;
        m_aRawPoints.RemoveAll();
        ++m_nStrokeNum;
    }
    return e;
}

error CPaintTool::PaintNextPoint(CCanvas* canvas, int32_t draining) {
    if (m_nDabsSinceUpdate == 0) {
        m_DirtyRect = gCRect();
        if (canvas) {
            canvas->ResetInvLut();
        }
    }
    error e = eNoError;
    if (m_nRenderCursor == 0) {
        m_PreviousPoint = m_aStrokePoints[0];
        StraightenStart();
        e = SetFirstPt(m_aStrokePoints[0], 0);
    }
    const pointStruct pt = m_aStrokePoints[m_nRenderCursor];
    gCRect rect;
    if (e == eNoError) {
        e = RenderDab(pt, rect, canvas);
    }
    // While moving, the point that failed stays unpainted for the caller;
    // while draining the stroke goes on past it.
    if (e != eNoError && !draining) {
        return e;
    }
    Grow(m_DirtyRect, rect);
    m_PreviousPoint = pt;
    ++m_nRenderCursor;
    ++m_nDabsSinceUpdate;
    return e;
}

void CPaintTool::StraightenStart() {
    const int32_t count = m_aStrokePoints.GetSize();
    if (count <= 1) {
        return;
    }
    const pointStruct first = m_aStrokePoints[0];
    const pointStruct last = m_aStrokePoints[count - 1];
    const float ex = last.x - first.x, ey = last.y - first.y;
    float ux = ex, uy = ey;
    Normalise(ux, uy);
    for (int32_t k = 0; k < count; ++k) {
        pointStruct& p = m_aStrokePoints[k];
        p.x = first.x + float(k) * ex / float(count);
        p.y = first.y + float(k) * ey / float(count);
        p.dx = ux;
        p.dy = uy;
    }
}

bool CPaintTool::RefreshDue() const {
    return gCClock::Microseconds() - m_nLastRelight >= kRefreshMicroseconds;
}

error CPaintTool::RenderDirty(CCanvas* canvas) {
    m_nLastRelight = gCClock::Microseconds();
    if (!canvas || !canvas->Composite()) {
        return eNoError;
    }
    CRenderer* renderer = canvas->CurrentRenderer();
    return renderer ? renderer->Render(canvas->Composite(), *canvas, 0) : eNoError;
}

void CPaintTool::Spline(float d) {
    const int32_t count = m_aRawPoints.GetSize();
    if (count <= 2) {
        return;
    }
    const int32_t i = m_nRawCursor;
    const pointStruct p1 = m_aRawPoints[i];
    const pointStruct p2 = m_aRawPoints[i + 1];
    pointStruct p0 = i == 0 ? p1 : m_aRawPoints[i - 1];
    pointStruct p3 = i + 1 == count - 1 ? p2 : m_aRawPoints[i + 2];
    // A corner stops the curve from bending through it.
    const bool same0 = p0.x == p1.x && p0.y == p1.y;
    if (!same0 && IsCorner(p1.x - p0.x, p1.y - p0.y, p2.x - p1.x, p2.y - p1.y)) {
        p0 = p1;
    }
    const bool same3 = p3.x == p2.x && p3.y == p2.y;
    if (!same3 && IsCorner(p2.x - p1.x, p2.y - p1.y, p3.x - p2.x, p3.y - p2.y)) {
        p3 = p2;
    }

    // A step too small to move t (a piece of unbounded length) ends the
    // walk instead of running it forever.
    const float step = m_rPointSpacing / d;
    float t = 0.0f;
    for (;;) {
        pointStruct pt;
        pt.x = DoSpline(p0.x, p1.x, p2.x, p3.x, t);
        pt.y = DoSpline(p0.y, p1.y, p2.y, p3.y, t);
        pt.pressure =
            RoundToInt32(float(p1.pressure) + (float(p2.pressure) - float(p1.pressure)) * t,
                         -kIntLimit, kIntLimit);
        AddStrokePt(pt, 0);
        const float next = t + step;
        if (!(next > t) || !(next < 1.0f)) {
            break;
        }
        t = next;
    }

    if (count < 5) {
        ++m_nRawCursor;
    } else {
        m_aRawPoints.RemoveAt(0);
    }
}

void CPaintTool::AddStrokePt(pointStruct pt, int32_t final) {
    if (m_nLastStrokePoint >= 0 && !final) {
        const pointStruct& last = m_aStrokePoints[m_nLastStrokePoint];
        if (std::fabs(pt.x - last.x) < m_rPointSpacing &&
            std::fabs(pt.y - last.y) < m_rPointSpacing) {
            return;
        }
    }
    pt.dx = pt.dy = 0.0f;
    if (m_aStrokePoints.Add(pt) != eNoError) {
        return; // no room: the stroke goes on with the points it has
    }
    const int32_t m = m_aStrokePoints.GetSize() - 1;
    m_nLastStrokePoint = m;
    pointStruct* p = m_aStrokePoints.GetData();

    // Each point is pulled toward an even share of the chord ahead of it,
    // less so near a corner and not at all right after one.
    const int32_t s = m_nSmoothingCursor;
    if (m >= s + 3) {
        const int32_t a = std::max(s - 1, 0);
        const pointStruct q0 = p[s], q2 = p[s + 2], q3 = p[s + 3];
        pointStruct& q1 = p[s + 1];
        const float inX = p[a + 1].x - p[a].x, inY = p[a + 1].y - p[a].y;
        if (IsCorner(inX, inY, q1.x - q0.x, q1.y - q0.y)) {
            // right after a corner: nothing moves
        } else if (IsCorner(q1.x - q0.x, q1.y - q0.y, q2.x - q1.x, q2.y - q1.y)) {
            q1.x = q0.x + (q1.x - q0.x) * 0.5f;
            q1.y = q0.y + (q1.y - q0.y) * 0.5f;
        } else if (IsCorner(q2.x - q1.x, q2.y - q1.y, q3.x - q2.x, q3.y - q2.y)) {
            q1.x = q0.x + (q2.x - q0.x) * 0.33333f;
            q1.y = q0.y + (q2.y - q0.y) * 0.33333f;
        } else {
            q1.x = q0.x + (q3.x - q0.x) * 0.25f;
            q1.y = q0.y + (q3.y - q0.y) * 0.25f;
        }
        if (!final) {
            ++m_nSmoothingCursor;
        }
    }

    if (m_nDirectionCursor < m_nSmoothingCursor && m_nDirectionCursor + 1 <= m) {
        NormalCalc(m_nDirectionCursor);
        ++m_nDirectionCursor;
    }

    // The end of the stroke: the unsmoothed tail goes on straight from the
    // last smoothed step, its pressure ramping to the final point's.
    const int32_t tail = m_nSmoothingCursor;
    if (final && tail > 0) {
        const float stepX = p[tail].x - p[tail - 1].x;
        const float stepY = p[tail].y - p[tail - 1].y;
        const int32_t from = p[tail - 1].pressure;
        const float rise = (float(p[m].pressure) - float(from)) / float(m - tail + 1);
        for (int32_t k = tail; k <= m; ++k) {
            p[k].x = p[k - 1].x + stepX;
            p[k].y = p[k - 1].y + stepY;
            p[k].dx = p[k - 1].dx;
            p[k].dy = p[k - 1].dy;
            p[k].pressure = from + RoundToInt32(rise * float(k - tail + 1), -kIntLimit, kIntLimit);
        }
    }
}

void CPaintTool::NormalCalc(int32_t i) {
    pointStruct* p = m_aStrokePoints.GetData();
    int32_t a = 0, b = 1;
    if (i >= 1) {
        b = i + 1;
        a = i - 1;
        if (IsCorner(p[i].x - p[i - 1].x, p[i].y - p[i - 1].y, p[i + 1].x - p[i].x,
                     p[i + 1].y - p[i].y)) {
            a = i;
        }
    }
    float vx = p[b].x - p[a].x, vy = p[b].y - p[a].y;
    Normalise(vx, vy);
    p[i].dx = p[b].dx = vx;
    p[i].dy = p[b].dy = vy;
    p[i].pressure = int32_t((int64_t(p[b].pressure) + p[i].pressure + p[a].pressure) / 3);
}
