#pragma once
// One YAML source file while its entries are read: the place of a node,
// errors and warnings there, and the typed fields every entry uses. Each
// field reader reports what is wrong at the node and returns false, its
// output then left as it was.

#include <yaml-cpp/yaml.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "devtools/rc/Diagnostics.h"

// A block an entry names, which must exist once all sources are read.
struct BlockReference {
    uint32_t tag = 0;
    std::string what; // the kind of block, for the message ("image")
    std::string name; // UTF-8
    SourcePlace place;
};

class CSourceFile {
public:
    CSourceFile(std::filesystem::path path, Diagnostics& diagnostics,
                std::vector<BlockReference>& references)
        : m_Path(std::move(path)), m_Diagnostics(diagnostics), m_References(references) {}

    const std::filesystem::path& Path() const { return m_Path; }
    SourcePlace Place(const YAML::Node& node) const;
    void Error(const YAML::Node& node, const std::string& message);
    void Warning(const YAML::Node& node, const std::string& message);

    // The entry is a map whose keys are all known; true when they are.
    bool KnownKeys(const YAML::Node& entry, const std::vector<const char*>& keys);
    // A single value, required.
    bool Scalar(const YAML::Node& entry, const char* key, std::string& value);
    // An integer in decimal or 0x hex within [low, high], required.
    bool Integer(const YAML::Node& entry, const char* key, int64_t low, int64_t high,
                 int64_t& value);
    // A text that the stream's line reader gives back whole: no line feed,
    // return or NUL. An optional text that is absent is left as it is.
    bool Text(const YAML::Node& entry, const char* key, bool required, std::string& value);
    // The bytes of the file the entry's "file" names, relative to this file:
    // the whole file or, reported, false with bytes left as they were.
    bool FileBytes(const YAML::Node& entry, std::string& bytes);

    // Notes that the node (a name) refers to a block of the tag; a name no
    // such block has is refused after all sources are read.
    void Refer(uint32_t tag, const std::string& what, const YAML::Node& node);

private:
    std::filesystem::path m_Path;
    Diagnostics& m_Diagnostics;
    std::vector<BlockReference>& m_References;
};
