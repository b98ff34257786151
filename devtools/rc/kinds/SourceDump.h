#pragma once
// Helpers of the kinds that dump their blocks in source form.

#include <cstdint>
#include <string>

class gCFile;

// UTF-16LE units up to a zero unit (read and dropped), as UTF-8; false when
// `end` comes first or the units are no text.
bool ReadDumpUnits(gCFile& file, int64_t end, std::string& text);
// UTF-16LE units up to a line feed and return (read and dropped), as UTF-8,
// as block names are stored; false as ReadDumpUnits.
bool ReadDumpName(gCFile& file, int64_t end, std::string& text);
// Drops the line feed a chunk string ends in; false without one.
bool DropChunkLineEnd(std::string& text);
// The text as a double-quoted YAML scalar.
std::string DumpQuoted(const std::string& text);
