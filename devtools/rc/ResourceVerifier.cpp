#include "devtools/rc/ResourceVerifier.h"

#include <set>

#include "FileIO/ResourceTags.h"
#include "FileIO/gCResourceIndex.h"
#include "FileIO/gCResourceObject.h"
#include "FileIO/gCStringTable.h"
#include "devtools/rc/LoaderCheck.h"
#include "devtools/rc/ResourceWriter.h"
#include "foundation/Utf8.h"

namespace {

gCString ToString(const std::string& utf8) {
    gCString s;
    gStringFromUtf8(s, utf8);
    return s;
}

bool Same(const gCString& s, const std::string& utf8) {
    return gStringToUtf8(s) == utf8;
}

// One block: found by id from the start and by name from the end of the
// file (a wrapping search), its payload read back to the block's end.
bool VerifyBlock(gCFile& file, const gCResourceIndex& index, const ResourceBlock& block,
                 int64_t location, bool idFirstInFile, std::string& why) {
    const gCString name = ToString(block.name);
    if (index.GetLocation(name) != location) {
        why = "its name does not lead to it in the index";
        return false;
    }
    if (idFirstInFile && index.GetLocation(block.id) != location) {
        why = "its id does not lead to it in the index";
        return false;
    }
    uint32_t tag = 0;
    int32_t size = 0;
    if (file.SetFilePos(location) != eNoError || file.ReadUint32(tag) != eNoError ||
        file.ReadInt32(size) != eNoError || tag != block.tag) {
        why = "its header does not read back";
        return false;
    }
    const int64_t end = location + 8 + size;

    gCResourceObject byID(block.tag);
    if (file.Rewind() != eNoError || byID.FindBlock(block.tag, block.id, &file) != eNoError ||
        byID.GetResID() != block.id || !Same(byID.GetResName(), block.name)) {
        why = "it is not found by its id";
        return false;
    }
    const int64_t payload = file.GetFilePos();
    if (!block.payload->ReadBack(file, byID, why)) {
        return false;
    }
    if (file.GetFilePos() != end) {
        why = "its payload does not fill its block";
        return false;
    }
    gCResourceObject byName(block.tag);
    if (file.FastForward() != eNoError || byName.FindBlock(block.tag, name, &file) != eNoError ||
        byName.GetResID() != block.id || file.GetFilePos() != payload) {
        why = "it is not found by its name";
        return false;
    }
    return true;
}

} // namespace

bool VerifyResourceFile(const std::string& path, const ResourceSources& sources,
                        const std::vector<int64_t>& locations, Diagnostics& diagnostics) {
    gCFile file;
    gCResourceIndex index;
    error e = OpenPosixFile(file, path, 1);
    if (e == eNoError) {
        e = index.SetupIndex(&file);
    }
    if (e != eNoError) {
        diagnostics.Error("cannot index " + path + " (error " + std::to_string(int(e)) + ")");
        return false;
    }
    uint32_t tag = 0;
    if (index.GetVersion() != kResourceFileVersion || file.Rewind() != eNoError ||
        file.ReadUint32(tag) != eNoError || tag != kResVersionTag) {
        diagnostics.Error(path + ": the version block does not read back");
        return false;
    }
    if (index.GetCount() != int32_t(sources.blocks.size()) ||
        locations.size() != sources.blocks.size()) {
        diagnostics.Error(path + ": the index does not hold every block");
        return false;
    }
    std::set<int32_t> ids;
    CLoaderCheck loaders;
    for (size_t i = 0; i < sources.blocks.size(); ++i) {
        const ResourceBlock& block = sources.blocks[i];
        const gCResourceIndex::SResEntry* entry = index.GetEntry(int32_t(i));
        std::string why;
        if (entry->m_nID != block.id || entry->m_nLocation != locations[i] ||
            !Same(entry->m_Name, block.name)) {
            why = "its index entry differs";
        } else {
            VerifyBlock(file, index, block, locations[i], ids.insert(block.id).second, why);
        }
        if (why.empty() && !loaders.Load(file, index, block, why) && why.empty()) {
            why = "its loader refuses it";
        }
        if (!why.empty()) {
            diagnostics.Error(block.place,
                              "block \"" + block.name + "\" does not read back: " + why);
        }
    }
    return !diagnostics.Failed();
}

bool VerifyStringTableFile(const std::string& path, const ResourceSources& sources,
                           Diagnostics& diagnostics) {
    gCFile file;
    gCStringTable table(1);
    error e = OpenPosixFile(file, path, 1);
    if (e == eNoError) {
        e = table.GetFromRes(&file);
    }
    if (e != eNoError || table.GetCount() != int32_t(sources.strings.size())) {
        diagnostics.Error("cannot load the string table " + path + " (error " +
                          std::to_string(int(e)) + ")");
        return false;
    }
    for (const StringEntry& s : sources.strings) {
        bool same = Same(table.GetEntry(s.id), s.text);
        if (!s.name.empty()) {
            int32_t id = 0;
            const gCString name = ToString(s.name);
            same = same && Same(table.GetEntry(name), s.text) &&
                   !Same(table.GetStringAndID(id, name, 0), "%%String Table Error") &&
                   uint32_t(id) == s.id;
        }
        // Every variant, and nothing after the last.
        size_t start = 0;
        int32_t field = 0;
        for (;; ++field) {
            const size_t bar = s.text.find('|', start);
            const std::string variant = s.text.substr(start, bar - start);
            same = same && Same(table.GetString(s.id, field), variant);
            if (bar == std::string::npos) {
                break;
            }
            start = bar + 1;
        }
        same =
            same && Same(table.GetString(s.id, field + 1), "%%String Table Error") &&
            Same(gCStringTable::FindFromFile(&file, s.id, 0), s.text.substr(0, s.text.find('|')));
        if (!same) {
            diagnostics.Error(s.place, "the text of string " + std::to_string(s.id) +
                                           " does not read back as written");
        }
    }
    return !diagnostics.Failed();
}
