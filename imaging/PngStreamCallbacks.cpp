#include "PngStreamCallbacks.h"

#include "StreamBytes.h"

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
