#include "FileIO/gCPersistencyUtils.h"

#include "FileIO/gCStream.h"

namespace {

// The tag and the length, then each payload write in turn, stopping at the
// first failure.
template <typename... Writes>
error Record(gCStream* stream, int32_t tag, int64_t length, Writes... writes) {
    if (!stream) {
        return eBadParameter;
    }
    error e = stream->WriteInt32(tag);
    if (e == eNoError) {
        e = stream->WriteInt64(length);
    }
    ((e = e == eNoError ? writes() : e), ...);
    return e;
}

} // namespace

error gCPersistencyUtils::WritePersistencyData(gCStream* s, int32_t tag, char value) {
    return Record(s, tag, 1, [&] { return s->WriteInt8(value); });
}

error gCPersistencyUtils::WritePersistencyData(gCStream* s, int32_t tag, unsigned char value) {
    return Record(s, tag, 1, [&] { return s->WriteUint8(value); });
}

error gCPersistencyUtils::WritePersistencyData(gCStream* s, int32_t tag, int32_t value) {
    return Record(s, tag, 4, [&] { return s->WriteInt32(value); });
}

error gCPersistencyUtils::WritePersistencyData(gCStream* s, int32_t tag, uint32_t value) {
    return Record(s, tag, 4, [&] { return s->WriteUint32(value); });
}

error gCPersistencyUtils::WritePersistencyData(gCStream* s, int32_t tag, float value) {
    return Record(s, tag, 4, [&] { return s->WriteReal(value); });
}

error gCPersistencyUtils::WritePersistencyData(gCStream* s, int32_t tag, double value) {
    return Record(s, tag, 8, [&] { return s->WriteReal64(value); });
}

error gCPersistencyUtils::WritePersistencyData(gCStream* s, int32_t tag, int64_t value) {
    return Record(s, tag, 8, [&] { return s->WriteInt64(value); });
}

error gCPersistencyUtils::WritePersistencyData(gCStream* s, int32_t tag, uint64_t value) {
    return Record(s, tag, 8, [&] { return s->WriteUint64(value); });
}

error gCPersistencyUtils::WritePersistencyData(gCStream* s, int32_t tag, gCString value) {
    return Record(s, tag, value.GetLength(), [&] { return s->WriteString(value, 0); });
}

error gCPersistencyUtils::WritePersistencyData(gCStream* s, int32_t tag, const gCPoint& value) {
    return Record(
        s, tag, 8, [&] { return s->WriteInt32(value.x); }, [&] { return s->WriteInt32(value.y); });
}

error gCPersistencyUtils::WritePersistencyData(gCStream* s, int32_t tag, const gCRPoint& value) {
    return Record(
        s, tag, 8, [&] { return s->WriteReal(value.x); }, [&] { return s->WriteReal(value.y); });
}

error gCPersistencyUtils::WritePersistencyData(gCStream* s, int32_t tag, const C3RPoint& value) {
    return Record(
        s, tag, 12, [&] { return s->WriteReal(value.x); }, [&] { return s->WriteReal(value.y); },
        [&] { return s->WriteReal(value.z); });
}

error gCPersistencyUtils::WritePersistencyData(gCStream* s, int32_t tag, const gCRect& value) {
    return Record(
        s, tag, 16, [&] { return s->WriteInt32(value.top); },
        [&] { return s->WriteInt32(value.left); }, [&] { return s->WriteInt32(value.bottom); },
        [&] { return s->WriteInt32(value.right); });
}

error gCPersistencyUtils::WritePersistencyData(gCStream* s, int32_t tag, const gCRRect& value) {
    return Record(
        s, tag, 16, [&] { return s->WriteReal(value.top); },
        [&] { return s->WriteReal(value.left); }, [&] { return s->WriteReal(value.bottom); },
        [&] { return s->WriteReal(value.right); });
}

error gCPersistencyUtils::WritePersistencyBlock(gCStream* s, int32_t tag, const char* data,
                                                int32_t n) {
    if (!data) {
        return eBadParameter;
    }
    return Record(s, tag, n, [&] { return s->WriteBlock(data, n); });
}
