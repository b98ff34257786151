// Reading the data pipe's frames from the bytes of a stream.

#include "platform/DataPipeFrames.h"

#include <algorithm>

namespace {

constexpr uint32_t kPayloadStartRoom = 2048;
// The stream writes at most this many bytes at once.
constexpr uint32_t kLargestWrite = 1u << 30;

uint32_t LittleWord(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutLittleWord(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

} // namespace

void WriteFrameHeader(uint8_t header[kFrameHeaderBytes], uint32_t id, uint32_t length) {
    PutLittleWord(header, kFrameMarker1);
    PutLittleWord(header + 4, id);
    PutLittleWord(header + 8, kFrameMarker2);
    PutLittleWord(header + 12, length);
    PutLittleWord(header + 16, kFrameMarker3);
}

error CFrameReader::Feed(const uint8_t* bytes, uint32_t count, Sink& sink) {
    if (m_fRefused) {
        return eInvalidFile;
    }
    error first = eNoError;
    uint32_t at = 0;
    // A loop, not recursion: one feed may hold thousands of empty frames.
    while (at < count) {
        if (m_nHeaderBytes < kFrameHeaderBytes) {
            const uint32_t take = std::min(kFrameHeaderBytes - m_nHeaderBytes, count - at);
            std::copy(bytes + at, bytes + at + take, m_aHeader + m_nHeaderBytes);
            m_nHeaderBytes += take;
            at += take;
            if (m_nHeaderBytes < kFrameHeaderBytes) {
                break;
            }
            if (error e = TakeHeader()) {
                return e;
            }
        }
        if (m_nReceived < m_nExpected) {
            const uint32_t take =
                std::min({m_nExpected - m_nReceived, count - at, kLargestWrite});
            if (error e = AppendPayload(bytes + at, take)) {
                return e;
            }
            at += take;
        }
        if (m_nReceived == m_nExpected) {
            const error e = Deliver(sink);
            first = first ? first : e;
        }
    }
    return first;
}

error CFrameReader::TakeHeader() {
    const uint32_t length = LittleWord(m_aHeader + 12);
    if (LittleWord(m_aHeader) != kFrameMarker1 || LittleWord(m_aHeader + 8) != kFrameMarker2 ||
        LittleWord(m_aHeader + 16) != kFrameMarker3 || length > m_nLimit) {
        m_fRefused = true;
        return eInvalidFile;
    }
    m_nId = LittleWord(m_aHeader + 4);
    m_nExpected = length;
    m_nReceived = 0;
    return eNoError;
}

error CFrameReader::AppendPayload(const uint8_t* bytes, uint32_t count) {
    CMemBlock* block = m_Payload.GetMemBlock();
    // The stream itself grows a block only at the used length's end, by a
    // fixed step; the room here doubles instead, within the declared length
    // (one byte over it, which the stream keeps free).
    const uint64_t need = uint64_t(m_nReceived) + count + 1;
    if (block->GetCount() < need) {
        const uint64_t most = uint64_t(m_nExpected) + 1;
        const uint64_t room = std::clamp<uint64_t>(uint64_t(block->GetCount()) * 2, need, most);
        if (room > UINT32_MAX || !block->Resize(uint32_t(room), 0)) {
            m_fRefused = true;
            return eOutOfMemory;
        }
    }
    if (error e = m_Payload.WriteBlock(bytes, int32_t(count))) {
        m_fRefused = true;
        return e;
    }
    m_nReceived += count;
    return eNoError;
}

error CFrameReader::Deliver(Sink& sink) {
    (void)m_Payload.Rewind(); // the stream has its block: always 0
    const error e = sink.FrameReceived(m_nId, m_Payload);
    if (m_Payload.GetMemBlock()->GetCount() > kPayloadStartRoom) {
        // Back to the starting room; a block that will not shrink keeps its
        // room, which is harmless.
        (void)m_Payload.GetMemBlock()->Resize(kPayloadStartRoom, 0);
    }
    m_Payload.CutTo(0);
    m_nHeaderBytes = 0;
    m_nExpected = 0;
    m_nReceived = 0;
    return e;
}
