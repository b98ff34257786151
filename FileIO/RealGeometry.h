#pragma once
// Value types with float coordinates that the tagged records store beside
// the integer ones of Geometry.h.

struct C3RPoint {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

struct gCRRect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
};
