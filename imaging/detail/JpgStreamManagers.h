#pragma once
// libjpeg source and destination managers over a toolkit stream, reached
// through a record of two procedures and the stream, with 4,096-byte
// buffers from libjpeg's own pools.

#include <csetjmp>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

class gCStream;

struct JpegStreamProcs {
    uint32_t (*write)(void* stream, void* data, uint32_t n);
    uint32_t (*read)(void* stream, void* data, uint32_t n);
    gCStream* stream;
};

// libjpeg's standard error manager followed by the jump point of the call.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// Attaches the source manager (made once per decompressor) and empties it.
void VantorJpegStreamSource(j_decompress_ptr cinfo, JpegStreamProcs* procs);
// Attaches the destination manager (made once per compressor).
void VantorJpegStreamDestination(j_compress_ptr cinfo, JpegStreamProcs* procs);
