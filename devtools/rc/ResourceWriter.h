#pragma once
// Writes the resource file through the toolkit's file stream: the version
// block first, then every block in source order, its header here and its
// payload by its kind. A whole new file that replaces the old one only when
// every write succeeded.

#include <string>
#include <vector>

#include "devtools/rc/Diagnostics.h"
#include "devtools/rc/SourceModel.h"

// Writes system.vrf; locations receives each block's header position.
bool WriteResourceFile(const std::string& path, const ResourceSources& sources,
                       std::vector<int64_t>& locations, Diagnostics& diagnostics);

// Writes a resource file of just these blocks (the version block first),
// for a build step that loads them with the program's own code.
bool WriteResourceBlocks(const std::string& path, const std::vector<const ResourceBlock*>& blocks,
                         Diagnostics& diagnostics);
