#pragma once
// Reads both written files back with the toolkit's own loaders: the
// resource file's index, every block found by id and by name with its
// payload, and the string table with every entry and variant. Whatever does
// not come back as written is an error at its source entry.

#include <string>
#include <vector>

#include "devtools/rc/Diagnostics.h"
#include "devtools/rc/SourceModel.h"

bool VerifyResourceFile(const std::string& path, const ResourceSources& sources,
                        const std::vector<int64_t>& locations, Diagnostics& diagnostics);
bool VerifyStringTableFile(const std::string& path, const ResourceSources& sources,
                           Diagnostics& diagnostics);
