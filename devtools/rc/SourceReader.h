#pragma once
// Reads the compiler's sources: every *.yaml file of a folder, in name
// order. A file may hold a list of string-table entries under "strings" and
// a list of resource blocks under "blocks":
//
//   strings:
//     - id: 0xB2D05E00        # decimal or 0x hex
//       name: ApplicationName # optional
//       text: Daublin         # variants separated by '|'
//   blocks:
//     - kind: image           # image, imagelist, imagelist8, gradient, sound, raw
//       id: 7
//       name: logo
//       file: art/logo.png    # relative to the YAML file
//
// Image lists take "exclusive" (true/false) and "images" (names of image
// blocks); gradients "stops" (a list of colour 0xAARRGGBB and position 0..1);
// sounds a WAV "file"; raw blocks a four-character "tag" and "bytes" in hex.
//
// Refused, with the file and line: unknown keys and kinds, duplicate names
// (across all blocks, and across the string table), duplicate ids (per block
// tag, and in the string table), empty texts or an empty last variant,
// texts and names holding LF, CR or NUL, image files that are not PNG, JPEG
// or BMP, sounds that are not 8- or 16-bit PCM WAV, image-list members that
// name no image block.

#include <string>

#include "devtools/rc/Diagnostics.h"
#include "devtools/rc/SourceModel.h"

bool ReadSources(const std::string& folder, ResourceSources& sources, Diagnostics& diagnostics);
