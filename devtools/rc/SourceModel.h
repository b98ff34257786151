#pragma once
// What the sources describe: the string table's entries and the resource
// file's blocks, in source order, each with the place it came from.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "devtools/rc/Diagnostics.h"
#include "foundation/Error.h"

class gCStream;
class gCFile;
class gCResourceObject;

struct StringEntry {
    uint32_t id = 0;
    std::string name; // UTF-8, may be empty
    std::string text; // UTF-8, variants separated by '|'
    SourcePlace place;
};

// The payload of one block: what follows the resource header.
class Payload {
public:
    virtual ~Payload() = default;
    // Writes the payload at the stream's position.
    virtual error Write(gCStream& stream) const = 0;
    // Reads the payload back from the file's position, the block having
    // been found for the object; false with the reason when it differs
    // from what was written.
    virtual bool ReadBack(gCFile& file, gCResourceObject& found, std::string& why) const = 0;
};

struct ResourceBlock {
    uint32_t tag = 0;
    int32_t id = 0;
    std::string name; // UTF-8, never empty
    std::unique_ptr<Payload> payload;
    SourcePlace place;
};

struct ResourceSources {
    std::vector<StringEntry> strings;
    std::vector<ResourceBlock> blocks;
};

// The version the compiler writes in the resource file's version block.
inline constexpr int32_t kResourceFileVersion = 2;
