// libFuzzer target for the data pipe's frame reader: the input is the byte
// stream a peer sends, fed the way sockets deliver it, in pieces whose
// sizes the input's first byte chooses. Built only with clang; see the
// README.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/DataPipeFrames.h"

namespace {

class CReadingSink : public CFrameReader::Sink {
public:
    error FrameReceived(uint32_t, CASMemFile& payload) override {
        std::vector<uint8_t> bytes(size_t(payload.Length()));
        if (!bytes.empty() && payload.ReadBlock(bytes.data(), int32_t(bytes.size())) == eNoError) {
            m_nSum += bytes.front() + bytes.back();
        }
        return eNoError;
    }
    uint32_t m_nSum = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const size_t piece = size_t(data[0]) * 257 + 1;
    CFrameReader reader;
    reader.SetLimit(1u << 20);
    CReadingSink sink;
    for (size_t at = 1; at < size;) {
        const size_t n = piece < size - at ? piece : size - at;
        // Refusals are fine: the fuzzer looks for crashes, leaks and memory.
        (void)reader.Feed(data + at, uint32_t(n), sink);
        at += n;
    }
    return 0;
}
