#pragma once
// Running a test on every instruction-set path of the optimised pixel
// loops: each path present in this build and on this processor, the plain
// one first, so that every vector loop is compared with the plain reference
// on whatever machine runs the tests.
//
//     for (CPixelPaths::EPath path : PresentPixelPaths()) {
//         CForcePixelPath force(path);
//         SCOPED_TRACE(CPixelPaths::Name(path));
//         ...
//     }

#include <vector>

#include "imaging/PixelPaths.h"

inline std::vector<CPixelPaths::EPath> PresentPixelPaths() {
    std::vector<CPixelPaths::EPath> paths;
    for (int32_t p = 0; p < CPixelPaths::kPathCount; ++p) {
        if (CPixelPaths::IsPresent(CPixelPaths::EPath(p))) {
            paths.push_back(CPixelPaths::EPath(p));
        }
    }
    return paths;
}
