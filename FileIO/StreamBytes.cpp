#include "FileIO/StreamBytes.h"

#include <limits>

namespace streambytes {

namespace {
// The stream's block operations take a 32-bit count.
constexpr size_t kMaxBlock = size_t(std::numeric_limits<int32_t>::max());
} // namespace

int64_t Remaining(gCStream& stream) {
    const int64_t pos = stream.GetFilePos();
    const int64_t length = stream.Length();
    return pos < 0 || length <= pos ? 0 : length - pos;
}

error ReadExact(gCStream& stream, void* data, size_t n) {
    if (n == 0) {
        return eNoError;
    }
    if (n > kMaxBlock || uint64_t(Remaining(stream)) < n) {
        return eFileReadWriteError;
    }
    return stream.ReadBlock(static_cast<char*>(data), int32_t(n)) == eNoError ? eNoError
                                                                              : eFileReadWriteError;
}

int64_t ReadSome(gCStream& stream, void* data, size_t n) {
    const int64_t left = Remaining(stream);
    const size_t count = uint64_t(left) < n ? size_t(left) : n;
    if (count == 0) {
        return 0;
    }
    return ReadExact(stream, data, count) == eNoError ? int64_t(count) : -1;
}

error Skip(gCStream& stream, int64_t n) {
    if (n < 0 || Remaining(stream) < n) {
        return eFileReadWriteError;
    }
    if (n == 0) {
        return eNoError;
    }
    return stream.SetFilePos(stream.GetFilePos() + n) == eNoError ? eNoError : eFileReadWriteError;
}

error Write(gCStream& stream, const void* data, size_t n) {
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        const size_t chunk = n < kMaxBlock ? n : kMaxBlock;
        if (stream.WriteBlock(const_cast<char*>(p), int32_t(chunk)) != eNoError) {
            return eFileReadWriteError;
        }
        p += chunk;
        n -= chunk;
    }
    return eNoError;
}

} // namespace streambytes
