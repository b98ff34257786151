#pragma once
// What the fuzz targets and their seed maker share: a scratch folder that
// the readers open files in by colon path, as a user's file reaches them,
// and the blocks of a resource file. Built only with clang; see the README.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/gCString.h"

namespace fuzz {

using Bytes = std::vector<uint8_t>;

// SDL's dummy video and audio drivers: nothing opens a window or a device.
void UseHeadlessDrivers();

// A folder of this process under /tmp, registered as the volume "Fuzz" on
// first use and removed at exit. The leaf's POSIX path in it, and its
// colon path ("Fuzz:leaf").
std::string ScratchPosix(const char* leaf);
gCString ScratchColon(const char* leaf);
// Writes the bytes to the leaf, replacing it; false when it cannot.
bool WriteScratch(const char* leaf, const uint8_t* data, size_t size);

Bytes ReadWholeFile(const std::string& posixPath);
bool WriteWholeFile(const std::string& posixPath, const Bytes& bytes);

// One block of a resource file: its tag, the position of its 8-byte header,
// the size of its data, and how many of those bytes are the resource header
// (the id and the name with its line end; 0 for the version block).
struct SResBlock {
    uint32_t tag = 0;
    size_t at = 0;
    size_t size = 0;
    size_t headerBytes = 0;
    size_t Payload() const { return at + 8 + headerBytes; }
    size_t PayloadBytes() const { return size - headerBytes; }
};

// The chain of blocks of a well-formed resource file (what the build
// wrote); it stops at the first block it cannot follow.
std::vector<SResBlock> ResBlocks(const Bytes& file);
// The blocks whose tag is one of the given, in file order.
std::vector<SResBlock> BlocksTagged(const Bytes& file, const std::vector<uint32_t>& tags);
// The block's name (the UTF-16 name of its resource header).
gCString BlockName(const Bytes& file, const SResBlock& block);
// The file with the block's data after its resource header replaced by the
// payload, the block's size following it.
Bytes Spliced(const Bytes& file, const SResBlock& block, const uint8_t* payload, size_t size);
// A whole block: tag, size, id, name (ASCII) with its line end, payload.
Bytes ResourceBlock(uint32_t tag, int32_t id, const char* name, const Bytes& payload);

// The interface's built resource file (system.vrf), read once; empty when
// it is missing.
const Bytes& BuiltResourceFile();
// The built string-table file (system.vsf).
std::string BuiltStringTablePath();

// The file without the blocks of those tags.
Bytes Without(const Bytes& file, const std::vector<uint32_t>& tags);
// The version block and the one block given, as a file of their own.
Bytes VersionAnd(const Bytes& file, const SResBlock& block);
// The file the resource-block target splices into: the built file without
// its fonts and sounds (the fonts are read from the built file itself),
// with a text list of two items at the end.
const Bytes& WidgetBase();
// The tags the resource-block target feeds: every widget class the
// constructor builds from the file, and the text list.
const std::vector<uint32_t>& WidgetAndListTags();

} // namespace fuzz
