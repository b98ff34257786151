#include "devtools/rc/kinds/ByteBlockKind.h"

#include <memory>

#include "FileIO/gCFile.h"
#include "FileIO/gCResourceObject.h"

void CByteBlockKind::SetBytes(ResourceBlock& block, std::string bytes) {
    auto model = std::make_unique<BytesModel>();
    model->bytes = std::move(bytes);
    block.model = std::move(model);
}

error CByteBlockKind::Write(const ResourceBlock& block, gCStream& stream) const {
    const std::string& bytes = Bytes(block);
    if (m_fWithCount) {
        const error e = stream.WriteInt32(int32_t(bytes.size()));
        if (e != eNoError) {
            return e;
        }
    }
    return bytes.empty() ? eNoError : stream.WriteBlock(bytes.data(), int32_t(bytes.size()));
}

bool CByteBlockKind::Verify(const ResourceBlock& block, gCFile& file, gCResourceObject& found,
                            std::string& why) const {
    const std::string& expected = Bytes(block);
    if (m_fWithCount) {
        int32_t n = 0;
        if (found.ReadPayloadCount(&file, n, 1) != eNoError || n != int32_t(expected.size())) {
            return Mismatch(why, "its byte count does not read back");
        }
    }
    if (expected.empty()) {
        return true;
    }
    std::string bytes(expected.size(), '\0');
    if (file.ReadBlock(bytes.data(), int32_t(bytes.size())) != eNoError) {
        return Mismatch(why, "its bytes cannot be read back");
    }
    return bytes == expected || Mismatch(why, "its bytes read back differently");
}
