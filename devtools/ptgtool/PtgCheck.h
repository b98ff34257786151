#pragma once
// A project file (.ptg) walked byte by byte, apart from the program's own
// loader: every block with its offset and what it holds, and every problem
// found. A problem is what the loader refuses, or what it takes although the
// format does not hold it (a float outside 0..1 or not finite, a tool type
// above 7, a tracing mode other than 0 or 1, a fit mode outside 0 to 2, a
// layer PNG that is not colour with alpha at 8 bits or that carries a
// background colour, bytes after the project block's height, a tool size or
// stroke number before the tool type).

#include <cstdint>
#include <string>
#include <vector>

namespace ptgcheck {

struct SProblem {
    uint64_t offset = 0;
    std::string text;
};

struct SBlockInfo {
    uint64_t offset = 0;
    uint32_t id = 0;
    int64_t length = 0;
    // The value, or the image's size and PNG type, as text.
    std::string content;
};

struct SReport {
    std::string line1, line2;
    uint32_t version = 0;
    bool hasVersion = false;
    std::vector<SBlockInfo> blocks;
    std::vector<SProblem> problems;
};

SReport Check(const std::vector<unsigned char>& file);

} // namespace ptgcheck
