#pragma once
// Writes the resource file (the version block first, then every block in
// source order) and the string-table file through the toolkit's file
// stream, each as a whole new file that replaces the old one only when
// every write succeeded.

#include <string>
#include <vector>

#include "FileIO/gCFile.h"
#include "devtools/rc/Diagnostics.h"
#include "devtools/rc/SourceModel.h"

// Opens a file named by its POSIX path (made absolute) in an access mode of
// gCFile::Open.
error OpenPosixFile(gCFile& file, const std::string& path, int32_t access);

// Writes system.vrf; locations receives each block's header position.
bool WriteResourceFile(const std::string& path, const ResourceSources& sources,
                       std::vector<int64_t>& locations, Diagnostics& diagnostics);
bool WriteStringTableFile(const std::string& path, const ResourceSources& sources,
                          Diagnostics& diagnostics);
