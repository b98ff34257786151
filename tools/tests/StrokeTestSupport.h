#pragma once
// What the paint tools' tests share: a stroke point, a tool made as the
// backbone makes it, and the strokes, case names and test names of the
// golden pictures.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Error.h"
#include "paint/PaintTool.h"
#include "paint/ToolId.h"
#include "testsupport/paint/StrokeRecipes.h"

namespace stroketest {

// A stroke point with its pressure and unit direction (along +x unless
// given).
inline CPaintTool::pointStruct Pt(float x, float y, int32_t pressure, float dx = 1.0f,
                                  float dy = 0.0f) {
    CPaintTool::pointStruct p;
    p.x = x;
    p.y = y;
    p.pressure = pressure;
    p.dx = dx;
    p.dy = dy;
    return p;
}

// A T as the backbone makes the tool of that id: set up, then typed. Null
// when the set-up fails.
template <class T> std::unique_ptr<T> MakeTool(int32_t id) {
    auto tool = std::make_unique<T>();
    if (tool->SetupTool() != eNoError) {
        return nullptr;
    }
    tool->SetType(id);
    return tool;
}

// The golden strokes on a 200 x 150 canvas: 0 a figure-eight, 1 a zig-zag
// with 100 degree turns, 2 a click, 3 a flick.
inline CStroke GoldenStroke(int32_t recipe) {
    switch (recipe) {
    case 0:
        return StrokeRecipes::FigureEight(240, 200.0, 150.0);
    case 1:
        return StrokeRecipes::ZigZag(4, 60.0, 100.0, 2.0, 40.0, 40.0, 0.3, 0.9);
    case 2:
        return StrokeRecipes::Click(100.0, 75.0, 0.6);
    default:
        return StrokeRecipes::Flick(90.0, 75.0, 0.7);
    }
}

// One golden case: the tool's id, the golden stroke and the linear size in
// tenths.
struct SGoldenCase {
    int32_t tool;
    int32_t recipe;
    int32_t linear; // 0, 3 or 10
};

// Every tool with each of the first `recipes` golden strokes at linear
// sizes 0, 0.3 and 1.
inline std::vector<SGoldenCase> GoldenCases(std::initializer_list<int32_t> tools, int32_t recipes) {
    std::vector<SGoldenCase> cases;
    for (int32_t tool : tools) {
        for (int32_t recipe = 0; recipe < recipes; ++recipe) {
            for (int32_t linear : {0, 3, 10}) {
                cases.push_back({tool, recipe, linear});
            }
        }
    }
    return cases;
}

// "<tool>-<stroke>-lin<tenths>", the rows' names in a golden table.
inline std::string GoldenName(const std::string& tool, const SGoldenCase& c) {
    static const char* const recipes[] = {"figure8", "zigzag100", "click", "flick"};
    return tool + "-" + recipes[c.recipe] + "-lin" + std::to_string(c.linear);
}

// A golden's name as a test name: '-' becomes '_'.
inline std::string TestName(std::string name) {
    for (char& ch : name) {
        ch = ch == '-' ? '_' : ch;
    }
    return name;
}

} // namespace stroketest
