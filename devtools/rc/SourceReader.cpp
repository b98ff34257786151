#include "devtools/rc/SourceReader.h"

#include <algorithm>
#include <map>
#include <set>

#include "devtools/rc/BlockKinds.h"
#include "devtools/rc/SourceFile.h"
#include "devtools/rc/StringTable.h"

namespace fs = std::filesystem;

namespace {

// The fields every block has, then its kind's own.
void ReadBlock(CSourceFile& source, const YAML::Node& entry, std::vector<ResourceBlock>& blocks) {
    if (!entry.IsMap()) {
        source.Error(entry, "expected a map");
        return;
    }
    std::string name;
    if (!source.Scalar(entry, "kind", name)) {
        return;
    }
    const CBlockKind* kind = FindBlockKind(name);
    if (!kind) {
        source.Error(entry["kind"], "unknown kind \"" + name + "\"");
        return;
    }
    ResourceBlock block;
    block.kind = kind;
    block.tag = kind->Tag();
    block.place = source.Place(entry);
    std::vector<const char*> keys{"kind", "id", "name"};
    const std::vector<const char*> own = kind->Keys();
    keys.insert(keys.end(), own.begin(), own.end());
    int64_t id = 0;
    if (!source.KnownKeys(entry, keys) || !source.Integer(entry, "id", INT32_MIN, INT32_MAX, id) ||
        !source.Text(entry, "name", true, block.name) || !kind->Read(source, entry, block) ||
        !kind->Check(source, entry, block)) {
        return;
    }
    if (block.name.empty()) {
        source.Error(entry["name"], "a block needs a name");
        return;
    }
    block.id = int32_t(id);
    blocks.push_back(std::move(block));
}

template <typename Each> void ForEach(CSourceFile& source, const YAML::Node& list, Each each) {
    if (!list.IsSequence()) {
        source.Error(list, "expected a list");
        return;
    }
    for (const YAML::Node& n : list) {
        each(n);
    }
}

void ReadFile(CSourceFile& source, ResourceSources& sources, Diagnostics& diagnostics) {
    YAML::Node root;
    try {
        root = YAML::LoadFile(source.Path().string());
    } catch (const YAML::Exception& e) {
        diagnostics.Error({source.Path().string(), e.mark.line + 1}, e.msg);
        return;
    }
    if (root.IsNull()) {
        return;
    }
    if (!root.IsMap()) {
        source.Error(root, "expected a map with \"strings\" and/or \"blocks\"");
        return;
    }
    for (const auto& item : root) {
        const std::string key = item.first.as<std::string>();
        if (key == "strings") {
            ForEach(source, item.second,
                    [&](const YAML::Node& n) { ReadStringEntry(source, n, sources.strings); });
        } else if (key == "blocks") {
            ForEach(source, item.second,
                    [&](const YAML::Node& n) { ReadBlock(source, n, sources.blocks); });
        } else {
            source.Error(item.first, "unknown section \"" + key + "\"");
        }
    }
}

// Names unique across the blocks, ids unique per block tag, and every
// block referred to present with its tag.
void CheckBlocks(const std::vector<ResourceBlock>& blocks,
                 const std::vector<BlockReference>& references, Diagnostics& diagnostics) {
    std::map<std::string, SourcePlace> names;
    std::map<std::pair<uint32_t, int32_t>, SourcePlace> ids;
    std::set<std::pair<uint32_t, std::string>> present;
    for (const ResourceBlock& b : blocks) {
        if (auto [it, fresh] = names.emplace(b.name, b.place); !fresh) {
            diagnostics.Error(b.place, "duplicate name \"" + b.name + "\" (first at " +
                                           Where(it->second) + ")");
        }
        if (auto [it, fresh] = ids.emplace(std::make_pair(b.tag, b.id), b.place); !fresh) {
            diagnostics.Error(b.place, "duplicate id " + std::to_string(b.id) +
                                           " for this kind (first at " + Where(it->second) + ")");
        }
        present.emplace(b.tag, b.name);
    }
    for (const BlockReference& r : references) {
        if (!present.count({r.tag, r.name})) {
            diagnostics.Error(r.place, "no " + r.what + " block is named \"" + r.name + "\"");
        }
    }
}

} // namespace

bool ReadSources(const std::string& folder, ResourceSources& sources, Diagnostics& diagnostics) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(folder, ec)) {
        if (item.is_regular_file() && item.path().extension() == ".yaml") {
            files.push_back(item.path());
        }
    }
    if (ec) {
        diagnostics.Error("cannot read the source folder " + folder + ": " + ec.message());
        return false;
    }
    std::sort(files.begin(), files.end());
    // Read aside: sources take only a reading without errors.
    ResourceSources read;
    std::vector<BlockReference> references;
    for (const fs::path& path : files) {
        CSourceFile source(path, diagnostics, references);
        ReadFile(source, read, diagnostics);
    }
    CheckBlocks(read.blocks, references, diagnostics);
    if (!diagnostics.Failed()) {
        for (const CBlockKind* kind : BlockKinds()) {
            kind->Derive(read.blocks, diagnostics);
        }
    }
    for (const CBlockKind* kind : BlockKinds()) {
        kind->CheckAll(read.blocks, diagnostics);
    }
    CheckStringEntries(read.strings, diagnostics);
    if (diagnostics.Failed()) {
        return false;
    }
    sources = std::move(read);
    return true;
}
