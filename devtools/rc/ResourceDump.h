#pragma once
// Lists a resource file's blocks, one line each: tag, id, name and the size
// of the block's data (the version block shows its version instead of an id
// and name). The kind of a block's tag may list its payload below its line.

#include <ostream>
#include <string>

// 0 when the whole file was listed, else the error that ended the listing
// (the lines of the blocks before it stay written).
int DumpResourceFile(const std::string& path, std::ostream& out);

// Writes the file's blocks as sources the compiler takes back: widget blocks
// and text lists in their source form, every other block as a raw block of
// its bytes. Compiling the output gives the same file. 0, or the error that
// ended the dump (nothing is written then).
int DumpResourceSource(const std::string& path, std::ostream& out);
