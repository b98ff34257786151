#pragma once
// The base of the kinds whose payload is a run of bytes, behind an Int32
// count or not: images, sounds and raw blocks.

#include <string>

#include "devtools/rc/BlockKind.h"

struct BytesModel : BlockModel {
    std::string bytes;
};

class CByteBlockKind : public CBlockKind {
public:
    explicit CByteBlockKind(bool withCount) : m_fWithCount(withCount) {}

    error Write(const ResourceBlock& block, gCStream& stream) const override;
    bool Verify(const ResourceBlock& block, gCFile& file, gCResourceObject& found,
                std::string& why) const override;

protected:
    // Gives the block the bytes as its model.
    static void SetBytes(ResourceBlock& block, std::string bytes);
    static const std::string& Bytes(const ResourceBlock& block) {
        return ModelOf<BytesModel>(block).bytes;
    }

private:
    bool m_fWithCount;
};
