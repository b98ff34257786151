#include "ui/PrefsRecords.h"

#include "FileIO/gCStream.h"

namespace PrefsRecords {

error Read(gCStream& stream, const std::function<bool(uint32_t)>& known,
           const std::function<void(uint32_t id, uint32_t bits)>& take) {
    const int64_t end = stream.Length();
    // The bytes left from the stream's position; 0 once it cannot say.
    auto left = [&stream, end] {
        const int64_t at = stream.GetFilePos();
        return at >= 0 && at < end ? end - at : int64_t(0);
    };
    while (left() > 0) {
        if (left() < int64_t(sizeof(int32_t))) {
            return eNoError; // an id cut by the end: the end
        }
        int32_t id = 0;
        if (const error e = stream.ReadInt32(id)) {
            return e;
        }
        int64_t length = 0;
        if (left() < int64_t(sizeof(int64_t)) || stream.ReadInt64(length) != eNoError) {
            return eNoError;
        }
        if (length < 0 || length > left()) {
            return eNoError; // a length no record of this file can have
        }
        if (length == kPayloadBytes && known(uint32_t(id))) {
            uint32_t bits = 0;
            if (stream.ReadUint32(bits) != eNoError) {
                return eNoError;
            }
            take(uint32_t(id), bits);
        } else if (stream.SetFilePos(stream.GetFilePos() + length) != eNoError) {
            return eNoError;
        }
    }
    return eNoError;
}

} // namespace PrefsRecords
