#pragma once
// Reads the compiler's sources: every *.yaml file of a folder, in name
// order. A file may hold a list of string-table entries under "strings"
// (see StringTable.h) and a list of resource blocks under "blocks":
//
//   blocks:
//     - kind: image           # a name in the table of kinds (BlockKinds.cpp)
//       id: 7                 # Int32, decimal or 0x hex
//       name: logo
//       file: art/logo.png    # the keys of the kind, see its source in kinds/
//
// Refused, with the file and line: unknown sections, kinds and keys, blocks
// without a name, names holding LF, CR or NUL, duplicate names (across all
// blocks), duplicate ids (per block tag), names of blocks that no block of
// the kind referred to has, and whatever a kind refuses of its own keys.

#include <string>

#include "devtools/rc/Diagnostics.h"
#include "devtools/rc/SourceModel.h"

// False once an error is reported (the diagnostics hold every one found);
// sources are then left as they were. Warnings do not fail.
bool ReadSources(const std::string& folder, ResourceSources& sources, Diagnostics& diagnostics);
