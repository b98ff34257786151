#pragma once
// The records of the preferences file: each an int32 id, an int64 payload
// length and the payload, all little-endian; every record this program
// writes has a 4-byte payload (an int32, a flag or a float), so a full file
// is 17 records of 16 bytes.

#include <cstdint>
#include <functional>

#include "foundation/Error.h"

class gCStream;

namespace PrefsRecords {

inline constexpr int64_t kPayloadBytes = 4;
inline constexpr int32_t kRecordBytes = 16;
inline constexpr int32_t kFullFileBytes = 17 * kRecordBytes;

// Reads the records from the stream's position to its end, handing each
// record of a 4-byte payload whose id `known` accepts to `take` with the
// payload's bits. Any other record is stepped over by its length. Reading
// stops silently where a record is cut short by the end, at a negative
// length or one running past the end, and where a length or payload
// cannot be read; 0 then. A failed id read before the end stops reading
// and gives its code, for the caller to show.
error Read(gCStream& stream, const std::function<bool(uint32_t)>& known,
           const std::function<void(uint32_t id, uint32_t bits)>& take);

} // namespace PrefsRecords
