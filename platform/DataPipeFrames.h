#pragma once
// The data pipe's frames: a 20-byte header of five little-endian 32-bit
// words (marker 0xFB91746A, the message id, marker 0xFB92746A, the payload
// length, marker 0xFB93746A), then the payload, frame after frame with no
// padding.
//
// CFrameReader turns the bytes of a stream, fed in pieces of any size,
// into whole messages. It holds no socket. A header is read once its 20
// bytes are in; a wrong marker, or a length above the limit, refuses the
// stream before any payload is stored, and every later feed is refused
// too. The payload grows with the bytes that arrive (its room at most
// doubles, never beyond the declared length), so a declared length never
// allocates memory by itself.

#include <cstdint>

#include "FileIO/CASMemFile.h"
#include "foundation/Error.h"

inline constexpr uint32_t kFrameMarker1 = 0xFB91746A;
inline constexpr uint32_t kFrameMarker2 = 0xFB92746A;
inline constexpr uint32_t kFrameMarker3 = 0xFB93746A;
inline constexpr uint32_t kFrameHeaderBytes = 20;
inline constexpr uint32_t kDefaultFrameLimit = 16u << 20; // 16 MiB

// The 20 header bytes of a message.
void WriteFrameHeader(uint8_t header[kFrameHeaderBytes], uint32_t id, uint32_t length);

class CFrameReader {
public:
    // Receives each whole message: its id and its payload, a stream over
    // exactly the payload's bytes, positioned at 0 and the reader's again
    // after the call.
    class Sink {
    public:
        virtual ~Sink() = default;
        virtual error FrameReceived(uint32_t id, CASMemFile& payload) = 0;
    };

    // The largest payload taken.
    void SetLimit(uint32_t limit) { m_nLimit = limit; }
    uint32_t GetLimit() const { return m_nLimit; }

    // Takes count bytes: every message they complete goes to the sink, in
    // order. 0; 16 when the stream is refused (then and for every later
    // feed, nothing more delivered); 5 when a payload cannot be stored (the
    // stream is then refused as well); else the first error the sink gave,
    // after every message of the bytes was delivered.
    error Feed(const uint8_t* bytes, uint32_t count, Sink& sink);

    // Part of a frame (header or payload) is in.
    bool MidFrame() const { return m_nHeaderBytes > 0; }
    bool Refused() const { return m_fRefused; }
    // The payload bytes of the current message so far, and its length.
    uint32_t Received() const { return m_nReceived; }
    uint32_t Expected() const { return m_nExpected; }

private:
    // The header is complete: checks it. 0 or 16.
    error TakeHeader();
    // Appends payload bytes, growing the room within the declared length.
    error AppendPayload(const uint8_t* bytes, uint32_t count);
    // Hands the message over and makes ready for the next header.
    error Deliver(Sink& sink);

    uint8_t m_aHeader[kFrameHeaderBytes] = {};
    uint32_t m_nHeaderBytes = 0;
    uint32_t m_nId = 0;
    uint32_t m_nExpected = 0;
    uint32_t m_nReceived = 0;
    uint32_t m_nLimit = kDefaultFrameLimit;
    bool m_fRefused = false;
    CASMemFile m_Payload;
};
