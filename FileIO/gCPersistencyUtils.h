#pragma once
// Writers of tagged records: a 32-bit tag, a 64-bit payload length, then
// the payload in its stream form. Each writes one whole record and stops at
// the first stream error, returning it (the bytes already written stay);
// a null stream gives 6.

#include <cstdint>

#include "FileIO/RealGeometry.h"
#include "foundation/Error.h"
#include "foundation/Geometry.h"
#include "foundation/gCString.h"

class gCStream;

class gCPersistencyUtils {
public:
    static error WritePersistencyData(gCStream* stream, int32_t tag, char value);
    static error WritePersistencyData(gCStream* stream, int32_t tag, unsigned char value);
    static error WritePersistencyData(gCStream* stream, int32_t tag, int32_t value);
    static error WritePersistencyData(gCStream* stream, int32_t tag, uint32_t value);
    static error WritePersistencyData(gCStream* stream, int32_t tag, float value);
    static error WritePersistencyData(gCStream* stream, int32_t tag, double value);
    static error WritePersistencyData(gCStream* stream, int32_t tag, int64_t value);
    static error WritePersistencyData(gCStream* stream, int32_t tag, uint64_t value);
    // The length field counts the text's code units; the payload is the
    // text without line end.
    static error WritePersistencyData(gCStream* stream, int32_t tag, gCString value);
    static error WritePersistencyData(gCStream* stream, int32_t tag, const gCPoint& value);
    static error WritePersistencyData(gCStream* stream, int32_t tag, const gCRPoint& value);
    static error WritePersistencyData(gCStream* stream, int32_t tag, const C3RPoint& value);
    // Stored top, left, bottom, right.
    static error WritePersistencyData(gCStream* stream, int32_t tag, const gCRect& value);
    static error WritePersistencyData(gCStream* stream, int32_t tag, const gCRRect& value);
    // n raw bytes; 6 for a null data pointer.
    static error WritePersistencyBlock(gCStream* stream, int32_t tag, const char* data, int32_t n);
};
