#pragma once
// Reads the written resource file back with the toolkit's own loaders: the
// index, every block found by id and by name with its payload read back by
// its kind, then loaded by the program's loader for its tag. Whatever does
// not come back as written is an error at its source entry.

#include <string>
#include <vector>

#include "devtools/rc/Diagnostics.h"
#include "devtools/rc/SourceModel.h"

// False once what does not read back is reported; the file is left as it
// is.
bool VerifyResourceFile(const std::string& path, const ResourceSources& sources,
                        const std::vector<int64_t>& locations, Diagnostics& diagnostics);
