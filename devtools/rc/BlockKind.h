#pragma once
// One kind of block the sources may hold ("kind: image"): how its entry is
// read, what the program's loader would refuse, how its payload is written
// and read back, how the program's loader takes it, and what the listing
// shows of it. The shared machinery does the rest: the common fields (kind,
// id, name), the block header, unique names and ids, the version block and
// the re-reading of the whole file. Every kind is one object in the table of
// kinds (BlockKinds.cpp).

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "devtools/rc/SourceModel.h"
#include "foundation/Error.h"

namespace YAML {
class Node;
}
class CSourceFile;
class gCFile;
class gCResourceIndex;
class gCResourceObject;
class gCStream;

class CBlockKind {
public:
    virtual ~CBlockKind() = default;

    // The name the sources give it after "kind:".
    virtual const char* Name() const = 0;
    // The tag of its blocks; 0 when each entry names its own.
    virtual uint32_t Tag() const = 0;
    // The entry's keys it reads besides kind, id and name.
    virtual std::vector<const char*> Keys() const = 0;

    // Reads the entry's own keys into the block's model (and its tag when
    // the kind has none); false once the reason is reported, and the block
    // is then dropped whatever Read left in it.
    virtual bool Read(CSourceFile& source, const YAML::Node& entry, ResourceBlock& block) const = 0;
    // Refuses, at the entry, a model Read made that the program's loader
    // would refuse; false once the reason is reported.
    virtual bool Check(CSourceFile&, const YAML::Node&, const ResourceBlock&) const { return true; }
    // Writes the payload: what follows the block's id and name.
    virtual error Write(const ResourceBlock& block, gCStream& stream) const = 0;
    // Reads the payload back from the file's position, `found` having found
    // the block; false with the reason when it differs from what was written.
    virtual bool Verify(const ResourceBlock& block, gCFile& file, gCResourceObject& found,
                        std::string& why) const = 0;
    // Loads a block of its tag with the program's own loader, found through
    // the index as the program finds it; the block may have been written by
    // another kind (a raw block of this tag). The loader's error, with `why`
    // set when there is more to say; eNoError for kinds the program has no
    // loader for here.
    virtual error Load(const ResourceBlock&, gCFile&, gCResourceIndex&, std::string&) const {
        return eNoError;
    }
    // Lists the payload below the block's line in the dump, the file at the
    // payload and `end` the block's end. Nothing by default.
    virtual void Dump(gCFile&, int64_t, std::ostream&) const {}
    // Whether its loader takes blocks of the tag; by default its own tag.
    virtual bool Takes(uint32_t tag) const { return Tag() != 0 && Tag() == tag; }
    // Checks what needs every block of the sources at once (the blocks a
    // block's blocks name); reports at the entries.
    virtual void CheckAll(const std::vector<ResourceBlock>&, Diagnostics&) const {}
    // Completes its blocks whose payload is made from other blocks (a
    // paper's preview from the paper), once every block is read and every
    // name a block refers to is known to exist; reports at the entries.
    virtual void Derive(std::vector<ResourceBlock>&, Diagnostics&) const {}
    // Writes the block as a source entry, the file at the payload and `end`
    // the block's end; false when the kind has no source form or the payload
    // does not read as one (the block is then written as raw bytes).
    virtual bool DumpSource(uint32_t, int32_t, const std::string&, gCFile&, int64_t,
                            std::ostream&) const {
        return false;
    }
};

// The model the kind's Read gave the block.
template <class Model> const Model& ModelOf(const ResourceBlock& block) {
    return dynamic_cast<const Model&>(*block.model);
}

// Sets the reason a payload does not read back; false.
inline bool Mismatch(std::string& why, const std::string& reason) {
    why = reason;
    return false;
}
