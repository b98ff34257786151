#include "devtools/rc/ResourceVerifier.h"

#include <set>

#include "FileIO/ResourceTags.h"
#include "FileIO/gCResourceIndex.h"
#include "FileIO/gCResourceObject.h"
#include "devtools/rc/BlockKind.h"
#include "devtools/rc/LoaderCheck.h"
#include "devtools/rc/PosixFile.h"
#include "devtools/rc/Text.h"

namespace {

// One block: found by id from the start and by name from the end of the
// file (a wrapping search), its payload read back to the block's end.
bool VerifyBlock(gCFile& file, const gCResourceIndex& index, const ResourceBlock& block,
                 int64_t location, bool idFirstInFile, std::string& why) {
    const gCString name = ToGString(block.name);
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
        byID.GetResID() != block.id || !SameText(byID.GetResName(), block.name)) {
        why = "it is not found by its id";
        return false;
    }
    const int64_t payload = file.GetFilePos();
    if (!block.kind->Verify(block, file, byID, why)) {
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
    error e = OpenPosixFile(file, path, eAccessReadOnly);
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
            !SameText(entry->m_Name, block.name)) {
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
