#include "devtools/rc/ResourceWriter.h"

#include "FileIO/ResourceTags.h"
#include "devtools/rc/BlockKind.h"
#include "devtools/rc/PosixFile.h"
#include "devtools/rc/Text.h"

namespace {

// One block: the header with its size patched in once the data is written.
error WriteBlock(gCFile& file, const ResourceBlock& block, int64_t& location) {
    error e = eNoError;
    location = file.GetFilePos();
    if ((e = file.WriteUint32(block.tag)) != eNoError) {
        return e;
    }
    const int64_t sizeAt = file.GetFilePos();
    if ((e = file.WriteInt32(0)) != eNoError) {
        return e;
    }
    const int64_t data = file.GetFilePos();
    if ((e = file.WriteInt32(block.id)) != eNoError ||
        (e = file.WriteString(ToGString(block.name), 1)) != eNoError ||
        (e = block.kind->Write(block, file)) != eNoError) {
        return e;
    }
    const int64_t end = file.GetFilePos();
    if (end - data > INT32_MAX) {
        return eResourceWriteError;
    }
    if ((e = file.SetFilePos(sizeAt)) != eNoError ||
        (e = file.WriteInt32(int32_t(end - data))) != eNoError) {
        return e;
    }
    return file.SetFilePos(end);
}

// The version block, then the blocks in order.
bool WriteBlocks(const std::string& path, const std::vector<const ResourceBlock*>& blocks,
                 std::vector<int64_t>& locations, Diagnostics& diagnostics) {
    gCFile file;
    error e = OpenPosixFile(file, path, eAccessWholeNew);
    if (e != eNoError) {
        diagnostics.Error("cannot create " + path + " (error " + std::to_string(int(e)) + ")");
        return false;
    }
    if ((e = file.WriteUint32(kResVersionTag)) == eNoError &&
        (e = file.WriteInt32(4)) == eNoError) {
        e = file.WriteInt32(kResourceFileVersion);
    }
    locations.clear();
    for (const ResourceBlock* block : blocks) {
        if (e != eNoError) {
            break;
        }
        int64_t location = 0;
        e = WriteBlock(file, *block, location);
        locations.push_back(location);
    }
    return CloseWritten(file, path, e, diagnostics);
}

} // namespace

bool WriteResourceFile(const std::string& path, const ResourceSources& sources,
                       std::vector<int64_t>& locations, Diagnostics& diagnostics) {
    std::vector<const ResourceBlock*> blocks;
    for (const ResourceBlock& block : sources.blocks) {
        blocks.push_back(&block);
    }
    return WriteBlocks(path, blocks, locations, diagnostics);
}

bool WriteResourceBlocks(const std::string& path, const std::vector<const ResourceBlock*>& blocks,
                         Diagnostics& diagnostics) {
    std::vector<int64_t> locations;
    return WriteBlocks(path, blocks, locations, diagnostics);
}
