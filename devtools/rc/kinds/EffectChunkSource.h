#pragma once
// The effect chunks of widget blocks in source form: a map of keys per
// chunk (testsupport/widgets/EffectChunkWriter.h lists them), read into the
// chunk's payload fields and dumped back from them.

#include <yaml-cpp/yaml.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "testsupport/widgets/WidgetBlockWriter.h"

class CSourceFile;
class gCFile;

// Reads the keys of the effect chunk `code` from the map `value` into
// chunk's fields, a key left out written as the effect's default. Unknown
// keys and refused values are reported at their line; then false.
bool ReadEffectChunk(CSourceFile& source, const std::string& code, const YAML::Node& value,
                     SWidgetChunk& chunk);
// Reads the effect chunk's payload at the file's position (before `end`)
// and prints it as its map of every key on one line; false when the fields
// are cut short or hold what the sources cannot write.
bool DumpEffectChunk(const std::string& code, gCFile& file, int64_t end, std::ostream& out);
