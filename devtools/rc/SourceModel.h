#pragma once
// What the sources describe: the string table's entries and the resource
// file's blocks, in source order, each with the place it came from.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "devtools/rc/Diagnostics.h"

class CBlockKind;

struct StringEntry {
    uint32_t id = 0;
    std::string name; // UTF-8, may be empty
    std::string text; // UTF-8, variants separated by '|'
    SourcePlace place;
};

// What a block kind reads from its source entry and writes as the block's
// payload; each kind defines its own.
class BlockModel {
public:
    virtual ~BlockModel() = default;
};

struct ResourceBlock {
    const CBlockKind* kind = nullptr; // the kind that read it and writes it
    uint32_t tag = 0;
    int32_t id = 0;
    std::string name; // UTF-8, never empty
    std::unique_ptr<BlockModel> model;
    SourcePlace place;
};

struct ResourceSources {
    std::vector<StringEntry> strings;
    std::vector<ResourceBlock> blocks;
};

// The version the compiler writes in the resource file's version block.
inline constexpr int32_t kResourceFileVersion = 2;
