#pragma once

#include "FileIO/gCMemFile.h"

// A memory stream whose block can be resized in place.
class CASMemFile : public gCMemFile {
public:
    CASMemFile() = default;
    explicit CASMemFile(CMemBlock* block) : gCMemFile(block) {}

    // Sets the block to size bytes (all zeroed when zeroFill is non-zero)
    // and the used length to size; false, with nothing changed, when the
    // block cannot be resized.
    virtual bool Resize(uint32_t size, int32_t zeroFill);
};
