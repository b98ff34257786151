#include "PngCallbacks.h"

#include "StreamBytes.h"
#include "gCMemory.h"

void g_PNGIO_VantorReadData(png_structp png, png_bytep data, size_t length) {
    if (streambytes::ReadExact(*static_cast<gCStream*>(png_get_io_ptr(png)), data, length)) {
        png_error(png, "The PNG data ended early.");
    }
}

void g_PNGIO_VantorWriteData(png_structp png, png_bytep data, size_t length) {
    if (streambytes::Write(*static_cast<gCStream*>(png_get_io_ptr(png)), data, length)) {
        png_error(png, "The stream refused the PNG data.");
    }
}

void g_PNGIO_VantorFlushData(png_structp) {}

png_voidp g_PNGIO_Malloc(png_structp, png_alloc_size_t size) {
    return size > kPngLargestBlock ? nullptr : gCMemory::Alloc(size);
}

void g_PNGIO_Free(png_structp, png_voidp p) {
    if (p) {
        gCMemory::Free(p);
    }
}
