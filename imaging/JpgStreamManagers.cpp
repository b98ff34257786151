#include "imaging/detail/JpgStreamManagers.h"

namespace {

constexpr uint32_t kBufferBytes = 4096;
constexpr uint32_t kRefused = 0xFFFFFFFFu;

struct CSource {
    jpeg_source_mgr pub;
    JpegStreamProcs* procs;
    JOCTET* buffer;
    boolean startOfFile;
};

struct CDestination {
    jpeg_destination_mgr pub;
    JpegStreamProcs* procs;
    JOCTET* buffer;
};

void InitSource(j_decompress_ptr cinfo) {
    reinterpret_cast<CSource*>(cinfo->src)->startOfFile = TRUE;
}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    CSource* src = reinterpret_cast<CSource*>(cinfo->src);
    uint32_t n = src->procs->read(src->procs->stream, src->buffer, kBufferBytes);
    if (n == kRefused) {
        ERREXIT(cinfo, JERR_FILE_READ);
    }
    if (n == 0) {
        if (src->startOfFile) {
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        }
        // Ends the data with a fake end-of-image marker.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        n = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = n;
    src->startOfFile = FALSE;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) {
        return;
    }
    jpeg_source_mgr* src = cinfo->src;
    size_t n = size_t(count);
    while (n > src->bytes_in_buffer) {
        n -= src->bytes_in_buffer;
        FillInputBuffer(cinfo);
    }
    src->next_input_byte += n;
    src->bytes_in_buffer -= n;
}

void TermSource(j_decompress_ptr) {}

void InitDestination(j_compress_ptr cinfo) {
    CDestination* dest = reinterpret_cast<CDestination*>(cinfo->dest);
    dest->buffer = static_cast<JOCTET*>(
        (*cinfo->mem->alloc_small)(j_common_ptr(cinfo), JPOOL_IMAGE, kBufferBytes));
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kBufferBytes;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
    CDestination* dest = reinterpret_cast<CDestination*>(cinfo->dest);
    if (dest->procs->write(dest->procs->stream, dest->buffer, kBufferBytes) != kBufferBytes) {
        ERREXIT(cinfo, JERR_FILE_WRITE);
    }
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kBufferBytes;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    CDestination* dest = reinterpret_cast<CDestination*>(cinfo->dest);
    const uint32_t left = kBufferBytes - uint32_t(dest->pub.free_in_buffer);
    if (left > 0 && dest->procs->write(dest->procs->stream, dest->buffer, left) != left) {
        ERREXIT(cinfo, JERR_FILE_WRITE);
    }
}

} // namespace

void VantorJpegStreamSource(j_decompress_ptr cinfo, JpegStreamProcs* procs) {
    if (!cinfo->src) {
        CSource* src = static_cast<CSource*>(
            (*cinfo->mem->alloc_small)(j_common_ptr(cinfo), JPOOL_PERMANENT, sizeof(CSource)));
        src->buffer = static_cast<JOCTET*>(
            (*cinfo->mem->alloc_small)(j_common_ptr(cinfo), JPOOL_PERMANENT, kBufferBytes));
        cinfo->src = &src->pub;
    }
    CSource* src = reinterpret_cast<CSource*>(cinfo->src);
    src->pub.init_source = InitSource;
    src->pub.fill_input_buffer = FillInputBuffer;
    src->pub.skip_input_data = SkipInputData;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = TermSource;
    src->procs = procs;
    src->pub.bytes_in_buffer = 0;
    src->pub.next_input_byte = nullptr;
}

void VantorJpegStreamDestination(j_compress_ptr cinfo, JpegStreamProcs* procs) {
    if (!cinfo->dest) {
        cinfo->dest = static_cast<jpeg_destination_mgr*>(
            (*cinfo->mem->alloc_small)(j_common_ptr(cinfo), JPOOL_PERMANENT, sizeof(CDestination)));
    }
    CDestination* dest = reinterpret_cast<CDestination*>(cinfo->dest);
    dest->pub.init_destination = InitDestination;
    dest->pub.empty_output_buffer = EmptyOutputBuffer;
    dest->pub.term_destination = TermDestination;
    dest->procs = procs;
}
