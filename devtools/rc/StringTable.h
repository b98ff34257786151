#pragma once
// The string table file (system.vsf) from the sources' "strings" entries:
//
//   strings:
//     - id: 0xB2D05E00        # decimal or 0x hex
//       name: ApplicationName # optional
//       text: Daublin         # variants separated by '|'
//
// Refused, with the file and line: empty texts or an empty last variant,
// texts and names holding LF, CR or NUL, duplicate ids and names. Each
// record is Uint32 id, Int32 0, the name and the text (UTF-16LE + LF CR).

#include <string>
#include <vector>

#include "devtools/rc/Diagnostics.h"
#include "devtools/rc/SourceModel.h"

namespace YAML {
class Node;
}
class CSourceFile;

// Appends the entry, or reports what is wrong with it and appends nothing.
void ReadStringEntry(CSourceFile& source, const YAML::Node& entry,
                     std::vector<StringEntry>& strings);
// Ids and names (those given) unique across all entries.
void CheckStringEntries(const std::vector<StringEntry>& strings, Diagnostics& diagnostics);

bool WriteStringTableFile(const std::string& path, const ResourceSources& sources,
                          Diagnostics& diagnostics);
// Reads the file back with the toolkit's string table: every entry by id
// and by name, every variant, and the look-up straight from the file. False
// once what does not read back is reported; the file is left as it is.
bool VerifyStringTableFile(const std::string& path, const ResourceSources& sources,
                           Diagnostics& diagnostics);
