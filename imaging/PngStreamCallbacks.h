#pragma once
// libpng's I/O over a toolkit stream; the libpng I/O pointer is the
// gCStream. A short read or a refused write is a libpng error, so it ends
// the call with 15 rather than leaving stale bytes or a cut file behind.

#include <png.h>

void g_PNGIO_VantorReadData(png_structp png, png_bytep data, size_t length);
void g_PNGIO_VantorWriteData(png_structp png, png_bytep data, size_t length);
void g_PNGIO_VantorFlushData(png_structp png);
