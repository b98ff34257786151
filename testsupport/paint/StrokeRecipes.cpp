#include "testsupport/paint/StrokeRecipes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <sstream>
#include <string>

namespace StrokeRecipes {

namespace {

SStrokeSample Sample(size_t i, double x, double y, double p) {
    return {static_cast<uint32_t>(5 * i), QuantiseCoord(x), QuantiseCoord(y), QuantisePressure(p)};
}

// A raw output as a fraction in [0, 1).
double Unit(std::mt19937& rng) {
    return static_cast<double>(rng()) / 4294967296.0;
}

} // namespace

float QuantiseCoord(double v) {
    return static_cast<float>(std::round(std::clamp(v, -1.0e7, 1.0e7) * 64.0) / 64.0);
}

int32_t QuantisePressure(double p) {
    return static_cast<int32_t>(std::round(std::clamp(p * 1024.0, 0.0, 1224.0)));
}

CStroke FigureEight(int32_t n, double w, double h) {
    CStroke s;
    for (int32_t i = 0; i < n; ++i) {
        const double th = 2.0 * std::numbers::pi * i / n;
        s.push_back(Sample(s.size(), w / 2 + 0.4 * w * std::sin(th),
                           h / 2 + 0.8 * h * std::sin(th) * std::cos(th),
                           0.5 + 0.45 * std::sin(3.0 * th)));
    }
    return s;
}

CStroke ZigZag(int32_t legs, double legLength, double turnDeg, double step, double x0, double y0,
               double p0, double p1) {
    struct P {
        double x, y;
    };
    std::vector<P> pts{{x0, y0}};
    double heading = 0.0, x = x0, y = y0;
    const double turn = turnDeg * std::numbers::pi / 180.0;
    const int32_t per = std::max(1, static_cast<int32_t>(std::ceil(legLength / step)));
    for (int32_t leg = 0; leg < legs; ++leg) {
        for (int32_t k = 1; k <= per; ++k) {
            const double d = std::min(legLength, k * step);
            pts.push_back({x + d * std::cos(heading), y + d * std::sin(heading)});
        }
        x = pts.back().x;
        y = pts.back().y;
        heading += leg % 2 == 0 ? turn : -turn;
    }
    CStroke s;
    const size_t n = pts.size();
    for (size_t i = 0; i < n; ++i) {
        const double f = n > 1 ? static_cast<double>(i) / static_cast<double>(n - 1) : 0.0;
        s.push_back(Sample(i, pts[i].x, pts[i].y, p0 + (p1 - p0) * f));
    }
    return s;
}

CStroke Click(double x, double y, double p) {
    return {Sample(0, x, y, p), Sample(1, x, y, p)};
}

CStroke Flick(double x, double y, double p) {
    return {Sample(0, x, y, p), Sample(1, x + 3, y, p), Sample(2, x + 6, y, p),
            Sample(3, x + 6, y, p)};
}

CStroke SlowDrag(int32_t n, double x, double y, double p) {
    CStroke s;
    for (int32_t i = 0; i < n; ++i) {
        s.push_back(Sample(s.size(), x + i, y, p));
    }
    return s;
}

CStroke HeldPen(int32_t n, double x, double y, double p) {
    CStroke s;
    for (int32_t i = 0; i < n; ++i) {
        s.push_back(Sample(s.size(), x, y, p));
    }
    return s;
}

CStroke RandomWalk(uint32_t seed, int32_t n, double w, double h) {
    std::mt19937 rng(seed);
    double x = w * Unit(rng), y = h * Unit(rng);
    double heading = 2.0 * std::numbers::pi * Unit(rng);
    CStroke s;
    for (int32_t i = 0; i < n; ++i) {
        s.push_back(Sample(s.size(), x, y, static_cast<double>(rng() % 1225u) / 1024.0));
        const uint32_t kind = rng();
        if (kind % 32u == 0) {
            x = -50.0 + (w + 100.0) * Unit(rng);
            y = -50.0 + (h + 100.0) * Unit(rng);
            continue;
        }
        if (kind % 8u == 1) {
            heading += std::numbers::pi * (0.5 + Unit(rng)); // 90 to 270 degrees
        } else {
            heading += (Unit(rng) - 0.5) * 0.7; // about 20 degrees either way
        }
        const double step = 0.2 + 39.8 * Unit(rng);
        x += step * std::cos(heading);
        y += step * std::sin(heading);
    }
    return s;
}

std::string ToText(const CStroke& stroke) {
    std::string out;
    char line[96];
    for (const SStrokeSample& s : stroke) {
        std::snprintf(line, sizeof line, "%u %.6f %.6f %d\n", s.t, static_cast<double>(s.x),
                      static_cast<double>(s.y), s.q);
        out += line;
    }
    return out;
}

bool FromText(const std::string& text, CStroke& stroke, int32_t& badLine) {
    stroke.clear();
    std::istringstream in(text);
    std::string line;
    for (int32_t number = 1; std::getline(in, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) {
            continue;
        }
        std::istringstream fields(line);
        double t = 0, x = 0, y = 0, q = 0;
        std::string rest;
        if (!(fields >> t >> x >> y >> q) || (fields >> rest) || !std::isfinite(x) ||
            !std::isfinite(y) || !(t >= 0 && t <= 4294967295.0) || !std::isfinite(q)) {
            badLine = number;
            return false;
        }
        SStrokeSample s;
        s.t = static_cast<uint32_t>(t);
        s.x = QuantiseCoord(x);
        s.y = QuantiseCoord(y);
        s.q = QuantisePressure(q / 1024.0);
        stroke.push_back(s);
    }
    return true;
}

} // namespace StrokeRecipes
